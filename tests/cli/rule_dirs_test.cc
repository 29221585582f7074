// Choosing the rule directories: -r, the install locations, the fallback
// relative to the working directory.
#include "cli/rule_dirs.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/settings.h"
#include "test_util.h"

namespace tarsil::testing {
namespace {

namespace fs = std::filesystem;

TEST(RuleRootOption, ChecksEachRootAsItComes) {
  TempDir dir;
  write_rule_set(dir / "good", {});
  make_dirs(dir / "no_strings/licenses.d");
  write_file(dir / "a.c", "x\n");
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"-r", dir / "no_strings"},
       "Error: " + (dir / "no_strings") + "/strings.d not accessible\n"},
      {{"-r", dir / "none"}, "Error: " + (dir / "none") + "/licenses.d not accessible\n"},
      {{"-r", dir / "none", "-r", dir / "good"},
       "Error: " + (dir / "none") + "/licenses.d not accessible\n"},
      {{"-r", dir / "good", "-r", dir / "none"},
       "Error: " + (dir / "none") + "/licenses.d not accessible\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back(dir / "a.c");
    const RunResult r = run_tarsil(args);
    EXPECT_EQ(c.out, r.out) << c.args[1];
    EXPECT_EQ("", r.err) << c.args[1];
    EXPECT_EQ(1, r.status) << c.args[1];
  }
}

TEST(RuleRootOption, LastRootWinsAndIsUsedVerbatim) {
  TempDir dir;
  write_rule_set(dir / "one", {});
  write_rule_set(dir / "two", {});
  write_file(dir / "a.c", "x\n");
  const RunResult r = run_tarsil({"-d", "-r", dir / "one", "-r", dir / "two/", dir / "a.c"});
  EXPECT_NE(std::string::npos,
            r.out.find("Stringdir \t : " + (dir / "two//strings.d\nlicensedir \t : ") +
                       (dir / "two//licenses.d\n")))
      << r.out;
  EXPECT_EQ("", r.err);
  EXPECT_EQ(0, r.status);
}

// In-process resolution with candidate lists of the test's own.
class RuleDirResolution : public ::testing::Test {
 protected:
  void SetUp() override { reset_run_settings(); }
  void TearDown() override {
    fs::current_path(saved_cwd_);
    reset_run_settings();
  }
  // <root>/etc/tarsil_rules/{strings.d,licenses.d} (as asked) and
  // <root>/bin, which becomes the working directory.
  std::string enter_install(const std::string& root, bool strings, bool licenses) {
    if (strings) make_dirs(root + "/etc/tarsil_rules/strings.d");
    if (licenses) make_dirs(root + "/etc/tarsil_rules/licenses.d");
    make_dirs(root + "/bin");
    fs::current_path(root + "/bin");
    return root + "/bin";
  }
  const fs::path saved_cwd_ = fs::current_path();
  TempDir tmp_;
};

TEST_F(RuleDirResolution, SecondCandidatesAfterLoggingTheFirst) {
  write_rule_set(tmp_ / "web", {});
  const std::string strings1 = tmp_ / "alone/strings.d", licenses1 = tmp_ / "alone/licenses.d";
  run_settings.setting = SETTING_DEBUG;
  ::testing::internal::CaptureStdout();
  resolve_rule_dirs({strings1, tmp_ / "web/strings.d"}, {licenses1, tmp_ / "web/licenses.d"});
  EXPECT_EQ(strings1 + " is not a valid directory\n" + licenses1 + " is not a valid directory\n",
            ::testing::internal::GetCapturedStdout());
  EXPECT_EQ(tmp_ / "web/strings.d", run_settings.stringdir);
  EXPECT_EQ(tmp_ / "web/licenses.d", run_settings.licensedir);

  // Silent without -d; an already set directory is kept.
  reset_run_settings();
  run_settings.licensedir = "kept";
  ::testing::internal::CaptureStdout();
  resolve_rule_dirs({strings1, tmp_ / "web/strings.d"}, {licenses1});
  EXPECT_EQ("", ::testing::internal::GetCapturedStdout());
  EXPECT_EQ("kept", run_settings.licensedir);
}

TEST_F(RuleDirResolution, FallsBackToWorkingDirectory) {
  // Both a short and a long (> 256 characters) working directory.
  std::string deep = tmp_ / "deep";
  while (deep.size() <= 300) deep += "/directory";
  for (const std::string& root : {tmp_ / "opt/x", deep}) {
    reset_run_settings();
    const std::string cwd = enter_install(root, true, true);
    resolve_rule_dirs({tmp_ / "none/strings.d"}, {tmp_ / "none/licenses.d"});
    EXPECT_EQ(cwd + "/../etc/tarsil_rules/strings.d", run_settings.stringdir) << root;
    EXPECT_EQ(cwd + "/../etc/tarsil_rules/licenses.d", run_settings.licensedir) << root;
  }
}

TEST_F(RuleDirResolution, MissingEverywhereEndsTheRun) {
  const RuleCandidates none = {tmp_ / "none"};
  const struct {
    bool strings, licenses;
    const char* message;
  } cases[] = {
      {false, false, "^ERROR: Rule dir: strings\\.d not found\n$"},
      {false, true, "^ERROR: Rule dir: strings\\.d not found\n$"},
      {true, false, "^ERROR: Rule dir: licenses\\.d not found\n$"},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string root = tmp_ / std::to_string(n++);
    EXPECT_EXIT(
        {
          enter_install(root, c.strings, c.licenses);
          resolve_rule_dirs(none, none);
        },
        ::testing::ExitedWithCode(1), c.message)
        << root;
  }
}

}  // namespace
}  // namespace tarsil::testing
