// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// File-type tests by path.
//
// Contract: `is_directory` and `is_regular_file` are true when stat()
// (following symbolic links) succeeds and says directory, respectively
// regular file; false for an empty path or a failing stat(). `file_kind`
// says which of the two a path is, or why it is neither (the errno of a
// failing stat, or 0 for another file type). Nothing here opens a file.
#ifndef TARSIL_FS_FILE_TYPE_H_
#define TARSIL_FS_FILE_TYPE_H_

#include <string>

namespace tarsil {

bool is_directory(const std::string& path);
bool is_regular_file(const std::string& path);

enum class FileKind { kRegular, kDirectory, kOther, kMissing };

struct PathKind {
  FileKind kind = FileKind::kMissing;
  int stat_errno = 0;  // with kMissing: why stat failed
};

// Returns what `path` is, following symbolic links; never fails.
PathKind file_kind(const std::string& path);

}  // namespace tarsil

#endif  // TARSIL_FS_FILE_TYPE_H_
