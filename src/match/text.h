// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Text intake and normalization: the word stream every comparison works on.
//
// Contract:
// - Raw text is at most the first 10000 bytes of a file and ends at its first
//   NUL byte; nothing past either limit is ever looked at.
// - Normalized text holds only A-Z, 0-9 and '|': each maximal run of ASCII
//   letters and digits is one word (upper-cased), and one '|' stands for each
//   run of other bytes that follows a word. It never starts with '|', never
//   holds "||", and is at most 10000 characters long. Its word count is its
//   number of '|'.
// - Reading never ends the run: an unopenable file is reported to the
//   caller, who decides (see cannot_read_error).
#ifndef TARSIL_MATCH_TEXT_H_
#define TARSIL_MATCH_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "core/error.h"
#include "core/sha1.h"

namespace tarsil {

inline constexpr std::size_t kMaxTextBytes = 10000;

// Leaves in *text the first 10000 bytes of the file at `path`, cut at the
// first NUL, and returns true; returns false (and leaves *text empty) when
// the file cannot be opened. Read errors after a successful open just end
// the text. With `whole`, every byte of the file, to its end, is also fed
// to that hash (one open, one pass).
bool try_read_text_file(const std::string& path, std::string* text, Sha1* whole = nullptr);

// try_read_text_file on `name` relative to the open directory `dir_fd`
// (AT_FDCWD: the working directory), so that no path length limit applies.
// The file is opened without blocking: a file that has nothing to read yet
// (a FIFO, or a kernel file that would wait) ends its text where it stands.
bool try_read_text_file_at(int dir_fd, const char* name, std::string* text, Sha1* whole = nullptr);

// The run-ending error of a file or reference text that cannot be opened:
// "ERROR: Cannot read <path>\n" on standard output.
RunError cannot_read_error(const std::string& path);

// Returns the normalized form of the first 10000 bytes of `text`, stopping
// early at a zero byte.
std::string normalize_text(std::string_view text);

// True when stat() (following symbolic links) succeeds and says directory,
// respectively regular file; false for an empty path or a failing stat().
bool is_directory(const std::string& path);
bool is_regular_file(const std::string& path);

// Number of '|' in a normalized text.
int count_words(std::string_view normalized);

}  // namespace tarsil

#endif  // TARSIL_MATCH_TEXT_H_
