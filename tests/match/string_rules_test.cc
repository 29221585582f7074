// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// String rules: every line of every rule file is one rule that must score 100.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_util.h"

namespace tarsil::testing {
namespace {

TEST(StringRules, OneRuleFile) {
  const std::string apache = "Licensed under the Apache License, Version 2.0";
  // The rule file's name and content, the target's text, whether it matches.
  const std::tuple<std::string, std::string, std::string, bool> cases[] = {
      // Chunks LICENSED|UNDER|THE|APACHE and LICENSE|VERSION|2|0, anywhere.
      {"s", apache + "\n", "License, Version 2.0 -- far away -- Licensed under the Apache", true},
      {"s", apache + "\n", "Licensed under the Apache; no version here", false},
      {"s", apache, apache + "\n", false},  // the bar before 2 closes no chunk
      {"s", "Licensed under the Apache License", "Licensed under the Apache Foundation", true},
      {"s", "nothing like it\n\n" + apache + "\n", apache + "\n", true},
      {"s", "The quick brown fox jumps over x", "the quick brown fox jumps over x",
       false},  // 83.33
      {"s", "", "anything at all\n", false},
      {"s", "\n\n\n", "anything at all\n", false},
      {".hidden", apache + "\n", apache + "\n", false},
      {"sub/s", apache + "\n", apache + "\n", false},
      {"s", std::string("Licensed under\0 the Apache\n", 27), "Licensed under the Apache\n", false},
  };
  TempDir dir;
  int n = 0;
  for (const auto& [name, rules, text, want] : cases) {
    const std::string root = dir / std::to_string(n++), target = root + "/target";
    write_rule_set(root, {{"strings.d/ID/" + name, rules}});
    write_file(target, text);
    SCOPED_TRACE(rules);
    expect_run({{"-r", root, target},
                want ? record("ID", "100.00", target, "strings.d") : unmatched(target)});
  }
}

// The log goes on after a match; an unreadable rule file ends the run.
TEST(StringRules, LogAndUnreadableRuleFiles) {
  TempDir dir;
  const std::string rules = dir / "rules", target = dir / "target";
  const std::string lines = "first rule here\nsecond rule here\nAll rights reserved, really\n";
  for (const char* name : {"a", "b", "c"}) write_file(rules + "/strings.d/ID/" + name, lines);
  make_dirs(rules + "/licenses.d");
  write_file(target, "All rights reserved, really.");
  std::string log;
  for (const std::string& name : listing(rules + "/strings.d/ID")) {
    const std::string compare = "Comparing against " + rules + "/strings.d/ID/" + name + ": ";
    log += compare + "FIRST|RULE|HERE|\n";
    if (log.find("Matched") == std::string::npos)
      log += compare + "SECOND|RULE|HERE|\n" + compare + "ALL|RIGHTS|RESERVED|REALLY|\n";
    log += "Matched licensedir\n";
  }
  expect_run({{"-dd", "-r", rules, target},
              banner(rules, "3") + "Target: ALL|RIGHTS|RESERVED|REALLY|\n" +
                  "Tarsil analyzing license\nTarsil analyzing string\n" + log +
                  "Analysis concluded\n" + record("ID", "100.00", target, "strings.d")});
  // A rule file nobody may read ends the run, even with --keep-going.
  const std::string rule = rules + "/strings.d/ID/" + listing(rules + "/strings.d/ID")[0];
  const std::string error = "ERROR: Cannot open " + rule + " during string detection\n";
  chmod(rule.c_str(), 0);
  write_file(dir / "a.c", "int x;\n");
  for (const char* keep_going : {"--jobs=1", "--keep-going"})
    expect_run({{keep_going, "-r", rules, dir / "a.c"}, "", error, 1}, kNobody);
}

}  // namespace
}  // namespace tarsil::testing
