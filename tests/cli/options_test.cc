// The built binary's command line: standard output, standard error and exit
// status are checked apart.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_util.h"

namespace tarsil::testing {
namespace {

const std::string kBinary = TARSIL_BINARY;
const std::string kBadTarget =
    "ERROR: You must specify a valid file or directory.\n       Please check the built in --help\n";

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += " '" + w + "'";
  return text;
}

TEST(CommandLine, ExactOutputs) {
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
  TempDir dir;
  const std::string rules = dir / "rules", a = dir / "a.c", unknown = "ERROR: Unknown option 63\n";
  write_rule_set(rules, {});
  write_file(a, "int x;\n");
  ASSERT_EQ(0, mkfifo((dir / "fifo").c_str(), 0644));
  const std::string record = "{\"license\":\"\",\"score\":\"0.00\",\"path\":\"" + a +
                             "\", \" rule\":\"\",\"copyright\":\"\"}\n";
  const struct {
    std::vector<std::string> args;
    std::string out, err;
    int status;
  } cases[] = {
      {{}, "", "ERROR: Missing path. Maybe you can use some --help\n", 1},
      {{"-h"}, help, "", 0},
      {{"-h", "-x"}, help, "", 0},
      {{"-v", "-s", "abc"}, "KELMOR Tarsil v.1.23\n", "", 0},
      {{"-r", rules, a, "-s", "abc"}, "Error: -s requires integer (got: abc)\n", "", 1},
      {{"-r", rules, a, "-s", "-5"}, "Error: -s requires integer (got: -5)\n", "", 1},
      {{"-r", rules, a, "--minbytes=+3"}, "Error: -b requires integer (got: +3)\n", "", 1},
      {{"-r", rules, a, "-w", "x", "-c", "x"}, "Error: -w requires integer (got: x)\n", "", 1},
      {{"-r", rules, a, "-c", "x"}, "", "ERROR: Unknown option 99\n", 1},
      {{"-r", rules, a, "--co", "x"}, "", "ERROR: Unknown option 99\n", 1},
      {{"-r", rules, a, "--copyright"},
       "",
       kBinary + ": unrecognized option '--copyright'\n" + unknown,
       1},
      {{"-r", rules, a, "--min", "5"},
       "",
       kBinary + ": option '--min' is ambiguous; possibilities: '--minwords' '--minbytes'\n" +
           unknown,
       1},
      {{"-r", rules, a, "-s"}, "", kBinary + ": option requires an argument -- 's'\n" + unknown, 1},
      {{"-r", rules, dir / "missing.c"}, "", kBadTarget, 1},
      {{"-r", rules, dir / "fifo"}, "", kBadTarget, 1},
      {{"-r", rules, "-s", "80"}, "", kBadTarget, 1},  // the last word, "80", is the target
      {{dir / "missing.c", "-r", rules, a}, record, "", 0},
  };
  for (const auto& c : cases) {
    const RunResult r = run_tarsil(c.args, in_directory(dir.path()));
    EXPECT_EQ(c.out, r.out) << joined(c.args);
    EXPECT_EQ(c.err, r.err) << joined(c.args);
    EXPECT_EQ(c.status, r.status) << joined(c.args);
  }
}

TEST(CommandLine, DebugBanner) {
  TempDir dir;
  const std::string rules = dir / "rules", a = dir / "a.c";
  write_rule_set(rules, {});
  write_file(a, "int x;\n");
  const std::string banner =
      "Version \t : v.1.23\nSetting \t : 0x1\nThreshold \t : 80.00\n"
      "Stringdir \t : " +
      rules + "/strings.d\nlicensedir \t : " + rules +
      "/licenses.d\nminwords \t : 2\nminbytes \t : 20\n"
      "====================\n";
  EXPECT_TRUE(run_tarsil({"-d", "-r", rules, a}).out.starts_with(banner));
  const RunResult bad = run_tarsil({"-d", "-r", rules, dir / "missing.c"});
  EXPECT_EQ(banner, bad.out);  // written before the target is looked at
  EXPECT_EQ(kBadTarget, bad.err);

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
      {{"-d", "-w", "2147483648"}, "minwords \t : 2147483647\n"},
      {{"-d", "--minw=0004"}, "minwords \t : 4\n"},
      {{"-d", "-b", "99999999999999999999999"}, "minbytes \t : 2147483647\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-r", rules, a});
    const RunResult r = run_tarsil(args);
    EXPECT_NE(std::string::npos, r.out.find(c.line)) << joined(args) << "\n" << r.out;
    EXPECT_EQ("", r.err) << joined(args);
    EXPECT_EQ(0, r.status) << joined(args);
  }
}

TEST(CommandLine, UnreadableTargetAsNobody) {
  TempDir dir;
  write_rule_set(dir / "rules", {});
  write_file(dir / "secret.c", "x\n");
  chmod((dir / "secret.c").c_str(), 0);
  const RunResult r = run_tarsil({"-r", dir / "rules", dir / "secret.c"}, as_nobody());
  EXPECT_EQ("ERROR: Cannot read " + (dir / "secret.c") + "\n", r.out);
  EXPECT_EQ("", r.err);
  EXPECT_EQ(1, r.status);
}

}  // namespace
}  // namespace tarsil::testing
