// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The rule directories without -r: the install locations, then the working directory.
#include "cli/rule_dirs.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/settings.h"
#include "test_util.h"

namespace tarsil::testing {

namespace fs = std::filesystem;

// In-process resolution, with candidate lists of the test's own.
TEST(RuleDirResolution, CandidatesThenWorkingDirectory) {
  TempDir tmp;
  const fs::path saved_cwd = fs::current_path();
  write_rule_set(tmp / "web", {});
  const std::string strings1 = tmp / "alone/strings.d", licenses1 = tmp / "alone/licenses.d";
  RunSettings settings = default_run_settings();
  settings.setting = SETTING_DEBUG;
  ::testing::internal::CaptureStdout();
  resolve_rule_dirs({strings1, tmp / "web/strings.d"}, {licenses1, tmp / "web/licenses.d"},
                    &settings);
  EXPECT_EQ(strings1 + " is not a valid directory\n" + licenses1 + " is not a valid directory\n",
            ::testing::internal::GetCapturedStdout());
  EXPECT_EQ(tmp / "web/strings.d", settings.stringdir);
  EXPECT_EQ(tmp / "web/licenses.d", settings.licensedir);

  // No candidate: <cwd>/../etc/tarsil_rules, however long the working directory.
  std::string deep = tmp / "deep";
  while (deep.size() <= 300) deep += "/directory";
  const std::vector<std::string> both = {"strings.d", "licenses.d"};
  // The root, the rule directories below it, the error (nullptr: found, silently).
  const std::tuple<std::string, std::vector<std::string>, const char*, bool> cases[] = {
      {tmp / "opt/x", both, nullptr, false},
      {deep, both, nullptr, false},
      {tmp / "0", {}, "^ERROR: Rule dir: strings\\.d not found\n$", false},
      {tmp / "1", {"licenses.d"}, "^ERROR: Rule dir: strings\\.d not found\n$", false},
      {tmp / "2", {"strings.d"}, "^ERROR: Rule dir: licenses\\.d not found\n$", false},
      {tmp / "3", both, "^ERROR: CWD not obtained\n$", true},
  };
  for (const auto& [root, dirs, error, remove_cwd] : cases) {
    settings = default_run_settings();
    for (const std::string& d : dirs) make_dirs(root + "/etc/tarsil_rules/" + d);
    make_dirs(root + "/bin");
    fs::current_path(root + "/bin");
    if (error != nullptr) {
      EXPECT_EXIT(
          {
            if (remove_cwd) fs::remove_all(root);
            resolve_rule_dirs({tmp / "none"}, {tmp / "none"}, &settings);
          },
          ::testing::ExitedWithCode(1), error)
          << root;
      continue;
    }
    ::testing::internal::CaptureStdout();
    resolve_rule_dirs({tmp / "none"}, {tmp / "none"}, &settings);
    EXPECT_EQ("", ::testing::internal::GetCapturedStdout()) << root;
    EXPECT_EQ(root + "/bin/../etc/tarsil_rules/strings.d", settings.stringdir) << root;
    EXPECT_EQ(root + "/bin/../etc/tarsil_rules/licenses.d", settings.licensedir) << root;
  }
  fs::current_path(saved_cwd);
}

}  // namespace tarsil::testing
