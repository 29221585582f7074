// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "fs/read.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "fs/handles.h"

namespace tarsil {
namespace {

// Reads the head of `fd` into *text; with `rest`, reads on to the end,
// feeding `whole` (when given) with every byte; cuts the text at its first
// NUL byte.
void read_head(int fd, std::string* text, Sha1* whole, bool rest) {
  text->resize(kMaxTextBytes);
  std::size_t got = 0;
  while (got < kMaxTextBytes) {
    const ssize_t n = ::read(fd, text->data() + got, kMaxTextBytes - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // end of file, no data yet, or a read error: keep what was read
    got += static_cast<std::size_t>(n);
  }
  text->resize(got);
  if (whole != nullptr) whole->update(*text);
  // Only a text that filled its buffer can have more.
  char more[1 << 16];
  while (rest && got == kMaxTextBytes) {
    const ssize_t n = ::read(fd, more, sizeof more);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (whole != nullptr) whole->update(std::string_view(more, static_cast<std::size_t>(n)));
  }
  // Everything after the first NUL byte is invisible to the rest of the system.
  text->resize(std::strlen(text->c_str()));
}

}  // namespace

bool try_read_text_file(const std::string& path, std::string* text, Sha1* whole) {
  return try_read_text_file_at(AT_FDCWD, path.c_str(), text, whole);
}

bool try_read_text_file_at(int dir_fd, const char* name, std::string* text, Sha1* whole) {
  text->clear();
  // Without O_NONBLOCK, opening a FIFO waits for a writer and reading a file
  // that has no data yet waits for it: a scan would hang. EAGAIN then reads
  // as the end of the text.
  const FdHandle file(::openat(dir_fd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.fd < 0) return false;
  read_head(file.fd, text, whole, whole != nullptr);
  return true;
}

void read_text_stream(int fd, std::string* text, Sha1* whole) {
  read_head(fd, text, whole, true);
}

bool read_line_head(std::FILE* file, std::string* line) {
  line->clear();
  bool any = false;
  for (int c; (c = getc_unlocked(file)) != EOF;) {
    any = true;
    if (line->size() < kMaxTextBytes) line->push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return any;
}

}  // namespace tarsil
