// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Fuzz target: copyright extraction reads nothing past the text (the input
// lies in a buffer of exactly its size, under AddressSanitizer), its JSON
// form is always one strict JSON object of strings, and its pretty form
// keeps its frame and holds no byte the statements may not carry.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "analysis/copyright.h"
#include "json_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // A copy of exactly `size` bytes, without the terminating NUL a
  // std::string would add, so that any read past the end is caught.
  const std::unique_ptr<char[]> copy(new char[size]);
  std::copy(data, data + size, copy.get());
  const std::string_view text(copy.get(), size);

  const std::string json = tarsil::extract_copyrights(text, false);
  if (!tarsil::fuzz::is_json_object_of_strings(json)) std::abort();

  const std::string pretty = tarsil::extract_copyrights(text, true);
  if (pretty.rfind("\t\t{", 0) != 0 || pretty.size() < 6 ||
      pretty.compare(pretty.size() - 4, 4, "\n\t\t}") != 0) {
    std::abort();
  }
  for (const char c : pretty.substr(3, pretty.size() - 7)) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\n' && c != '\t') || byte >= 0x80 || c == '"') std::abort();
  }
  return 0;
}
