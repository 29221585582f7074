// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Normalization.
#include "match/normalize.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace tarsil::testing {

TEST(NormalizeText, Examples) {
  const std::pair<std::string, std::string> cases[] = {
      {"Hello, World!\n", "HELLO|WORLD|"},
      {"  MIT License", "MIT|LICENSE"},
      {"Copyright (c) 2019", "COPYRIGHT|C|2019"},
      {"don't", "DON|T"},
      {"na\xc3\xafve\n", "NA|VE|"},
      {"\n", ""},
      {"", ""},
      {"a\tb\x01\x7f\xff", "A|B|"},
      {std::string("ab cd\0ef gh", 11), "AB|CD"},
      {"zZ09@[`{", "ZZ09|"},
      // Only the first 10000 bytes count: the bar for byte 9999 is the last character.
      {std::string(12000, 'q'), std::string(10000, 'Q')},
      {std::string(9999, 'q') + " rest", std::string(9999, 'Q') + "|"},
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(want, normalize_text(in)) << in;
}

}  // namespace tarsil::testing
