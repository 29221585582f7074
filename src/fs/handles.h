// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// RAII owners for C stdio streams, file descriptors, directory streams and
// getline buffers.
//
// Contract: a FilePtr / FdHandle / DirPtr closes its handle when it goes out of scope;
// a null handle (failed open) is never closed. A LineBuffer frees the line
// buffer of getline().
#ifndef TARSIL_FS_HANDLES_H_
#define TARSIL_FS_HANDLES_H_

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tarsil {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

// A file descriptor, closed when it goes out of scope unless negative.
struct FdHandle {
  int fd = -1;
  explicit FdHandle(int descriptor) : fd(descriptor) {}
  FdHandle(const FdHandle&) = delete;
  FdHandle& operator=(const FdHandle&) = delete;
  ~FdHandle() {
    if (fd >= 0) ::close(fd);
  }
};

// The buffer getline() grows, released when it goes out of scope.
struct LineBuffer {
  char* data = nullptr;
  std::size_t capacity = 0;
  LineBuffer() = default;
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;
  ~LineBuffer() { std::free(data); }  // getline's buffer is malloc'ed
};

}  // namespace tarsil

#endif  // TARSIL_FS_HANDLES_H_
