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

TEST(RuleRootOption, EachRootIsCheckedWhenRead) {
  TempDir dir;
  write_rule_set(dir / "one", {});
  write_rule_set(dir / "two", {});
  make_dirs(dir / "no_strings/licenses.d");
  write_file(dir / "a.c", "x\n");
  const std::string none = "Error: " + (dir / "none") + "/licenses.d not accessible\n";
  const struct {
    std::vector<std::string> roots;
    std::string out;
  } cases[] = {
      {{dir / "no_strings"}, "Error: " + (dir / "no_strings") + "/strings.d not accessible\n"},
      {{dir / "none"}, none},
      {{dir / "none", dir / "one"}, none},
      {{dir / "one", dir / "none"}, none},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args;
    for (const std::string& root : c.roots) args.insert(args.end(), {"-r", root});
    args.push_back(dir / "a.c");
    const RunResult r = run_tarsil(args);
    EXPECT_EQ(c.out, r.out) << c.roots.back();
    EXPECT_EQ("", r.err) << c.roots.back();
    EXPECT_EQ(1, r.status) << c.roots.back();
  }
  // The last root wins, used verbatim: a trailing slash doubles.
  const RunResult r = run_tarsil({"-d", "-r", dir / "one", "-r", dir / "two/", dir / "a.c"});
  EXPECT_NE(std::string::npos, r.out.find("Stringdir \t : " + (dir / "two//strings.d\n") +
                                          "licensedir \t : " + (dir / "two//licenses.d\n")))
      << r.out;
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
  // Creates <root>/etc/tarsil_rules/{strings.d,licenses.d} (as asked) and
  // <root>/bin, and makes <root>/bin the working directory.
  std::string enter(const std::string& root, bool strings, bool licenses) {
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

  // Silent without -d; a directory already set is kept.
  reset_run_settings();
  run_settings.licensedir = "kept";
  ::testing::internal::CaptureStdout();
  resolve_rule_dirs({strings1, tmp_ / "web/strings.d"}, {licenses1});
  EXPECT_EQ("", ::testing::internal::GetCapturedStdout());
  EXPECT_EQ("kept", run_settings.licensedir);
}

TEST_F(RuleDirResolution, FallsBackToWorkingDirectory) {
  std::string deep = tmp_ / "deep";  // more than 256 characters
  while (deep.size() <= 300) deep += "/directory";
  for (const std::string& root : {tmp_ / "opt/x", deep}) {
    reset_run_settings();
    const std::string cwd = enter(root, true, true);
    resolve_rule_dirs({tmp_ / "none/strings.d"}, {tmp_ / "none/licenses.d"});
    EXPECT_EQ(cwd + "/../etc/tarsil_rules/strings.d", run_settings.stringdir) << root;
    EXPECT_EQ(cwd + "/../etc/tarsil_rules/licenses.d", run_settings.licensedir) << root;
  }
}

TEST_F(RuleDirResolution, NothingFoundEndsTheRun) {
  const struct {
    bool strings, licenses, remove_cwd;
    const char* message;
  } cases[] = {
      {false, false, false, "^ERROR: Rule dir: strings\\.d not found\n$"},
      {false, true, false, "^ERROR: Rule dir: strings\\.d not found\n$"},
      {true, false, false, "^ERROR: Rule dir: licenses\\.d not found\n$"},
      {true, true, true, "^ERROR: CWD not obtained\n$"},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string root = tmp_ / std::to_string(n++);
    EXPECT_EXIT(
        {
          enter(root, c.strings, c.licenses);
          if (c.remove_cwd) fs::remove_all(root);
          resolve_rule_dirs({tmp_ / "none"}, {tmp_ / "none"});
        },
        ::testing::ExitedWithCode(1), c.message)
        << root;
  }
}

}  // namespace
}  // namespace tarsil::testing
