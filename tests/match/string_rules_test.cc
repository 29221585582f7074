// String rules: every line of every rule file is one rule that must score 100.
#include "match/string_rules.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "cli/settings.h"
#include "match/text.h"
#include "test_util.h"

namespace tarsil::testing {
namespace {

class StringRules : public ::testing::Test {
 protected:
  void SetUp() override { reset_run_settings(); }
  void TearDown() override { reset_run_settings(); }
  bool matches(const std::string& dir, const std::string& target_text) {
    return match_string_dir(dir, normalize_text(target_text));
  }
  TempDir tmp_;
};

TEST_F(StringRules, OneRuleFile) {
  const std::string apache = "Licensed under the Apache License, Version 2.0";
  std::string utf16 = "\xff\xfe";
  for (char c : apache + "\n") utf16 += std::string{c, '\0'};
  const struct {
    std::string rules, target;
    bool want;
  } cases[] = {
      // Chunks LICENSED|UNDER|THE|APACHE and LICENSE|VERSION|2|0, anywhere.
      {apache + "\n", "License, Version 2.0 -- far away -- Licensed under the Apache", true},
      {apache + "\n", "Licensed under the Apache; no version here", false},
      {apache, apache + "\n", false},  // the bar before 2 closes no chunk
      {"Licensed under the Apache License", "Licensed under the Apache Foundation", true},
      {"nothing like it\n\n" + apache + "\n", apache + "\n", true},
      {"The quick brown fox jumps over x", "the quick brown fox jumps over x", false},  // 83.33
      {"", "anything at all\n", false},
      {"\n\n\n", "anything at all\n", false},
      {utf16, apache + "\n", false},
      {std::string("Licensed under\0 the Apache\n", 27), "Licensed under the Apache\n", false},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string root = tmp_ / std::to_string(n++);
    write_rule_set(root, {{"strings.d/ID/strings.txt", c.rules}});
    write_file(root + "/target", c.target);
    EXPECT_EQ(c.want, matches(root + "/strings.d/ID", c.target)) << c.rules << " vs " << c.target;
    // The program's own engine, which reads the rules ahead, agrees.
    const RunResult r = run_tarsil({"-r", root, root + "/target"});
    EXPECT_EQ(c.want, r.out.starts_with("{\"license\":\"ID\"")) << c.rules << "\n" << r.out;
  }
}

TEST_F(StringRules, SkipsHiddenAndMissing) {
  const std::string rule = "Permission is hereby granted, free of charge\n";
  write_file(tmp_ / "MIT/.hidden", rule);
  make_dirs(tmp_ / "MIT/sub");
  EXPECT_FALSE(matches(tmp_ / "MIT", rule));
  EXPECT_FALSE(matches(tmp_ / "none", rule));
  write_file(tmp_ / "MIT/visible", rule);
  EXPECT_TRUE(matches(tmp_ / "MIT", rule));
  run_settings.threshold = 101;  // nothing can reach it
  EXPECT_FALSE(matches(tmp_ / "MIT", rule));
}

TEST_F(StringRules, LogGoesOnAfterAMatch) {
  const std::string dir = tmp_ / "strings.d/ID";
  for (const char* name : {"a", "b", "c"}) {
    write_file(dir + "/" + name,
               "first rule here\nsecond rule here\nAll rights reserved, really\n");
  }
  std::string want;
  DIR* listing = opendir(dir.c_str());
  ASSERT_NE(nullptr, listing);
  while (const dirent* entry = readdir(listing)) {
    if (entry->d_name[0] == '.') continue;
    const std::string path = dir + "/" + entry->d_name;
    want += "Comparing against " + path + ": FIRST|RULE|HERE|\n";
    if (want.find("Matched") == std::string::npos) {
      want += "Comparing against " + path + ": SECOND|RULE|HERE|\n";
      want += "Comparing against " + path + ": ALL|RIGHTS|RESERVED|REALLY|\n";
    }
    want += "Matched licensedir\n";
  }
  closedir(listing);
  run_settings.setting = SETTING_DEBUG | SETTING_VERBOSE;
  ::testing::internal::CaptureStdout();
  EXPECT_TRUE(matches(dir, "All rights reserved, really."));
  EXPECT_EQ(want, ::testing::internal::GetCapturedStdout());

  make_dirs(tmp_ / "licenses.d");
  write_file(tmp_ / "target", "All rights reserved, really.");
  const RunResult r = run_tarsil({"-dd", "-r", tmp_.path(), tmp_ / "target"});
  EXPECT_NE(std::string::npos,
            r.out.find("Tarsil analyzing string\n" + want + "Analysis concluded\n"))
      << r.out;
}

TEST(StringRulesRun, UnreadableRuleFileEndsTheRun) {
  TempDir dir;
  write_rule_set(dir / "rules", {{"strings.d/MIT/rules.txt", "MIT License text\n"}});
  chmod((dir / "rules/strings.d/MIT/rules.txt").c_str(), 0);
  write_file(dir / "a.c", "int x;\n");
  const RunResult r = run_tarsil({"-r", dir / "rules", dir / "a.c"}, as_nobody());
  EXPECT_EQ("", r.out);
  EXPECT_EQ("ERROR: Cannot open " + (dir / "rules/strings.d/MIT/rules.txt") +
                " during string detection\n",
            r.err);
  EXPECT_EQ(1, r.status);
}

}  // namespace
}  // namespace tarsil::testing
