// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The built binary's command line, its streams and exit status checked apart.
#include <gtest/gtest.h>

#include "cli/flags.h"
#include "test_util.h"

namespace tarsil::testing {

// The help: its fixed lines byte for byte, and between the -y line and the
// settings one line per further long option of the table, in its order.
std::string expected_help() {
  std::string extra;
  for (const Flag& flag : kFlags) {
    if (flag.letter != 0 || flag.place != HelpPlace::kOptions) continue;
    EXPECT_EQ(" --" + std::string(flag.name) + " ", flag.help.substr(0, flag.name.size() + 4));
    extra.append(flag.help) += '\n';
  }
  return "KELMOR Tarsil v." TARSIL_VERSION
         "\nUsage: tarsil [options] path\n\n"
         "Tarsil attempts license detection on the given path (single file or directory)\n"
         "Default tarsil rules location, containing strings.d and licenses.d:\n"
         "\tStand-alone    : /kelmor/etc/tarsil_rules/\n"
         "\tPart of WebApp : /etc/kelmor/tarsil_rules/\n"
         "Rules are simply licenses and headers placed inside a directory named with the\n"
         "corresponding SPDX id. For example licenses.d/MIT/original.txt\n\n"
         "Available options:\n"
         " --debug,     -d  Enables debugging mode\n"
         " --help,      -h  Displays this help and exits\n"
         " --version,   -v  Displays version and exits\n"
         " --pretty,    -p  Indent JSON response for easier screen reading\n"
         " --copyright, -y  Add copyright identification scan\n" +
         extra +
         "Available settings:\n"
         " --threshold  -s [value],  Threshold for match, def: 80\n"
         " --minwords   -w [value],  Min words for lic comparision, def: 2\n"
         " --minbytes   -b [value],  Min bytes for lic comparision, def: 20\n"
         " --ruledir,   -r [string], Location of rules, see above for defaults\n\n"
         "Several paths are scanned in turn, - reads standard input. tarsil is made by the "
         "KELMOR tarsil developers; report problems through the project's issue tracker.\n";
}

TEST(CommandLine, ExactOutputs) {
  const std::string help = expected_help();
  TempDir dir;
  const std::string r = dir / "rules", a = dir / "a.c", no = dir / "missing.c";
  const std::string two = dir / "two", none = dir / "none", half = dir / "half";
  const std::string usage = "ERROR: Unknown option 99\n", bad = kInvalidTarget;
  const auto getopt = [&](Str complaint) {  // then the option is unknown (63)
    return TARSIL_BINARY ": " + complaint + "\nERROR: Unknown option 63\n";
  };
  const std::string jobs = "Error: --jobs requires an integer from 1 to 1024 (got: ";
  const std::string no_licenses = "Error: " + none + "/licenses.d not accessible\n";
  const std::string min = "'--min' is ambiguous; possibilities: '--minwords' '--minbytes'";
  const std::string f =
      "'--f' is ambiguous; possibilities: '--files-from' '--fail-on' "
      "'--fail-on-unknown' '--format'";
  const std::string s =
      "'--s' is ambiguous; possibilities: '--spdx-expressions' '--summary' "
      "'--sbom-created'";
  const std::string noarg = "'--spdx-expressions' doesn't allow an argument";
  const std::string max = "2147483647", huge = "99999999999999999999999";
  for (Str root : {r, two}) write_rule_set(root, {});
  make_dirs(half + "/licenses.d");
  write_file(a, "int x;\n");
  const RunCase cases[] = {
      {{}, "", "ERROR: Missing path. Maybe you can use some --help\n", 1},
      {{"-h"}, help},
      {{"-h", "-x"}, help},
      {{"-v", "-s", "abc"}, "KELMOR Tarsil v." TARSIL_VERSION "\n"},
      {{"-r", r, a, "-s", "-5"}, "Error: -s requires integer (got: -5)\n", "", 1},
      {{"-r", r, a, "--minbytes=+3"}, "Error: -b requires integer (got: +3)\n", "", 1},
      {{"-r", r, a, "-w", "x", "-c", "x"}, "Error: -w requires integer (got: x)\n", "", 1},
      {{"-r", r, a, "-c", "x"}, "", usage, 1},
      {{"-r", r, a, "--co", "x"}, "", usage, 1},
      {{"-r", r, a, "--copyright"}, "", getopt("unrecognized option '--copyright'"), 1},
      {{"-r", r, a, "--spdx-expressions", "--min", "5"}, "", getopt("option " + min), 1},
      {{"-r", r, a, "-s"}, "", getopt("option requires an argument -- 's'"), 1},
      {{"-r", r, a, "--spdx-expressions=1"}, "", getopt("option " + noarg), 1},
      // --jobs, --files-from, --null and --keep-going leave every prefix above as it was.
      {{"-r", r, a, "--jobs", "0"}, jobs + "0)\n", "", 1},
      {{"-r", r, a, "--jo=1025"}, jobs + "1025)\n", "", 1},
      {{"-r", r, a, "--j", ""}, jobs + ")\n", "", 1},
      {{"--deb", "--ru", r, "--j", "3", "--nu", "--k", a}, banner(r) + kPassesLog + unmatched(a)},
      // --fail-on, --fail-on-unknown, --summary, --format and --sbom-created
      // share their first letters with --files-from and --spdx-expressions alone.
      {{"-r", r, "--f", a}, "", getopt("option " + f), 1},
      {{"-r", r, "--s", a}, "", getopt("option " + s), 1},
      {{"-r", r, "--files-from", no}, "", "tarsil: " + no + ": no such file or directory\n", 1},
      {{"-r", r, "--files", a, a}, "", "ERROR: --files-from takes no path argument\n", 1},
      // Each rule root is checked when read; the last one wins, used verbatim.
      {{"-r", half, a}, "Error: " + half + "/strings.d not accessible\n", "", 1},
      {{"-r", none, a}, no_licenses, "", 1},
      {{"-r", none, "-r", r, a}, no_licenses, "", 1},
      {{"-r", r, "-r", none, a}, no_licenses, "", 1},
      {{"-d", "-r", r, "-r", two + "/", no}, banner(two + "/"), bad, 1},  // a doubled slash
      {{"-r", r, "-s", "80"}, "", bad, 1},  // the last word, "80", is the target
      {{no, "-r", r, a}, unmatched(a), "tarsil: " + no + ": no such file or directory\n", 2},
      // The banner comes before the target is looked at.
      {{"-d", "-s", "", "-r", r, no}, banner(r, "1", "0.00"), bad, 1},
      {{"-d", "--thr", "50", "-r", r, no}, banner(r, "1", "50.00"), bad, 1},
      {{"-d", "-s150", "-s", "7", "--minw=04", "-r", r, no}, banner(r, "1", "7.00", "4"), bad, 1},
      {{"-dd", "-r", r, no}, banner(r, "3"), bad, 1},
      {{"-d", "-d", "-d", "-r", r, no}, banner(r, "3"), bad, 1},
      {{"-d", "-p", "--spdx-expressions", "-y", "-r", r, no}, banner(r, "d"), bad, 1},
      {{"-d", "-w", "2147483648", "-r", r, no}, banner(r, "1", "80.00", max), bad, 1},
      {{"-d", "-b", huge, "-r", r, no}, banner(r, "1", "80.00", "2", max), bad, 1},
  };
  for (const RunCase& c : cases) expect_run(c);
}

}  // namespace tarsil::testing
