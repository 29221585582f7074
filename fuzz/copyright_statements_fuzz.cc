// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Fuzz target: the statement extractor reads nothing past the text (the
// input lies in a buffer of exactly its size, under AddressSanitizer), every
// text, holder and author it returns is well-formed UTF-8 without control
// characters, and valid JSON once escaped (texts and authors are never
// empty; a holder may be, for a statement of years only), and the
// statements' lines lie in the text and come in file order.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "analysis/copyright_statements.h"
#include "json_check.h"
#include "output/json.h"

namespace {

void check_text(std::string_view text, bool may_be_empty = false) {
  if (text.empty() && !may_be_empty) std::abort();
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = tarsil::fuzz::utf8_length(text, i);
    if (length == 0) std::abort();
    const auto b0 = static_cast<unsigned char>(text[i]);
    const auto b1 = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (b0 < 0x20 || b0 == 0x7F || (b0 == 0xC2 && b1 < 0xA0)) std::abort();  // C0, DEL, C1
    i += length;
  }
  const std::string quoted = "\"" + tarsil::json_escape(text) + "\"";
  std::size_t at = 0;
  std::string value;
  if (!tarsil::fuzz::parse_json_string(quoted, &at, &value) || at != quoted.size() ||
      value != text) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::unique_ptr<char[]> copy(new char[size]);
  std::copy(data, data + size, copy.get());
  const std::string_view text(copy.get(), size);

  const tarsil::CopyrightFindings found = tarsil::find_copyright_statements(text);
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  int previous = 1;
  for (const tarsil::CopyrightStatement& s : found.statements) {
    check_text(s.text);
    check_text(s.holder, true);
    if (s.start_line < previous || s.end_line < s.start_line || s.end_line > lines) std::abort();
    previous = s.start_line;
  }
  for (const std::string& author : found.authors) check_text(author);
  return 0;
}
