// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Fuzz target: json_escape always gives the inside of a valid JSON string,
// which decodes back to the input whenever the input is well-formed UTF-8.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "json_check.h"
#include "output/json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string quoted = "\"" + tarsil::json_escape(text) + "\"";
  std::size_t at = 0;
  std::string decoded;
  if (!tarsil::fuzz::parse_json_string(quoted, &at, &decoded) || at != quoted.size()) std::abort();
  bool valid_utf8 = true;
  for (std::size_t i = 0; i < text.size() && valid_utf8;) {
    const std::size_t length = tarsil::fuzz::utf8_length(text, i);
    valid_utf8 = length > 0;
    i += length;
  }
  if (valid_utf8 && decoded != text) std::abort();
  return 0;
}
