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
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }
  std::string path_;
  int owner_;  // the process that made it; a forked child leaves it alone
};

// Both create missing parent directories.
void write_file(const std::string& path, const std::string& content);
// The whole content of `path`; empty when it cannot be read.
std::string read_file(const std::string& path);
void make_dirs(const std::string& path);
// A rule set under `root` of {"licenses.d/ID/file", "strings.d/ID/file" or
// "exceptions.txt", content}.
void write_rule_set(const std::string& root,
                    const std::vector<std::pair<std::string, std::string>>& files);
// Names in `dir` in the order the file system lists them.
std::vector<std::string> listing(const std::string& dir);

struct RunResult {
  std::string out, err;
  int status = -1;  // exit status, or -1 when the process did not exit normally
};
struct RunOptions {
  std::string cwd;  // working directory; empty keeps the current one
  bool as_nobody = false;
  std::string input = "/dev/null";  // the file standard input reads
};
// A run as nobody:nogroup, so permission tests mean something though the tests run as root.
inline RunOptions as_nobody() {
  return {.cwd = "", .as_nobody = true};
}
// Runs the built tarsil binary with `args`; run_program runs argv[0] from PATH.
RunResult run_tarsil(const std::vector<std::string>& args, const RunOptions& options = {});
RunResult run_program(std::vector<std::string> argv, const RunOptions& options = {});
// A copy of `binary` that nobody can run, whatever the build tree's parents allow; made once.
std::string runnable_by_nobody(const std::string& binary);
// Checks `got`'s standard output, standard error and status against `want`'s.
void expect_same(const RunResult& want, const RunResult& got, const std::string& context);
// Runs tarsil; checks its standard output, standard error and status; its JSON-form
// records are checked with json_lines_error when the tests end.
void expect_run(const std::vector<std::string>& args, const std::string& out,
                const std::string& err = "", int status = 0, const RunOptions& options = {});
// A row of a table of runs: the arguments, then what the run must write and return.
struct RunCase {
  std::vector<std::string> args;
  std::string out, err = "";
  int status = 0;
};
inline void expect_run(const RunCase& c, const RunOptions& options = {}) {
  expect_run(c.args, c.out, c.err, c.status, options);
}
// Empty when every line of `text` starting with {" parses as a JSON object; else the complaint.
std::string json_lines_error(const std::string& text);

// The record forms (`copyright` is the raw field): general JSON and pretty, SPDX-tag JSON
// and pretty; the JSON record of a file that matches nothing; and the -d banner.
std::string record(const std::string& license, const std::string& score, const std::string& path,
                   const std::string& rule, const std::string& copyright = "\"\"");
std::string pretty_record(const std::string& license, const std::string& score,
                          const std::string& path, const std::string& rule,
                          const std::string& copyright = "\"\"");
std::string spdx_json(const std::string& id, const std::string& path,
                      const std::string& copyright = "\"\"");
std::string spdx_pretty(const std::string& id, const std::string& path,
                        const std::string& copyright = "\"\"");
std::string unmatched(const std::string& path);
// The complaint about a target that is neither a file nor a directory.
extern const std::string kInvalidTarget;
std::string banner(const std::string& rule_root, const std::string& setting_hex = "1",
                   const std::string& threshold = "80.00", const std::string& minwords = "2",
                   const std::string& minbytes = "20");

}  // namespace tarsil::testing

#endif  // TARSIL_TESTS_TEST_UTIL_H_
