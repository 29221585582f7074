// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/copyright.h"

#include <cstring>

namespace tarsil {
namespace {

constexpr int kMaxOccurrences = 10;
constexpr std::size_t kMaxExamined = 99;

// Position of the next "COPYRIGHT" at or after `from`, in any letter case.
std::size_t find_copyright_word(std::string_view text, std::size_t from) {
  static constexpr char kWord[] = "COPYRIGHT";
  constexpr std::size_t kLength = sizeof kWord - 1;
  for (std::size_t i = from; i + kLength <= text.size(); ++i) {
    if (strncasecmp(text.data() + i, kWord, kLength) == 0) return i;
  }
  return std::string_view::npos;
}

}  // namespace

std::string extract_copyrights(std::string_view content, bool pretty) {
  // The raw text ends at its first NUL byte.
  content = content.substr(0, content.find('\0'));
  std::string out = pretty ? "\t\t{" : "{";
  bool kept_any = false;
  std::size_t position = 0;
  int index = 0;
  while (position < content.size()) {
    const std::size_t occurrence = find_copyright_word(content, position);
    if (occurrence == std::string_view::npos || index == kMaxOccurrences) break;
    const std::size_t entry_start = out.size();
    if (pretty) {
      out += "\n\t\t\t" + std::to_string(index) + ", ";
    } else {
      out += std::string(kept_any ? "," : "") + "\"" + std::to_string(index) + "\":\"";
    }
    const int entry_index = index++;
    std::size_t text_length = 0;  // characters of the statement, before escaping
    char last = '\0';
    std::size_t examined = 0;
    for (; examined < kMaxExamined; ++examined) {
      const std::size_t at = occurrence + examined;
      signed char c = at < content.size() ? static_cast<signed char>(content[at]) : 0;
      if (c == '\t' || c == '"') c = ' ';
      if (c < 32) break;  // control bytes and, as signed values, all bytes >= 0x80
      if (c == ' ' && text_length > 0 && last == ' ') continue;
      if (pretty) {
        out.push_back(c);
      } else {
        if (c == '\\') out.push_back('\\');
        out.push_back(c);
      }
      last = c;
      ++text_length;
    }
    position = occurrence + examined;
    if (last == ' ') {
      out.pop_back();
      --text_length;
    }
    const std::size_t needed = pretty ? 12 : (entry_index == 0 ? 14 : 13);
    if (text_length >= needed) {
      if (!pretty) out.push_back('"');
      kept_any = true;
    } else {
      out.resize(entry_start);
    }
  }
  out += pretty ? "\n\t\t}" : "}";
  return out;
}

}  // namespace tarsil
