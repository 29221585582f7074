// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Identification of single files by the built binary, with small rule sets.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "match/normalize.h"
#include "test_util.h"

namespace tarsil::testing {
namespace {

// A 10-letter word, distinct for each i < 26, and a line of words [from, to).
std::string tok(int i) {
  return "tok" + std::string(7, static_cast<char>('a' + i));
}
std::string toks(int from, int to) {
  std::string line;
  for (int i = from; i < to; ++i) line += tok(i) + (i + 1 < to ? " " : "\n");
  return line;
}

// MIT's reference text has 20 words in chunks of 2 (x7), 3 and 3; "found.c" holds all chunks but
// the "missing" one (85 %), and MIT's string rule (its first chunk) confirms it (92.50).
TEST(Identify, SingleFiles) {
  TempDir dir;
  const std::string rules = dir / "rules", found = dir / "found.c", spdx = dir / "spdx.c";
  const std::string general = dir / "general.c", none = dir / "none.c", expression = dir / "e.c";
  const std::string statement = "Copyright (C) 2019 Example Project contributors";
  const std::string text = toks(0, 14) + "present heretoo alright\n";
  const std::string reference = toks(0, 14) + "missing absentx lacking\npresent heretoo alright\n";
  write_rule_set(rules, {{"licenses.d/MIT/mit.txt", reference},
                         {"strings.d/MIT/mit.txt", toks(0, 2)},
                         {"licenses.d/.hidden/x.txt", toks(0, 14)},
                         {"licenses.d/Apache-2.0/.keep", ""},
                         {"exceptions.txt", "LLVM-exception\n"}});
  write_file(found, text);
  write_file(none, "int main() { return 0; }\n");
  write_file(spdx, "// SPDX-License-Identifier: MIT\n// " + statement + "\n");
  write_file(general, "// " + statement + "\n" + text);
  write_file(expression, "/* SPDX-License-Identifier: mit OR (apache-2.0 with llvm-exception) */");
  const std::string object = "{\"0\":\"" + statement + "\"}";
  const std::string pretty_object = "\t\t{\n\t\t\t0, " + statement + "\n\t\t}";
  const std::string tail = "score 85.00 (92.50) \t: MIT\nAnalysis concluded\n" +
                           record("MIT", "92.50", found, "mit.txt");
  const RunCase cases[] = {
      {{"-y", spdx}, spdx_json("MIT", spdx, object)},
      {{"-p", "-y", spdx}, spdx_pretty("MIT", spdx, pretty_object)},
      {{"--spdx-expressions", expression},
       spdx_json("MIT OR (Apache-2.0 WITH LLVM-exception)", expression)},
      {{"-d", "--spdx-expressions", spdx}, banner(rules) + spdx_json("MIT", spdx)},
      {{"-y", general}, record("MIT", "92.50", general, "mit.txt", object)},
      {{"-p", "-y", general}, pretty_record("MIT", "92.50", general, "mit.txt", pretty_object)},
      {{"-y", none}, record("None", "0.00", none, "", "{}")},
      {{"-d", found}, banner(rules) + "Tarsil analyzing license\n" + tail},
      {{"-dd", found},
       banner(rules, "3") + "Target: " + normalize_text(text) + "\nTarsil analyzing license\n" +
           "Comparing against " + rules + "/licenses.d/MIT/mit.txt: " + normalize_text(reference) +
           "\nComparing against " + rules +
           "/strings.d/MIT/mit.txt: TOKAAAAAAA|TOKBBBBBBB|\nMatched licensedir\n" + tail},
  };
  for (const RunCase& c : cases) expect_run(c, {}, {"-r", rules});
  // An unreadable license directory: no record, status 0.
  chmod((rules + "/licenses.d").c_str(), 0);
  const std::string line = "Can't open license folder: " + rules + "/licenses.d\n";
  expect_run({{"-r", rules, found}, line}, kNobody);
  for (const char* name : {"tree/a.c", "tree/b.c"}) write_file(dir / name, "a\n");
  expect_run({{"-y", "-r", rules, dir / "tree"}, line + line}, kNobody);
  // Without the license directory, the tag settles nothing.
  chmod((rules + "/licenses.d").c_str(), 0755);
  std::filesystem::rename(rules + "/licenses.d/MIT", rules + "/licenses.d/.MIT");
  expect_run({{"-r", rules, spdx}, unmatched(spdx)});
}

TEST(Selection, BestCandidate) {
  TempDir dir;
  const std::string file = dir / "file.c", rules = dir / "rules", other = dir / "other.c";
  const auto rule_set = [&](const std::vector<std::pair<std::string, std::string>>& files) {
    std::filesystem::remove_all(rules);
    write_rule_set(rules, files);
    return listing(rules + "/licenses.d");
  };
  const auto run = [&](std::vector<std::string> args, Str out) {
    expect_run({args, out}, {}, {"-r", rules});
  };
  write_file(file, toks(0, 4));
  write_file(other, "int main() { return 0; }\n");
  const std::string twice = toks(0, 4) + toks(0, 4);  // 8 words: 120 when proportional
  const std::string log = banner(rules) + "Tarsil analyzing license\n";

  // A confirmed proportional 120 is stored as 110, and a later 115 replaces
  // it; the name is picked so that the listing gives BSD-2-Clause first.
  std::string later;
  for (const char* name : {"Apache-2.0", "Apache-1.1", "Apache-1.0", "BSD-4-Clause", "BSD-1-Clause",
                           "Apache-x", "BSD-3-Clause-Clear"}) {
    if (rule_set({{"licenses.d/BSD-2-Clause/twice.txt", twice},
                  {"strings.d/BSD-2-Clause/s.txt", toks(0, 2)},
                  {std::string("licenses.d/") + name + "/seven.txt",
                   toks(0, 4) + toks(0, 2) + tok(0) + "\n"}})[0] == "BSD-2-Clause") {
      later = name;
      break;
    }
  }
  ASSERT_NE("", later);
  run({"-d", file},
      log + "score 120.00 (110.00) (x)\t: BSD-2-Clause\nscore 115.00 (115.00) (x)\t: " + later +
          "\nAnalysis concluded\n" + record(later, "115.00", file, "seven.txt"));

  // Equal scores: the longer reference text wins whatever the order; with
  // the threshold at 0, an unrelated file goes to the longest text.
  rule_set({{"licenses.d/ISC/long.txt", toks(0, 4)}, {"licenses.d/MIT/short.txt", toks(0, 2)}});
  run({file}, record("ISC", "100.00", file, "long.txt"));
  run({"-s", "0", other}, record("ISC", "0.00", other, "long.txt"));
  // Equal scores and lengths: the first listed wins.
  const std::string first =
      rule_set({{"licenses.d/ISC/b.txt", toks(2, 4)}, {"licenses.d/MIT/a.txt", toks(0, 2)}})[0];
  run({file}, record(first, "100.00", file, first == "ISC" ? "b.txt" : "a.txt"));

  // Only names starting with "BSD" or "Apache" (in that case) score proportionally.
  std::string scores;
  for (Str name : rule_set(
           {{"licenses.d/BSD-3-Clause/b.txt", twice}, {"licenses.d/bsd-3-clause/b.txt", twice}})) {
    scores += name == "BSD-3-Clause"
                  ? "score 120.00 (120.00) (x)\t: BSD-3-Clause\n"
                  : "score 100.00 (" + std::string(scores.empty() ? "100" : "120") +
                        ".00) \t: bsd-3-clause\n";
  }
  run({"-d", file},
      log + scores + "Analysis concluded\n" + record("BSD-3-Clause", "120.00", file, "b.txt"));

  // License, rule and path values are escaped in JSON form only.
  rule_set({{"licenses.d/Q\"L\\/r\"1\\.txt", toks(0, 4)}});
  const std::string odd = dir / "o\"d\\d.c", tagged = dir / "t\"a\\g.c";
  write_file(odd, toks(0, 4));
  write_file(tagged, "SPDX-License-Identifier: Q\"L\\\n");
  run({odd}, record("Q\\\"L\\\\", "100.00", dir / "o\\\"d\\\\d.c", "r\\\"1\\\\.txt"));
  run({"-p", odd}, pretty_record("Q\"L\\", "100.00", odd, "r\"1\\.txt"));
  run({tagged}, spdx_json("Q\\\"L\\\\", dir / "t\\\"a\\\\g.c"));
  run({"-p", tagged}, spdx_pretty("Q\"L\\", tagged));
}

}  // namespace
}  // namespace tarsil::testing
