// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Directory tree scan: the regular files below a directory, in order.
//
// Contract: `scan_tree` walks `dir` depth first, in listing order, and hands
// every regular file below it (symbolic links to regular files included,
// under the link's own path) to `visit`, one at a time, in that order. Paths
// are composed as dir + "/" + name from `dir` exactly as given, so "a/"
// yields "a//x.c".
// - "." and ".." are skipped; every other hidden entry is visited.
// - Subdirectories are recognized from the listing's entry type; when the
//   listing leaves the type unknown, lstat decides. Symbolic links to
//   directories are never followed. Special files are skipped.
// - A directory that cannot be opened is skipped silently, at any depth.
// - Any depth and any path length are walked: each directory's listing is
//   read whole before its entries are visited, entries are reached relative
//   to their directory's handle, and at most a few directories are open at
//   once (others are reopened when the walk comes back to them), so neither
//   the open-file limit nor PATH_MAX cuts a tree short. Each file is handed
//   over with its directory's handle, so that it can be opened whatever the
//   length of its path.
// - An entry whose name or whose path below `dir` ("sub/x.c" for the path
//   dir + "/sub/x.c") matches one of `excludes`
//   (fnmatch, no flags: `*` also matches "/" and a leading ".") is left out:
//   a file is not visited, a directory not entered. A glob written with a
//   trailing "/" matches directories only. `dir` itself is never matched.
// - `exclude_glob` reads an --exclude value: a leading "./" (repeated) and
//   trailing slashes are taken off, the slash making it a directories-only
//   glob, so "node_modules/", "./node_modules" and "node_modules" leave out
//   the same tree.
// - When `visit` returns false the walk stops at once.
// Nothing is read from the files, and nothing is written.
#ifndef TARSIL_FS_WALK_H_
#define TARSIL_FS_WALK_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarsil {

// A regular file found by the walk: its path, and its name in the open
// directory dir_fd; all valid only during the visit.
struct WalkedFile {
  const std::string& path;
  int dir_fd;
  const char* name;
};

// A glob of --exclude, as it is matched.
struct ExcludeGlob {
  std::string glob{};
  bool directories_only = false;
};

ExcludeGlob exclude_glob(std::string_view text);

// Called with each regular file; returns false to stop the walk.
using FileVisitor = std::function<bool(const WalkedFile& file)>;

// Returns true when the whole tree was walked, false when `visit` stopped it.
bool scan_tree(const std::string& dir, const FileVisitor& visit,
               const std::vector<ExcludeGlob>& excludes = {});

}  // namespace tarsil

#endif  // TARSIL_FS_WALK_H_
