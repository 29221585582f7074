// Helpers shared by the tests: temporary trees, running the built binary with
// its standard output, standard error and exit status kept apart, and a real
// JSON parser (python3's json module) for checking records.
#ifndef TARSIL_TESTS_TEST_UTIL_H_
#define TARSIL_TESTS_TEST_UTIL_H_

#include <string>
#include <vector>

namespace tarsil::testing {

// A fresh directory under /tmp (mode 0755), removed with its contents when
// the object goes out of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() + "/" + relative
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

// Writes `content` to `path`, creating missing parent directories.
void write_file(const std::string& path, const std::string& content);
// Creates `path` and its missing parents.
void make_dirs(const std::string& path);

struct RunResult {
  std::string out;
  std::string err;
  int status = -1;  // exit status, or -1 when the process did not exit normally
};

struct RunOptions {
  std::string cwd;               // working directory; empty keeps the current one
  bool as_nobody = false;        // drop root: run as nobody:nogroup via setpriv
  std::vector<std::string> env;  // extra NAME=VALUE entries
};

// Options for a run as nobody:nogroup, so permission tests mean something
// even when the tests run as root.
RunOptions as_nobody();
// Options for a run in the working directory `cwd`.
RunOptions in_directory(const std::string& cwd);

// Runs the built tarsil binary with `args` (program name excluded).
RunResult run_tarsil(const std::vector<std::string>& args, const RunOptions& options = {});

// Runs `argv[0]` (a program found on PATH) with the arguments.
RunResult run_program(const std::vector<std::string>& argv, const RunOptions& options = {});

// Empty when every non-empty line of `text` parses as a JSON object; else
// the parser's complaint.
std::string json_lines_error(const std::string& text);

// Reads a whole file.
std::string read_file(const std::string& path);

// A small rule set under `root`: each entry is "licenses.d/ID/file" or
// "strings.d/ID/file" with its content. Both directories always exist.
void write_rule_set(const std::string& root,
                    const std::vector<std::pair<std::string, std::string>>& files);

}  // namespace tarsil::testing

#endif  // TARSIL_TESTS_TEST_UTIL_H_
