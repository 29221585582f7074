// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Directory listings: the entries of one directory, read whole, in the order
// the file system lists them.
//
// Contract:
// - `list_directory(path)` returns every entry but "." and "..", with the
//   type the listing tells (DT_UNKNOWN when the file system does not say),
//   or nothing when the directory cannot be opened; `list_open_directory`
//   does the same for a directory stream already open.
// - `has_type(path, listed_type, wanted)` says whether the entry at `path`,
//   listed with `listed_type`, is (after following symbolic links) a file
//   of type `wanted` (S_IFDIR or S_IFREG), as stat() would say: a plain
//   listed type is taken as it is, stat() is asked for links and unknown
//   types only.
// Nothing is read from the entries, and nothing is written.
#ifndef TARSIL_FS_LISTING_H_
#define TARSIL_FS_LISTING_H_

#include <dirent.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace tarsil {

struct DirEntry {
  std::string name{};
  unsigned char type = DT_UNKNOWN;
};

std::optional<std::vector<DirEntry>> list_directory(const std::string& path);

std::vector<DirEntry> list_open_directory(DIR* dir);

bool has_type(const std::string& path, unsigned char listed_type, mode_t wanted);

}  // namespace tarsil

#endif  // TARSIL_FS_LISTING_H_
