// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "fs/listing.h"

#include <sys/stat.h>

#include <cstring>

#include "fs/file_type.h"
#include "fs/handles.h"

namespace tarsil {

std::vector<DirEntry> list_open_directory(DIR* dir) {
  std::vector<DirEntry> entries;
  while (const dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    entries.push_back(DirEntry{.name = entry->d_name, .type = entry->d_type});
  }
  return entries;
}

std::optional<std::vector<DirEntry>> list_directory(const std::string& path) {
  const DirPtr dir(opendir(path.c_str()));
  if (!dir) return std::nullopt;
  return list_open_directory(dir.get());
}

bool has_type(const std::string& path, unsigned char listed_type, mode_t wanted) {
  if (listed_type == DT_LNK || listed_type == DT_UNKNOWN) {
    return wanted == S_IFDIR ? is_directory(path) : is_regular_file(path);
  }
  return static_cast<mode_t>(DTTOIF(listed_type)) == wanted;
}

}  // namespace tarsil
