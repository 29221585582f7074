// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Reading the head of a file: the raw text every analysis starts from.
//
// Contract:
// - Raw text is at most the first kMaxTextBytes (10000) bytes of a file and
//   ends at its first NUL byte; nothing past either limit is kept.
// - Files are opened without blocking: a file that has nothing to read yet (a
//   FIFO, or a kernel file that would wait) ends its text where it stands.
//   Read errors after a successful open just end the text.
// - Opening failures are reported to the caller (false, errno set), who
//   decides what they mean; nothing here writes or ends the run.
// - `read_line_head` reads one line of a stream, keeping only its first
//   kMaxTextBytes bytes, so memory stays small whatever a line's length.
#ifndef TARSIL_FS_READ_H_
#define TARSIL_FS_READ_H_

#include <cstddef>
#include <cstdio>
#include <string>

#include "core/limits.h"
#include "core/sha1.h"

namespace tarsil {

// Leaves in *text the raw text of the file at `path` and returns true;
// returns false (errno set, *text empty) when it cannot be opened. With
// `whole`, every byte of the file, to its end, is also fed to that hash (one
// open, one pass).
bool try_read_text_file(const std::string& path, std::string* text, Sha1* whole = nullptr);

// try_read_text_file on `name` relative to the open directory `dir_fd`
// (AT_FDCWD: the working directory), so that no path length limit applies.
bool try_read_text_file_at(int dir_fd, const char* name, std::string* text, Sha1* whole = nullptr);

// Leaves in *text the raw text read from the open descriptor `fd` (standard
// input, say), waiting for data as a pipe needs, and reads the rest of it to
// its end (fed to `whole` when given), so that a writer is never left
// blocked or broken. Never fails: a read error ends the text.
void read_text_stream(int fd, std::string* text, Sha1* whole = nullptr);

// Reads the next line of `file` into *line (its newline included), keeping
// its first kMaxTextBytes bytes only; false, with *line empty, at the end of
// the file or on a read error.
bool read_line_head(std::FILE* file, std::string* line);

}  // namespace tarsil

#endif  // TARSIL_FS_READ_H_
