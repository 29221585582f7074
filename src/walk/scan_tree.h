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
//   %s\n" on standard output, status 1); records already written stay.
#ifndef TARSIL_WALK_SCAN_TREE_H_
#define TARSIL_WALK_SCAN_TREE_H_

#include <string>

namespace tarsil {

void scan_tree(const std::string& dir);

}  // namespace tarsil

#endif  // TARSIL_WALK_SCAN_TREE_H_
