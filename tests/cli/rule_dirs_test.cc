// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The rule directories without -r: the install locations, then the working directory.
#include "cli/rule_dirs.h"

#include <gtest/gtest.h>

#include <filesystem>

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
  DebugLog log{SETTING_DEBUG, {}};
  EXPECT_TRUE(resolve_rule_dirs({strings1, tmp / "web/strings.d"},
                                {licenses1, tmp / "web/licenses.d"}, "", &settings, &log)
                  .ok());
  EXPECT_EQ(strings1 + " is not a valid directory\n" + licenses1 + " is not a valid directory\n",
            log.text);
  EXPECT_EQ(tmp / "web/strings.d", settings.stringdir);
  EXPECT_EQ(tmp / "web/licenses.d", settings.licensedir);

  // No candidate: <cwd>/../etc/tarsil_rules, however long the working directory.
  std::string deep = tmp / "deep";
  while (deep.size() <= 300) deep += "/directory";
  const std::vector<std::string> both = {"strings.d", "licenses.d"};
  // The root, the rule directories below it, the failure (kOk: found). The
  // program's own directory is tried last: <root>/usr/bin beside the rules.
  const std::tuple<std::string, std::vector<std::string>, StatusCode, std::string> cases[] = {
      {tmp / "opt/x", both, StatusCode::kOk, ""},
      {deep, both, StatusCode::kOk, ""},
      {tmp / "0", {}, StatusCode::kRuleDirNotFound, "strings.d"},
      {tmp / "1", {"licenses.d"}, StatusCode::kRuleDirNotFound, "strings.d"},
      {tmp / "2", {"strings.d"}, StatusCode::kRuleDirNotFound, "licenses.d"},
      {tmp / "3", both, StatusCode::kNoWorkingDirectory, ""},
      {tmp / "4", {}, StatusCode::kOk, "program"},
  };
  for (const auto& [root, dirs, code, name] : cases) {
    settings = default_run_settings();
    for (const std::string& d : dirs) make_dirs(root + "/etc/tarsil_rules/" + d);
    make_dirs(root + "/bin");
    const std::string program = tmp / "usr/bin";
    for (const std::string& d : both) make_dirs(tmp / "usr/etc/tarsil_rules/" + d);
    make_dirs(program);
    fs::current_path(root + "/bin");
    if (code == StatusCode::kNoWorkingDirectory) fs::remove_all(root);
    log.text.clear();
    const bool from_program = name == "program";
    const Status status = resolve_rule_dirs({tmp / "none"}, {tmp / "none"},
                                            from_program ? program : "", &settings, &log);
    fs::current_path(saved_cwd);
    EXPECT_EQ(code, status.code) << root;
    EXPECT_EQ(from_program ? "" : name, status.message) << root;
    if (code != StatusCode::kOk) continue;
    const std::string none = tmp / "none is not a valid directory\n";
    const std::string found = (from_program ? program : root + "/bin") + "/../etc/tarsil_rules/";
    const std::string cwd = root + "/bin/../etc/tarsil_rules/";
    EXPECT_EQ(from_program ? none + cwd + "strings.d is not a valid directory\n" + none + cwd +
                                 "licenses.d is not a valid directory\n"
                           : none + none,
              log.text);
    EXPECT_EQ(found + "strings.d", settings.stringdir) << root;
    EXPECT_EQ(found + "licenses.d", settings.licensedir) << root;
  }
}

}  // namespace tarsil::testing
