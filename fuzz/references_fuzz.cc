// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Fuzz target: the reference data parser and the recognizer. The input is
// split at its first "\n--\n": a data file before it (parsed; when
// malformed, the error names a line), a text after it, searched with the
// data parsed (or a small fixed data set) and a lookup knowing a few ids.
// Every detection names a known license (or an expression of them), a rule,
// and lines in order within the text.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "analysis/references.h"

namespace {

const char* const kIds[] = {"MIT",          "Apache-2.0",       "GPL-2.0",
                            "GPL-2.0-only", "GPL-2.0-or-later", "GPL-1.0-or-later",
                            "BSD-3-Clause"};

std::string lookup(std::string_view name) {
  for (const char* id : kIds) {
    const std::string_view i(id);
    if (i.size() == name.size() && std::equal(i.begin(), i.end(), name.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) ==
                 std::tolower(static_cast<unsigned char>(b));
        })) {
      return id;
    }
  }
  return "";
}

bool known_words(const std::string& license) {
  std::size_t start = 0;
  while (start <= license.size()) {
    std::size_t end = license.find(' ', start);
    if (end == std::string::npos) end = license.size();
    std::string word = license.substr(start, end - start);
    while (!word.empty() && (word.front() == '(')) word.erase(0, 1);
    while (!word.empty() && (word.back() == ')')) word.pop_back();
    if (!word.empty() && word.back() == '+') word.pop_back();
    if (word != "AND" && word != "OR" && lookup(word) != word) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::unique_ptr<char[]> copy(new char[size]);
  std::copy(data, data + size, copy.get());
  const std::string_view input(copy.get(), size);
  const std::size_t split = input.find("\n--\n");
  const std::string_view file = split == std::string_view::npos ? input : input.substr(0, split);
  const std::string_view text = split == std::string_view::npos ? input : input.substr(split + 4);
  tarsil::ReferenceDataResult parsed = tarsil::parse_reference_data(file);
  if (!parsed.data && !parsed.error.starts_with("line ")) std::abort();
  static const tarsil::ReferenceData fixed =
      *tarsil::parse_reference_data(
           "name\tmit license\tMIT\nalias\tgplv2\tGPL-2.0\nfamily\tgnu general public "
           "license\tGPL\n"
           "name\tgpl 2\tGPL-2.0-only\nname\tgpl 2 "
           "+\tGPL-2.0-or-later\nany\tgpl\tGPL-1.0-or-later\n"
           "url\topensource.org/licenses/mit\tMIT\nidurl\tspdx.org/licenses\t-\n")
           .data;
  const tarsil::ReferenceData& use = parsed.data ? *parsed.data : fixed;
  const std::string_view body = text.substr(0, text.find('\0'));
  const auto lines = static_cast<uint32_t>(std::count(body.begin(), body.end(), '\n') + 1);
  for (const tarsil::ReferenceDetection& d : tarsil::find_references(text, use, lookup)) {
    if (d.license.empty() || d.rule.empty() || !known_words(d.license)) std::abort();
    if (d.start_line < 1 || d.start_line > d.end_line || d.end_line > lines) std::abort();
  }
  return 0;
}
