// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "match/normalize.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace tarsil {
namespace {

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

int count_words(std::string_view normalized) {
  // A plain counting loop, which the compiler vectorizes.
  int bars = 0;
  for (const char c : normalized) bars += c == '|' ? 1 : 0;
  return bars;
}

}  // namespace tarsil
