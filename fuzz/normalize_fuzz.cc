// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Fuzz target: the branch-free normalization equals a plain, obvious one.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "match/normalize.h"

namespace {

// Words of ASCII letters and digits, upper-cased, each followed by one bar
// when anything else follows it; the text ends at the first NUL or 10000 bytes.
std::string plain_normalize(std::string_view text) {
  std::string out;
  bool in_word = false;
  for (std::size_t i = 0; i < text.size() && i < tarsil::kMaxTextBytes && text[i] != '\0'; ++i) {
    const char c = text[i];
    const bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (word) {
      out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    } else if (in_word) {
      out.push_back('|');
    }
    in_word = word;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string fast = tarsil::normalize_text(text);
  if (fast != plain_normalize(text)) std::abort();
  if (tarsil::count_words(fast) != static_cast<int>(std::count(fast.begin(), fast.end(), '|'))) {
    std::abort();
  }
  return 0;
}
