// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Fuzz target: declared license fields. The text lies in a buffer of exactly
// its size; every value found is non-empty, holds no newline, and its line
// lies within the text's lines.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "analysis/declared.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::unique_ptr<char[]> copy(new char[size]);
  std::copy(data, data + size, copy.get());
  std::string_view text(copy.get(), size);
  const std::vector<tarsil::DeclaredValue> values = tarsil::find_declared_values(text);
  text = text.substr(0, text.find('\0'));
  const auto lines = static_cast<uint32_t>(std::count(text.begin(), text.end(), '\n') + 1);
  for (const tarsil::DeclaredValue& v : values) {
    if (v.value.empty() || v.value.find('\n') != std::string::npos) std::abort();
    if (v.line < 1 || v.line > lines || v.form.empty()) std::abort();
  }
  return 0;
}
