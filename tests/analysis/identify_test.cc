// End-to-end identification of single files by the built binary, with small
// rule sets written by each test.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

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

// Names in `dir` in the order the file system lists them, hidden ones left out.
std::vector<std::string> listing(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  while (const dirent* e = d ? readdir(d) : nullptr) {
    if (e->d_name[0] != '.') names.push_back(e->d_name);
  }
  if (d) closedir(d);
  return names;
}

std::string joined(const std::vector<std::string>& args) {
  std::string s;
  for (const std::string& a : args) s += a + ' ';
  return s;
}

// Lines of `out` that are JSON-form records.
std::string json_records(const std::string& out) {
  std::string records;
  std::size_t start = 0;
  for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
    if (out.compare(start, 2, "{\"") == 0) records += out.substr(start, end + 1 - start);
  }
  return records;
}

// Checks the whole output, no error and status 0; returns the JSON-form
// records of the output, to be checked with one parser run per test.
std::string expect_run(const std::vector<std::string>& args, const std::string& want,
                       const RunOptions& options = {}) {
  const RunResult r = run_tarsil(args, options);
  EXPECT_EQ(want, r.out) << joined(args);
  EXPECT_EQ("", r.err) << joined(args);
  EXPECT_EQ(0, r.status) << joined(args);
  return json_records(r.out);
}

// The four record templates: general and SPDX verdicts, JSON and pretty form.
std::string json_record(const std::string& license, const std::string& score,
                        const std::string& path, const std::string& rule,
                        const std::string& copyright = "\"\"") {
  return "{\"license\":\"" + license + "\",\"score\":\"" + score + "\",\"path\":\"" + path +
         "\", \" rule\":\"" + rule + "\",\"copyright\":" + copyright + "}\n";
}
std::string pretty_record(const std::string& license, const std::string& score,
                          const std::string& path, const std::string& rule,
                          const std::string& copyright = "\"\"") {
  return "{\n\tlicense\t\t: " + license + "\n\tscore\t\t: " + score + "\n\tpath\t\t: " + path +
         "\n\trule\t\t: " + rule + "\n\tcopyright\t: " + copyright + "\n}\n";
}
std::string spdx_json(const std::string& id, const std::string& path,
                      const std::string& copyright = "\"\"") {
  return "{\"license\":\"" + id + "\",\"score\":\"100\",\"path\":\"" + path +
         "\", \"rule\":\"SPDX-License-Identifier\",\"copyright\":" + copyright + "}\n";
}
std::string spdx_pretty(const std::string& id, const std::string& path,
                        const std::string& copyright = "\"\"") {
  return "{\n\tlicense\t\t: " + id + "\n\tscore\t\t: 100.00\n\tpath\t\t: " + path +
         "\n\trule\t\t: SPDX-License-Identifier\n\tcopyright\n" + copyright + "\n}\n";
}

std::string banner(const std::string& root, int setting) {
  return "Version \t : v.1.23\nSetting \t : 0x" + std::to_string(setting) +
         "\nThreshold \t : 80.00\nStringdir \t : " + root + "/strings.d\nlicensedir \t : " + root +
         "/licenses.d\nminwords \t : 2\nminbytes \t : 20\n====================\n";
}

const char kStatement[] = "Copyright (C) 2019 Example Project contributors";

// MIT's reference text has 20 words in chunks of 2 (x7), 3 and 3; the file
// "found.c" holds all chunks but the "missing" one (85 %), and MIT's string
// rule (its first chunk) confirms it. "strings.c" holds only the string rule.
class Identify : public ::testing::Test {
 protected:
  void SetUp() override {
    write_rule_set(rules_, {{"licenses.d/MIT/mit.txt", kMitText},
                            {"strings.d/MIT/mit.txt", toks(0, 2)},
                            {"licenses.d/.hidden/x.txt", toks(0, 14)}});
    write_file(dir_ / "found.c", toks(0, 14) + "present heretoo alright\n");
    write_file(dir_ / "strings.c", toks(0, 2));
    write_file(dir_ / "none.c", "int main() { return 0; }\n");
    write_file(dir_ / "spdx.c",
               "// SPDX-License-Identifier: MIT\n// " + std::string(kStatement) + "\n");
    write_file(dir_ / "general.c",
               "// " + std::string(kStatement) + "\n" + toks(0, 14) + "present heretoo alright\n");
  }
  const std::string kMitText =
      toks(0, 14) + "missing absentx lacking\n" + "present heretoo alright\n";
  TempDir dir_;
  const std::string rules_ = dir_ / "rules";
};

TEST_F(Identify, RecordTemplates) {
  const std::string spdx = dir_ / "spdx.c", general = dir_ / "general.c", none = dir_ / "none.c";
  const std::string object = "{\"0\":\"" + std::string(kStatement) + "\"}";
  const std::string pretty_object = "\t\t{\n\t\t\t0, " + std::string(kStatement) + "\n\t\t}";
  const struct {
    std::vector<std::string> options;
    std::string file, want;
  } cases[] = {
      {{}, spdx, spdx_json("MIT", spdx)},
      {{"-y"}, spdx, spdx_json("MIT", spdx, object)},
      {{"-p"}, spdx, spdx_pretty("MIT", spdx)},
      {{"-p", "-y"}, spdx, spdx_pretty("MIT", spdx, pretty_object)},
      {{}, general, json_record("MIT", "92.50", general, "mit.txt")},
      {{"-y"}, general, json_record("MIT", "92.50", general, "mit.txt", object)},
      {{"-p"}, general, pretty_record("MIT", "92.50", general, "mit.txt")},
      {{"-p", "-y"}, general, pretty_record("MIT", "92.50", general, "mit.txt", pretty_object)},
      {{}, none, json_record("", "0.00", none, "")},
      {{"-y"}, none, json_record("None", "0.00", none, "", "{}")},
      {{"-p"}, none, pretty_record("", "0.00", none, "")},
      {{"-p", "-y"}, none, pretty_record("None", "0.00", none, "", "\t\t{\n\t\t}")},
      {{}, dir_ / "strings.c", json_record("MIT", "100.00", dir_ / "strings.c", "strings.d")},
  };
  std::string records;
  for (const auto& c : cases) {
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-r", rules_, c.file});
    records += expect_run(args, c.want);
  }
  // Without the license directory, the tag settles nothing.
  std::filesystem::rename(rules_ + "/licenses.d/MIT", rules_ + "/licenses.d/.MIT");
  records += expect_run({"-r", rules_, spdx}, json_record("", "0.00", spdx, ""));
  EXPECT_EQ("", json_lines_error(records));
}

TEST_F(Identify, DebugLogOrder) {
  const std::string found = dir_ / "found.c", strings = dir_ / "strings.c";
  auto upper = [](std::string s) {  // the normalized form of toks() lines
    for (char& c : s) c = c == ' ' || c == '\n' ? '|' : static_cast<char>(std::toupper(c));
    return s;
  };
  const std::string compare_mit =
      "Comparing against " + rules_ + "/licenses.d/MIT/mit.txt: " + upper(kMitText) + "\n";
  const std::string compare_strings =
      "Comparing against " + rules_ + "/strings.d/MIT/mit.txt: TOKAAAAAAA|TOKBBBBBBB|\n";
  const std::string found_record = json_record("MIT", "92.50", found, "mit.txt");
  const std::string strings_record = json_record("MIT", "100.00", strings, "strings.d");
  const struct {
    std::string option, file, want;
  } cases[] = {
      {"-d", found,
       banner(rules_, 1) + "Tarsil analyzing license\nscore 85.00 (92.50) \t: MIT\n" +
           "Analysis concluded\n" + found_record},
      {"-dd", found,
       banner(rules_, 3) + "Target: " + upper(toks(0, 14) + "present heretoo alright\n") +
           "\nTarsil analyzing license\n" + compare_mit + compare_strings +
           "Matched licensedir\nscore 85.00 (92.50) \t: MIT\nAnalysis concluded\n" + found_record},
      {"-d", strings,
       banner(rules_, 1) +
           "Tarsil analyzing license\nTarsil analyzing string\nAnalysis concluded\n" +
           strings_record},
      {"-dd", strings,
       banner(rules_, 3) + "Target: TOKAAAAAAA|TOKBBBBBBB|\nTarsil analyzing license\n" +
           compare_mit + "Tarsil analyzing string\n" + compare_strings +
           "Matched licensedir\nAnalysis concluded\n" + strings_record},
  };
  std::string records;
  for (const auto& c : cases) records += expect_run({c.option, "-r", rules_, c.file}, c.want);
  EXPECT_EQ("", json_lines_error(records));
}

TEST_F(Identify, UnreadableLicenseFolderSkipsTheRecord) {
  write_file(dir_ / "tree/a.c", "a\n");
  write_file(dir_ / "tree/b.c", "b\n");
  chmod((rules_ + "/licenses.d").c_str(), 0);
  const std::string line = "Can't open license folder: " + rules_ + "/licenses.d\n";
  EXPECT_EQ("", expect_run({"-r", rules_, dir_ / "found.c"}, line, as_nobody()));
  EXPECT_EQ("", expect_run({"-y", "-r", rules_, dir_ / "tree"}, line + line, as_nobody()));
}

TEST_F(Identify, UnwritableOutput) {
  const RunResult r = run_program({"sh", "-c",
                                   std::string("exec ") + TARSIL_BINARY + " -r " + rules_ + " " +
                                       (dir_ / "found.c") + " > /dev/full"});
  EXPECT_EQ("", r.out);
  EXPECT_EQ("ERROR: Cannot write output: No space left on device\n", r.err);
  EXPECT_EQ(1, r.status);
}

// Each case: a rule set, a file, and the record and score log lines expected.
TEST(Selection, BestCandidate) {
  TempDir dir;
  std::string records;
  const std::string file = dir / "file.c", rules = dir / "rules";
  write_file(file, toks(0, 4));
  const std::string twice = toks(0, 4) + toks(0, 4);  // 8 words: 120 when proportional

  // A confirmed proportional 120 is stored as 110, and a later 115 replaces
  // it; the names are picked so that the listing gives BSD-2-Clause first.
  std::string later;
  for (const char* name : {"Apache-2.0", "Apache-1.1", "Apache-1.0", "BSD-4-Clause", "BSD-1-Clause",
                           "Apache-x", "BSD-3-Clause-Clear"}) {
    std::filesystem::remove_all(rules);
    write_rule_set(rules, {{"licenses.d/BSD-2-Clause/twice.txt", twice},
                           {"strings.d/BSD-2-Clause/s.txt", toks(0, 2)},
                           {std::string("licenses.d/") + name + "/seven.txt",
                            toks(0, 4) + toks(0, 2) + tok(0) + "\n"}});
    if (listing(rules + "/licenses.d")[0] == "BSD-2-Clause") {
      later = name;
      break;
    }
  }
  ASSERT_NE("", later);
  records += expect_run(
      {"-d", "-r", rules, file},
      banner(rules, 1) + "Tarsil analyzing license\n" +
          "score 120.00 (110.00) (x)\t: BSD-2-Clause\n" + "score 115.00 (115.00) (x)\t: " + later +
          "\n" + "Analysis concluded\n" + json_record(later, "115.00", file, "seven.txt"));

  // Equal scores: the longer reference text wins whatever the order.
  std::filesystem::remove_all(rules);
  write_rule_set(
      rules, {{"licenses.d/ISC/long.txt", toks(0, 4)}, {"licenses.d/MIT/short.txt", toks(0, 2)}});
  records += expect_run({"-r", rules, file}, json_record("ISC", "100.00", file, "long.txt"));
  // With the threshold at 0, an unrelated file goes to the longest text.
  write_file(dir / "other.c", "int main() { return 0; }\n");
  records += expect_run({"-s", "0", "-r", rules, dir / "other.c"},
                        json_record("ISC", "0.00", dir / "other.c", "long.txt"));

  // Equal scores and lengths: the first listed wins.
  std::filesystem::remove_all(rules);
  write_rule_set(rules,
                 {{"licenses.d/ISC/b.txt", toks(2, 4)}, {"licenses.d/MIT/a.txt", toks(0, 2)}});
  const std::string first = listing(rules + "/licenses.d")[0];
  records += expect_run({"-r", rules, file},
                        json_record(first, "100.00", file, first == "ISC" ? "b.txt" : "a.txt"));

  // Only names starting with "BSD" or "Apache" (in that case) score proportionally.
  std::filesystem::remove_all(rules);
  write_rule_set(
      rules, {{"licenses.d/BSD-3-Clause/b.txt", twice}, {"licenses.d/bsd-3-clause/b.txt", twice}});
  std::string log;
  for (const std::string& name : listing(rules + "/licenses.d")) {
    log += name == "BSD-3-Clause" ? "score 120.00 (120.00) (x)\t: BSD-3-Clause\n"
                                  : "score 100.00 (" + std::string(log.empty() ? "100" : "120") +
                                        ".00) \t: bsd-3-clause\n";
  }
  records +=
      expect_run({"-d", "-r", rules, file},
                 banner(rules, 1) + "Tarsil analyzing license\n" + log + "Analysis concluded\n" +
                     json_record("BSD-3-Clause", "120.00", file, "b.txt"));

  // License, rule and path values are escaped in JSON form only.
  std::filesystem::remove_all(rules);
  write_rule_set(rules, {{"licenses.d/Q\"L\\/r\"1\\.txt", toks(0, 4)}});
  const std::string tagged = dir / "t\"a\\g.c";
  write_file(tagged, "SPDX-License-Identifier: Q\"L\\\n");
  records +=
      expect_run({"-r", rules, file}, json_record("Q\\\"L\\\\", "100.00", file, "r\\\"1\\\\.txt"));
  records +=
      expect_run({"-p", "-r", rules, file}, pretty_record("Q\"L\\", "100.00", file, "r\"1\\.txt"));
  records +=
      expect_run({"-r", rules, tagged}, spdx_json("Q\\\"L\\\\", dir.path() + "/t\\\"a\\\\g.c"));
  records += expect_run({"-p", "-r", rules, tagged}, spdx_pretty("Q\"L\\", tagged));
  EXPECT_EQ("", json_lines_error(records));
}

}  // namespace
}  // namespace tarsil::testing
