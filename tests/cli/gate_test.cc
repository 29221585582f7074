// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// License gating (--fail-on, --allow, --fail-on-unknown) and --summary: the
// verdicts refused, the exit statuses, the texts on standard error.
#include "analysis/gate.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <regex>

#include "test_util.h"

namespace tarsil::testing {
namespace {

LicenseGate gate(const std::string& fail_on, const std::string& allow = "\n") {
  LicenseGate g;
  add_patterns(fail_on, &g.fail_on);
  g.allow_given = allow != "\n";
  if (g.allow_given) add_patterns(allow, &g.allow);
  return g;
}

TEST(Gate, RefusedVerdicts) {
  const std::tuple<LicenseGate, std::string, bool, bool> cases[] = {
      {gate("GPL-*, AGPL-*"), "LGPL-2.1-only", false, false},  // the whole id must match
      {gate("GPL-[12]*"), "GPL-3.0-only", false, false},
      {gate("GPL-2.0"), "GPL-2.0+", false, true},  // "+": with or without it
      {gate(",,"), "MIT", false, false},
      {gate("MIT", "*"), "MIT", false, true},  // --fail-on wins
      // Expressions: a choice of licenses none of which is refused is enough.
      {gate("GPL-*"), "GPL-2.0-only OR BSD-2-Clause", true, false},
      {gate("GPL-*"), "GPL-2.0-only OR BSD-2-Clause", false, true},  // one id then
      {gate("GPL-*,BSD-*"), "GPL-2.0-only OR BSD-2-Clause", true, true},
      {gate("GPL-*"), "MIT AND GPL-2.0-only", true, true},
      {gate("GPL-*"), "(MIT OR GPL-2.0-only) AND (GPL-3.0-only OR BSD-3-Clause)", true, false},
      {gate("MIT"), "(MIT OR GPL-2.0-only) AND (GPL-3.0-only OR MIT)", true, false},
      {gate("MIT,GPL-3*"), "(MIT OR GPL-2.0-only) AND (GPL-3.0-only OR MIT)", true, true},
      {gate("", "MIT,Apache-2.0"), "mit or (Apache-2.0 and GPL-2.0+)", true, false},
      {gate("", "GPL-*"), "GPL-2.0-only WITH Classpath-exception-2.0", true, false},
      {gate("GPL-*"), "GPL-2.0-only WITH Classpath-exception-2.0 OR MIT", true, false},
  };
  for (const auto& [gate, license, expression, refused] : cases) {
    const Expression verdict =
        expression ? parse_expression(license).value() : license_expression(license);
    EXPECT_EQ(refused, refuses(gate, verdict)) << license << " " << expression;
  }
}

TEST(Gate, ExitStatusesAndMessages) {
  TempDir dir;
  const std::string rules = dir / "rules", t = dir / "t";
  write_rule_set(rules, {{"licenses.d/MIT/text", "x"},
                         {"licenses.d/GPL-2.0-only/text", "x"},
                         {"licenses.d/GPL-2.0+/text", "x"}});
  const std::string tag = "// SPDX-License-Identifier: ";
  write_file(t + "/mit.c", "/* SPDX-License-Identifier: MIT */\n");
  write_file(t + "/gpl.c", tag + "GPL-2.0-only\n");
  write_file(t + "/plus.c", tag + "GPL-2.0+\n");
  write_file(t + "/or.c", tag + "GPL-2.0-only OR MIT\n");  // an expression, or nothing
  write_file(t + "/none.c", "int x;\n");
  write_file(dir / "locked.c", "int x;\n");
  chmod((dir / "locked.c").c_str(), 0);
  const std::string disallowed = " with a disallowed license\n", missing = dir / "missing";
  const std::string unknown = " with no license found\n";
  const std::string both = " with a disallowed license, 2 with no license found\n";
  const std::string gone = "tarsil: " + missing + ": no such file or directory\n";
  const std::string list = dir / "list", locked = dir / "locked-list";
  write_file(list, missing + "\n" + t + "\n");
  write_file(locked, t + "\n" + dir / "locked.c\n");
  const std::tuple<std::vector<std::string>, std::vector<std::string>, std::string, int> cases[] = {
      {{"--fail-on", "nothing-*"}, {t}, "", 0},
      {{"--fail-on", "GPL-*"}, {t}, "tarsil: 2 files" + disallowed, 3},
      {{"--fail-on=gpl-2.0-only"}, {"--jobs", "3", t}, "tarsil: 1 file" + disallowed, 3},
      {{"--allow", "MIT", "--allow", "GPL-2.0"}, {t}, "tarsil: 1 file" + disallowed, 3},
      {{"--allow", ""}, {t}, "tarsil: 3 files" + disallowed, 3},
      {{"--allow", "*", "--fail-on", "AGPL-*"}, {t}, "", 0},
      {{"--fail-on", "GPL-*"}, {"--spdx-expressions", t}, "tarsil: 2 files" + disallowed, 3},
      {{"--fail-on", "GPL-*,MIT"}, {"--spdx-expressions", t}, "tarsil: 4 files" + disallowed, 3},
      {{"--fail-on-unknown"}, {t}, "tarsil: 2 files" + unknown, 3},
      {{"--fail-on-u"}, {"-y", "--jobs", "2", t}, "tarsil: 2 files" + unknown, 3},
      {{"--fail-on", "MIT", "--fail-on-unknown"}, {t}, "tarsil: 1 file" + both, 3},
      // A refused license outranks notices (status 2); a run-ending error
      // keeps its status 1, and no count is written.
      {{"--fail-on", "MIT"}, {"--files-from", list}, gone + "tarsil: 1 file" + disallowed, 3},
      {{"--fail-on", "AGPL-*"}, {"--files-from", list}, gone, 2},
      {{"--fail-on", "MIT"}, {"--files-from", locked, "--jobs", "1"}, "", 1},
  };
  for (const auto& [gate, others, err, status] : cases) {
    std::vector<std::string> plain = {"-r", rules};
    plain.insert(plain.end(), others.begin(), others.end());
    // Records are written as they are without the gate.
    expect_run({plain, run_tarsil(plain, kNobody).out, err, status}, kNobody, gate);
  }
  // --summary: by count, then by name; numbers right-aligned; the gate's line last.
  write_file(t + "/mit2.c", tag + "MIT\n");
  RunResult r = run_tarsil({"-r", rules, "--jobs", "2", "--summary", "--fail-on", "GPL-2.0+", t});
  r.err = std::regex_replace(r.err, std::regex("\n\\d\\.\\d\\d  "), "\n#.##  ");
  const std::string table =
      "   2  MIT\n   1  GPL-2.0+\n   1  GPL-2.0-only\n   2  no license found\n   6  files\n";
  expect_same(
      {run_tarsil({"-r", rules, t}).out, table + "#.##  seconds\ntarsil: 1 file" + disallowed, 3},
      r, "--summary");
}

}  // namespace
}  // namespace tarsil::testing
