// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "match/text.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "match/handles.h"

namespace tarsil {
namespace {

bool stat_mode(const std::string& path, mode_t* mode) {
  if (path.empty()) return false;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  *mode = st.st_mode;
  return true;
}

// A byte's character in normalized text: digits and capitals as they are,
// small letters upper-cased, 0 for every other byte.
constexpr char word_char(int c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return static_cast<char>(c);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  return 0;
}

// Per byte: the character normalization writes for it (its word character,
// or a bar) and whether it belongs to a word (1) or separates words (0).
constexpr std::array<char, 256> make_kept_chars() {
  std::array<char, 256> chars{};
  for (int c = 0; c < 256; ++c) chars[c] = word_char(c) != 0 ? word_char(c) : '|';
  return chars;
}
constexpr std::array<uint8_t, 256> make_word_flags() {
  std::array<uint8_t, 256> flags{};
  for (int c = 0; c < 256; ++c) flags[c] = word_char(c) != 0 ? 1 : 0;
  return flags;
}
constexpr std::array<char, 256> kKeptChar = make_kept_chars();
constexpr std::array<uint8_t, 256> kIsWord = make_word_flags();

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
  text->resize(kMaxTextBytes);
  std::size_t got = 0;
  while (got < kMaxTextBytes) {
    const ssize_t n = ::read(file.fd, text->data() + got, kMaxTextBytes - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // end of file, no data yet, or a read error: keep what was read
    got += static_cast<std::size_t>(n);
  }
  text->resize(got);
  if (whole != nullptr) {
    whole->update(*text);
    // Only a text that filled its buffer can have more.
    char rest[1 << 16];
    while (got == kMaxTextBytes) {
      const ssize_t n = ::read(file.fd, rest, sizeof rest);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      whole->update(std::string_view(rest, static_cast<std::size_t>(n)));
    }
  }
  // Everything after the first NUL byte is invisible to the rest of the system.
  text->resize(std::strlen(text->c_str()));
  return true;
}

RunError cannot_read_error(const std::string& path) {
  return RunError{"ERROR: Cannot read " + path + "\n", Stream::kStdout};
}

std::string normalize_text(std::string_view text) {
  std::size_t n = std::min(text.size(), kMaxTextBytes);
  const void* const zero = n > 0 ? std::memchr(text.data(), 0, n) : nullptr;
  if (zero != nullptr) {
    n = static_cast<std::size_t>(static_cast<const char*>(zero) - text.data());
  }
  std::string out(n, '\0');
  char* const begin = out.data();
  char* end = begin;
  // Branch-free (all from tables and integer sums, so that no compiler turns
  // it into a branch per word boundary): every byte writes its word
  // character, or a bar that is kept only when it follows a word (never at
  // the start, never twice in a row).
  unsigned in_word = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const unsigned is_word = kIsWord[c];
    *end = kKeptChar[c];
    end += is_word | in_word;
    in_word = is_word;
  }
  out.resize(static_cast<std::size_t>(end - begin));
  return out;
}

bool is_directory(const std::string& path) {
  mode_t mode;
  return stat_mode(path, &mode) && S_ISDIR(mode);
}

bool is_regular_file(const std::string& path) {
  mode_t mode;
  return stat_mode(path, &mode) && S_ISREG(mode);
}

int count_words(std::string_view normalized) {
  // A plain counting loop, which the compiler vectorizes.
  int bars = 0;
  for (const char c : normalized) bars += c == '|' ? 1 : 0;
  return bars;
}

}  // namespace tarsil
