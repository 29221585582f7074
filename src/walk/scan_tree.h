// Directory tree scan.
//
// Contract: `scan_tree` walks `dir` depth first, in listing order, and runs
// identify_license on every regular file below it (symbolic links to regular
// files included, under the link's own path). Paths are composed as
// dir + "/" + name from `dir` exactly as given, so "a/" yields "a//x.c".
// - "." and ".." are skipped; every other hidden entry is scanned.
// - Subdirectories are recognized from the listing's entry type; when the
//   listing leaves the type unknown, lstat decides. Symbolic links to
//   directories are never followed. Special files are skipped.
// - A directory that cannot be opened is skipped silently, at any depth.
// - A regular file that cannot be opened ends the run ("ERROR: Cannot read
//   %s\n" on standard output, status 1); records already written stay. A
//   file removed between the listing and its reading is passed over.
// - Any depth and any path length are walked: each directory's listing is
//   read whole before its entries are visited, entries are reached relative
//   to their directory's handle, and at most a few directories are open at
//   once (others are reopened when the walk comes back to them), so neither
//   the open-file limit nor PATH_MAX cuts a tree short.
#ifndef TARSIL_WALK_SCAN_TREE_H_
#define TARSIL_WALK_SCAN_TREE_H_

#include <string>

namespace tarsil {

// Writes the records of the tree's files; ends the run only as said above.
void scan_tree(const std::string& dir);

}  // namespace tarsil

#endif  // TARSIL_WALK_SCAN_TREE_H_
