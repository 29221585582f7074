// Text intake and normalization.
#include "match/text.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace tarsil::testing {
namespace {

TEST(NormalizeText, Examples) {
  const struct {
    std::string in, want;
  } cases[] = {
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
  for (const auto& c : cases) EXPECT_EQ(c.want, normalize_text(c.in)) << c.in;
}

TEST(ReadTextFile, StopsAt10000BytesAndAtNul) {
  TempDir dir;
  std::string big;
  for (int i = 0; i < 1500; ++i) big += "0123456789";
  write_file(dir / "big", big);
  EXPECT_EQ(big.substr(0, 10000), read_text_file(dir / "big"));
  write_file(dir / "nul", std::string("0123456789\0abc", 14));
  EXPECT_EQ("0123456789", read_text_file(dir / "nul"));
}

}  // namespace
}  // namespace tarsil::testing
