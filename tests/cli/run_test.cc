// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Operands and path lists (--files-from): each path is handled as one target
// would be, in order, with notices and the exit statuses that follow.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_util.h"

namespace tarsil::testing {

TEST(PathLists, EachListedPathAsIfItWereTheTarget) {
  TempDir dir;
  const std::string rules = dir / "rules", d = dir / "d", a = dir / "a.c", fifo = dir / "fifo";
  const std::string missing = dir / "missing", locked = dir / "locked", odd = dir / "we\nird.c";
  write_rule_set(rules, {});
  for (const std::string& file : {d + "/x.c", a, locked, odd}) write_file(file, "text\n");
  chmod(locked.c_str(), 0);
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0644));
  const std::string gone = "tarsil: " + missing + ": no such file or directory\n";
  const std::string cannot = "ERROR: Cannot read " + locked + "\n";
  const std::string denied = "tarsil: " + locked + ": permission denied\n";
  const std::string special = "tarsil: " + fifo + ": not a regular file or directory\n";
  const std::string mixed = missing + "\n" + a + "\n" + locked + "\n" + missing + "\n";
  const std::string in_d = unmatched(d + "/x.c") + unmatched(a) + unmatched(d + "//x.c");
  // A list; the options, and what the run writes and returns.
  const std::pair<std::string, RunCase> cases[] = {
      {d + "\n" + missing + "\n\n" + fifo + "\n" + a + "\n" + d + "/",
       {{}, in_d, gone + special, 2}},
      {odd + '\0' + a + '\0', {{"--null"}, unmatched(dir / "we\\u000aird.c") + unmatched(a)}},
      // Entries holding NUL bytes without --null: a hint, once.
      {a + '\0' + a + "\n" + a + '\0' + "\n",
       {{},
        "",
        "NUL\ntarsil: " + a + ": invalid argument\ntarsil: " + a + ": invalid argument\n",
        2}},
      {"", {{}, ""}},
      // A run-ending error comes first: status 1, and nothing after it.
      {mixed, {{}, unmatched(a) + cannot, gone, 1}},
      {locked + "\n" + a + "\n", {{"--jobs", "2"}, cannot, "", 1}},
      // --keep-going: an unreadable file is one more notice.
      {mixed, {{"--keep-going", "--jobs", "3"}, unmatched(a), gone + denied + gone, 2}},
  };
  for (const auto& [list, c] : cases) {
    write_file(dir / "list", list);
    for (Str from : {dir / "list", std::string("-")}) {
      RunCase named = c;
      if (named.err.starts_with("NUL\n")) {
        named.err.replace(0, 4, "tarsil: " + from + ": entries hold NUL bytes: use --null\n");
      }
      expect_run(named, {.as_nobody = true, .input = dir / "list"},
                 {"-r", rules, "--files-from", from});
    }
  }

  // Operands: each in turn, as the one target is handled, with the list's
  // notices; "-" is standard input (its first 10000 bytes, the rest drained).
  write_rule_set(dir / "r2", {{"strings.d/MIT/s", "Permission is hereby granted\n"}});
  const std::string mit = dir / "mit.c", gpl = dir / "gpl.c", big = dir / "big";
  write_file(mit, "Permission is hereby granted, free of charge\n");
  write_file(gpl, "// SPDX-License-Identifier: GPL-2.0-only\n");
  make_dirs(dir / "r2/licenses.d/GPL-2.0-only");
  write_file(big, std::string(20000, 'x') + " Permission is hereby granted\n");
  const std::string m = record("MIT", "100.00", mit, "strings.d");
  const std::string g = spdx_json("GPL-2.0-only", gpl);
  const RunCase operands[] = {
      {{mit, gpl, d}, m + g + unmatched(d + "/x.c")},
      {{"--jobs", "2", missing, mit, fifo, gpl}, m + g, gone + special, 2},
      {{"--fail-on", "GPL-*", gpl, mit}, g + m, "tarsil: 1 file with a disallowed license\n", 3},
      {{"--fail-on", "GPL-*", missing, gpl},
       g,
       gone + "tarsil: 1 file with a disallowed license\n",
       3},
      {{"-"}, record("MIT", "100.00", "-", "strings.d")},
      {{mit, "-"}, m + record("MIT", "100.00", "-", "strings.d")},
      {{"--format", "jsonl", "-"},
       R"({"path":"-","license":"MIT","score":100.00,"rule":null,"match":"string"})"
       "\n"},
      {{missing}, "", kInvalidTarget, 1},  // one operand: as ever
  };
  for (const RunCase& c : operands) expect_run(c, {.input = mit}, {"-r", dir / "r2"});
  expect_run({{"-r", dir / "r2", "-"}, unmatched("-")}, {.input = big});  // past 10000 bytes
}

}  // namespace tarsil::testing
