// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "fs/file_type.h"

#include <sys/stat.h>

#include <cerrno>

namespace tarsil {

PathKind file_kind(const std::string& path) {
  struct stat st;
  if (path.empty()) return PathKind{.kind = FileKind::kMissing, .stat_errno = ENOENT};
  if (::stat(path.c_str(), &st) != 0) {
    return PathKind{.kind = FileKind::kMissing, .stat_errno = errno};
  }
  if (S_ISREG(st.st_mode)) return PathKind{.kind = FileKind::kRegular};
  if (S_ISDIR(st.st_mode)) return PathKind{.kind = FileKind::kDirectory};
  return PathKind{.kind = FileKind::kOther};
}

bool is_directory(const std::string& path) {
  return file_kind(path).kind == FileKind::kDirectory;
}

bool is_regular_file(const std::string& path) {
  return file_kind(path).kind == FileKind::kRegular;
}

}  // namespace tarsil
