// Command-line behaviour of the built binary: stdout, stderr and exit status
// are checked separately.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_util.h"

namespace tarsil::testing {
namespace {

const std::string kBinary = TARSIL_BINARY;

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += " '" + w + "'";
  return text;
}

// A rule set and one ordinary file; args() puts "-r <rules>" first, the
// file last.
class CommandLine : public ::testing::Test {
 protected:
  CommandLine() {
    write_rule_set(dir_ / "rules", {});
    write_file(dir_ / "a.c", "int x;\n");
  }
  std::vector<std::string> args(std::vector<std::string> options) const {
    options.insert(options.begin(), {"-r", dir_ / "rules"});
    options.push_back(dir_ / "a.c");
    return options;
  }
  TempDir dir_;
};

TEST(CommandLineBasics, NoArgument) {
  const RunResult r = run_tarsil({});
  EXPECT_EQ("", r.out);
  EXPECT_EQ("ERROR: Missing path. Maybe you can use some --help\n", r.err);
  EXPECT_EQ(1, r.status);
}

TEST(CommandLineBasics, HelpAndVersionExitAtOnce) {
  const std::string help =
      "KELMOR Tarsil v.1.23\n"
      "Usage: tarsil [options] path\n"
      "\n"
      "Tarsil attempts license detection on the given path (single file or directory)\n"
      "Default tarsil rules location, containing strings.d and licenses.d:\n"
      "\tStand-alone    : /kelmor/etc/tarsil_rules/\n"
      "\tPart of WebApp : /etc/kelmor/tarsil_rules/\n"
      "Rules are simply licenses and headers placed inside a directory named with the\n"
      "corresponding SPDX id. For example licenses.d/MIT/original.txt\n"
      "\n"
      "Available options:\n"
      " --debug,     -d  Enables debugging mode\n"
      " --help,      -h  Displays this help and exits\n"
      " --version,   -v  Displays version and exits\n"
      " --pretty,    -p  Indent JSON response for easier screen reading\n"
      " --copyright, -y  Add copyright identification scan\n"
      "Available settings:\n"
      " --threshold  -s [value],  Threshold for match, def: 80\n"
      " --minwords   -w [value],  Min words for lic comparision, def: 2\n"
      " --minbytes   -b [value],  Min bytes for lic comparision, def: 20\n"
      " --ruledir,   -r [string], Location of rules, see above for defaults\n"
      "\n"
      "tarsil is made by the KELMOR tarsil developers; report problems and get support "
      "through the project's issue tracker.\n";
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"-h"}, help},
      {{"-h", "-x"}, help},  // -x is never looked at
      {{"--he", "-r", "/nonexistent"}, help},
      {{"-v"}, "KELMOR Tarsil v.1.23\n"},
      {{"--version", "-s", "abc"}, "KELMOR Tarsil v.1.23\n"},
  };
  for (const auto& c : cases) {
    const RunResult r = run_tarsil(c.args);
    EXPECT_EQ(c.out, r.out) << joined(c.args);
    EXPECT_EQ("", r.err) << joined(c.args);
    EXPECT_EQ(0, r.status) << joined(c.args);
  }
}

TEST_F(CommandLine, OptionErrors) {
  const struct {
    std::vector<std::string> options;
    std::string out, err;
  } cases[] = {
      {{"-s", "abc"}, "Error: -s requires integer (got: abc)\n", ""},
      {{"-s", "-5"}, "Error: -s requires integer (got: -5)\n", ""},
      {{"-w", "1x"}, "Error: -w requires integer (got: 1x)\n", ""},
      {{"--minbytes=+3"}, "Error: -b requires integer (got: +3)\n", ""},
      {{"-s", "abc", "-c", "x"}, "Error: -s requires integer (got: abc)\n", ""},
      {{"-c", "x"}, "", "ERROR: Unknown option 99\n"},
      {{"--co", "x"}, "", "ERROR: Unknown option 99\n"},
      {{"--copyright"},
       "",
       kBinary + ": unrecognized option '--copyright'\nERROR: Unknown option 63\n"},
      {{"--min", "5"},
       "",
       kBinary + ": option '--min' is ambiguous; possibilities: '--minwords' '--minbytes'\n"
                 "ERROR: Unknown option 63\n"},
  };
  for (const auto& c : cases) {
    const RunResult r = run_tarsil(args(c.options));
    EXPECT_EQ(c.out, r.out) << joined(c.options);
    EXPECT_EQ(c.err, r.err) << joined(c.options);
    EXPECT_EQ(1, r.status) << joined(c.options);
  }
  // A value missing at the very end.
  const RunResult r = run_tarsil({"-r", dir_ / "rules", dir_ / "a.c", "-s"});
  EXPECT_EQ("", r.out);
  EXPECT_EQ(kBinary + ": option requires an argument -- 's'\nERROR: Unknown option 63\n", r.err);
  EXPECT_EQ(1, r.status);
}

TEST_F(CommandLine, DebugBanner) {
  const RunResult r = run_tarsil(args({"-d"}));
  const std::string rules = dir_ / "rules";
  EXPECT_EQ(0, r.out.rfind("Version \t : v.1.23\nSetting \t : 0x1\nThreshold \t : 80.00\n"
                           "Stringdir \t : " +
                               rules + "/strings.d\nlicensedir \t : " + rules +
                               "/licenses.d\nminwords \t : 2\nminbytes \t : 20\n"
                               "====================\n",
                           0))
      << r.out;
  EXPECT_EQ("", r.err);
  EXPECT_EQ(0, r.status);
}

TEST_F(CommandLine, SettingsShowInBanner) {
  const struct {
    std::vector<std::string> options;
    std::string line;
  } cases[] = {
      {{"-d", "-s", ""}, "Threshold \t : 0.00\n"},
      {{"-d", "--thr", "50"}, "Threshold \t : 50.00\n"},
      {{"-d", "--threshold=50"}, "Threshold \t : 50.00\n"},
      {{"-d", "-s", "150", "-s", "7"}, "Threshold \t : 7.00\n"},
      {{"-dd"}, "Setting \t : 0x3\n"},
      {{"-d", "-d", "-d"}, "Setting \t : 0x3\n"},
      {{"-d", "-p", "-y"}, "Setting \t : 0xd\n"},
      {{"--de", "--pretty"}, "Setting \t : 0x5\n"},
      {{"-d", "-w", "2147483648"}, "minwords \t : 2147483647\n"},
      {{"-d", "--minw=0004"}, "minwords \t : 4\n"},
      {{"-d", "-b", "99999999999999999999999"}, "minbytes \t : 2147483647\n"},
  };
  for (const auto& c : cases) {
    const RunResult r = run_tarsil(args(c.options));
    EXPECT_NE(std::string::npos, r.out.find(c.line)) << joined(c.options) << "\n" << r.out;
    EXPECT_EQ("", r.err) << joined(c.options);
    EXPECT_EQ(0, r.status) << joined(c.options);
  }
}

TEST_F(CommandLine, TargetNeitherFileNorDirectory) {
  ASSERT_EQ(0, mkfifo((dir_ / "fifo").c_str(), 0644));
  for (const std::string& target : {dir_ / "missing.c", dir_ / "fifo"}) {
    for (const bool debug : {false, true}) {  // the banner comes first
      const RunResult r = run_tarsil({debug ? "-d" : "-p", "-r", dir_ / "rules", target});
      EXPECT_TRUE(debug ? r.out.ends_with("minbytes \t : 20\n====================\n")
                        : r.out.empty())
          << target << "\n"
          << r.out;
      EXPECT_EQ(
          "ERROR: You must specify a valid file or directory.\n"
          "       Please check the built in --help\n",
          r.err)
          << target;
      EXPECT_EQ(1, r.status) << target;
    }
  }
}

TEST_F(CommandLine, TargetIsTheLastWord) {
  const std::string record = "{\"license\":\"\",\"score\":\"0.00\",\"path\":\"" + (dir_ / "a.c") +
                             "\", \" rule\":\"\",\"copyright\":\"\"}\n";
  const struct {
    std::vector<std::string> args;
    std::string out, err;
    int status;
  } cases[] = {
      {{dir_ / "missing.c", "-r", dir_ / "rules", dir_ / "a.c"}, record, "", 0},
      {{"-r", dir_ / "rules", "-s", "80"},  // no path: "80" is the target
       "",
       "ERROR: You must specify a valid file or directory.\n"
       "       Please check the built in --help\n",
       1},
  };
  for (const auto& c : cases) {
    const RunResult r = run_tarsil(c.args, in_directory(dir_.path()));
    EXPECT_EQ(c.out, r.out) << joined(c.args);
    EXPECT_EQ(c.err, r.err) << joined(c.args);
    EXPECT_EQ(c.status, r.status) << joined(c.args);
  }
}

TEST_F(CommandLine, UnreadableTargetAsNobody) {
  write_file(dir_ / "secret.c", "x\n");
  chmod((dir_ / "secret.c").c_str(), 0);
  const RunResult r = run_tarsil({"-r", dir_ / "rules", dir_ / "secret.c"}, as_nobody());
  EXPECT_EQ("ERROR: Cannot read " + (dir_ / "secret.c") + "\n", r.out);
  EXPECT_EQ("", r.err);
  EXPECT_EQ(1, r.status);
}

}  // namespace
}  // namespace tarsil::testing
