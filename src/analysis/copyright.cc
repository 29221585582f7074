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

std::vector<CopyrightEntry> copyright_entries(std::string_view content, bool pretty) {
  // The raw text ends at its first NUL byte.
  content = content.substr(0, content.find('\0'));
  std::vector<CopyrightEntry> entries;
  std::size_t position = 0;
  int index = 0;
  while (position < content.size()) {
    const std::size_t occurrence = find_copyright_word(content, position);
    if (occurrence == std::string_view::npos || index == kMaxOccurrences) break;
    const int entry_index = index++;
    std::string text;
    std::size_t examined = 0;
    for (; examined < kMaxExamined; ++examined) {
      const std::size_t at = occurrence + examined;
      signed char c = at < content.size() ? static_cast<signed char>(content[at]) : 0;
      if (c == '\t' || c == '"') c = ' ';
      if (c < 32) break;  // control bytes and, as signed values, all bytes >= 0x80
      if (c == ' ' && !text.empty() && text.back() == ' ') continue;
      text.push_back(c);
    }
    position = occurrence + examined;
    if (!text.empty() && text.back() == ' ') text.pop_back();
    const std::size_t needed = pretty ? 12 : (entry_index == 0 ? 14 : 13);
    if (text.size() >= needed) entries.push_back(CopyrightEntry{entry_index, std::move(text)});
  }
  return entries;
}

std::string extract_copyrights(std::string_view content, bool pretty) {
  return copyright_object(copyright_entries(content, pretty), pretty);
}

std::string copyright_object(const std::vector<CopyrightEntry>& entries, bool pretty) {
  std::string out = pretty ? "\t\t{" : "{";
  bool first = true;
  for (const CopyrightEntry& entry : entries) {
    if (pretty) {
      out += "\n\t\t\t" + std::to_string(entry.index) + ", " + entry.text;
      continue;
    }
    out += std::string(first ? "" : ",") + "\"" + std::to_string(entry.index) + "\":\"";
    for (const char c : entry.text) {
      if (c == '\\') out.push_back('\\');
      out.push_back(c);
    }
    out.push_back('"');
    first = false;
  }
  out += pretty ? "\n\t\t}" : "}";
  return out;
}

}  // namespace tarsil
