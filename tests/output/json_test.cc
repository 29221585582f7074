// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "output/json.h"

#include <gtest/gtest.h>

namespace tarsil {

TEST(JsonEscape, QuotesBackslashesAndControlBytes) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"src/a b.c", "src/a b.c"},
      {"a\"b", "a\\\"b"},
      {"C:\\dir\\", "C:\\\\dir\\\\"},
      {"\\\"", "\\\\\\\""},
      {"\n\t\r\x01\x1f", "\\u000a\\u0009\\u000d\\u0001\\u001f"},
      {std::string("a\0b", 3), "a\\u0000b"},
      {" \x7f", " \x7f"},                  // DEL needs no escape
      {"\xc2\xa9 2019", "\xc2\xa9 2019"},  // UTF-8 passes through
      {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
      {"bad\xff.c", "bad\\u00ff.c"},              // not UTF-8: escaped, still JSON
      {"\xc3", "\\u00c3"},                        // sequence cut short
      {"\xc0\xaf", "\\u00c0\\u00af"},             // overlong form
      {"\xed\xa0\x80", "\\u00ed\\u00a0\\u0080"},  // surrogate
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(want, json_escape(in)) << in;
}

}  // namespace tarsil
