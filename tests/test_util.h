// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Helpers shared by the tests: temporary trees, runs of the built binary with
// standard output, standard error and exit status kept apart, record texts,
// and a real JSON parser (python3's json module) for checking records.
#ifndef TARSIL_TESTS_TEST_UTIL_H_
#define TARSIL_TESTS_TEST_UTIL_H_

#include <string>
#include <utility>
#include <vector>

namespace tarsil::testing {

// A fresh directory under /tmp (mode 0755), removed with its contents at scope end.
struct TempDir {
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }
  std::string path_;
  int owner_;  // the process that made it; a forked child leaves it alone
};

using Str = const std::string&;
// Both create missing parent directories.
void write_file(Str path, Str content);
void make_dirs(Str path);
// The whole content of `path`; empty when it cannot be read.
std::string read_file(Str path);
// A rule set under `root` of {"licenses.d/ID/file", "strings.d/ID/file" or
// "exceptions.txt", content}.
void write_rule_set(Str root, const std::vector<std::pair<std::string, std::string>>& files);
// Names in `dir` in the order the file system lists them.
std::vector<std::string> listing(Str dir);

struct RunResult {
  std::string out, err;
  int status = -1;  // exit status, or -1 when the process did not exit normally
};
struct RunOptions {
  std::string cwd = "";  // working directory; empty keeps the current one
  bool as_nobody = false;
  std::string input = "/dev/null";  // the file standard input reads
};
// A run as nobody:nogroup, so permission tests mean something though the tests run as root.
inline const RunOptions kNobody{.as_nobody = true};
// Runs the built tarsil binary with `args`; run_program runs argv[0] from PATH.
RunResult run_tarsil(const std::vector<std::string>& args, const RunOptions& options = {});
RunResult run_program(std::vector<std::string> argv, const RunOptions& options = {});
// A copy of `binary` that nobody can run, whatever the build tree's parents allow; made once.
std::string runnable_by_nobody(Str binary);
// Checks `got`'s standard output, standard error and status against `want`'s.
void expect_same(const RunResult& want, const RunResult& got, Str context);
// A row of a table of runs: the arguments, then what the run must write and return.
struct RunCase {
  std::vector<std::string> args;
  std::string out, err = "";
  int status = 0;
};
// Runs tarsil with `prefix` then c.args; checks its standard output, standard error and
// status; its JSON-form records are checked with json_lines_error when the tests end.
void expect_run(const RunCase& c, const RunOptions& options = {},
                const std::vector<std::string>& prefix = {});
// Empty when every line of `text` starting with {" parses as a JSON object; else the complaint.
std::string json_lines_error(Str text);

// The record forms (`copyright` is the raw field): general and SPDX-tag, JSON and pretty;
// the JSON record of a file that matches nothing; the -d log of both passes; the banner.
inline std::string record(Str license, Str score, Str path, Str rule, Str copyright = "\"\"") {
  return "{\"license\":\"" + license + "\",\"score\":\"" + score + "\",\"path\":\"" + path +
         "\", \" rule\":\"" + rule + "\",\"copyright\":" + copyright + "}\n";
}
inline std::string pretty_record(Str license, Str score, Str path, Str rule,
                                 Str copyright = "\"\"") {
  return "{\n\tlicense\t\t: " + license + "\n\tscore\t\t: " + score + "\n\tpath\t\t: " + path +
         "\n\trule\t\t: " + rule + "\n\tcopyright\t: " + copyright + "\n}\n";
}
inline std::string spdx_json(Str id, Str path, Str copyright = "\"\"") {
  return "{\"license\":\"" + id + "\",\"score\":\"100\",\"path\":\"" + path +
         "\", \"rule\":\"SPDX-License-Identifier\",\"copyright\":" + copyright + "}\n";
}
inline std::string spdx_pretty(Str id, Str path, Str copyright = "\"\"") {
  return "{\n\tlicense\t\t: " + id + "\n\tscore\t\t: 100.00\n\tpath\t\t: " + path +
         "\n\trule\t\t: SPDX-License-Identifier\n\tcopyright\n" + copyright + "\n}\n";
}
inline std::string unmatched(Str path) {
  return record("", "0.00", path, "");
}
// The complaint about a target that is neither a file nor a directory.
inline const std::string kInvalidTarget =
    "ERROR: You must specify a valid file or directory.\n       Please check the built in --help\n";
inline const std::string kPassesLog =
    "Tarsil analyzing license\nTarsil analyzing string\nAnalysis concluded\n";
inline std::string banner(Str rule_root, Str setting_hex = "1", Str threshold = "80.00",
                          Str minwords = "2", Str minbytes = "20") {
  return "Version \t : v." TARSIL_VERSION "\nSetting \t : 0x" + setting_hex +
         "\nThreshold \t : " + threshold + "\nStringdir \t : " + rule_root +
         "/strings.d\nlicensedir \t : " + rule_root + "/licenses.d\nminwords \t : " + minwords +
         "\nminbytes \t : " + minbytes + "\n====================\n";
}

}  // namespace tarsil::testing

#endif  // TARSIL_TESTS_TEST_UTIL_H_
