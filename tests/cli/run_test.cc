// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Path lists (--files-from): each listed path is handled as the target would
// be, in list order, with notices and the exit statuses that follow.
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
      {a + '\0' + a + "\n", {{}, "", "tarsil: " + a + ": invalid argument\n", 2}},
      {"", {{}, ""}},
      // A run-ending error comes first: status 1, and nothing after it.
      {mixed, {{}, unmatched(a) + cannot, gone, 1}},
      {locked + "\n" + a + "\n", {{"--jobs", "2"}, cannot, "", 1}},
      // --keep-going: an unreadable file is one more notice.
      {mixed, {{"--keep-going", "--jobs", "3"}, unmatched(a), gone + denied + gone, 2}},
  };
  for (const auto& [list, c] : cases) {
    write_file(dir / "list", list);
    for (Str from : {dir / "list", std::string("-")})
      expect_run(c, {.as_nobody = true, .input = dir / "list"},
                 {"-r", rules, "--files-from", from});
  }
}

}  // namespace tarsil::testing
