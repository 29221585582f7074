// Text intake, normalization and the file-type tests.
#include "match/text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
  };
  for (const auto& c : cases) EXPECT_EQ(c.want, normalize_text(c.in)) << c.in;
}

TEST(NormalizeText, LooksAtTheFirst10000BytesOnly) {
  const std::string letters(12000, 'q');
  EXPECT_EQ(std::string(10000, 'Q'), normalize_text(letters));
  // The bar for the byte at index 9999 is the last character.
  EXPECT_EQ(std::string(9999, 'Q') + "|", normalize_text(std::string(9999, 'q') + " rest"));
}

TEST(ReadTextFile, CapAndNul) {
  TempDir dir;
  std::string big;
  for (int i = 0; i < 1500; ++i) big += "0123456789";
  write_file(dir / "big", big);
  EXPECT_EQ(big.substr(0, 10000), read_text_file(dir / "big"));

  write_file(dir / "nul", std::string("0123456789\0abc", 14));
  EXPECT_EQ("0123456789", read_text_file(dir / "nul"));

  write_file(dir / "short", "MIT License\n");
  EXPECT_EQ("MIT|LICENSE|", read_normalized_file(dir / "short"));
  write_file(dir / "empty", "");
  EXPECT_EQ("", read_text_file(dir / "empty"));
}

TEST(FileTypes, FollowLinks) {
  TempDir dir;
  write_file(dir / "file", "x");
  make_dirs(dir / "dir");
  ASSERT_EQ(0, symlink((dir / "file").c_str(), (dir / "to_file").c_str()));
  ASSERT_EQ(0, symlink((dir / "dir").c_str(), (dir / "to_dir").c_str()));
  ASSERT_EQ(0, symlink((dir / "gone").c_str(), (dir / "dangling").c_str()));
  ASSERT_EQ(0, mkfifo((dir / "fifo").c_str(), 0644));
  const struct {
    std::string path;
    bool dir, file;
  } cases[] = {
      {dir / "file", false, true},      {dir / "dir", true, false},
      {dir / "to_file", false, true},   {dir / "to_dir", true, false},
      {dir / "dangling", false, false}, {dir / "fifo", false, false},
      {dir / "gone", false, false},     {"", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.dir, is_directory(c.path)) << c.path;
    EXPECT_EQ(c.file, is_regular_file(c.path)) << c.path;
  }
}

}  // namespace
}  // namespace tarsil::testing
