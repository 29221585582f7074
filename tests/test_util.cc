// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "test_util.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tarsil::testing {
namespace fs = std::filesystem;

TempDir::TempDir() : owner_(getpid()) {
  char pattern[] = "/tmp/tarsil-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  chmod(path_.c_str(), 0755);
}

TempDir::~TempDir() {
  if (getpid() != owner_) return;  // a forked child (death test) leaves it alone
  std::error_code ignored;         // the tests run as root: no permission stops the removal
  fs::remove_all(path_, ignored);
}

void make_dirs(Str path) {
  fs::create_directories(path);
}

void write_file(Str path, Str content) {
  make_dirs(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!(out << content)) throw std::runtime_error("cannot write " + path);
}

std::string read_file(Str path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_rule_set(Str root, const std::vector<std::pair<std::string, std::string>>& files) {
  make_dirs(root + "/licenses.d");
  make_dirs(root + "/strings.d");
  for (const auto& [name, content] : files) write_file(root + "/" + name, content);
}

std::vector<std::string> listing(Str dir) {
  std::vector<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(dir))
    names.push_back(e.path().filename());
  return names;
}

RunResult run_program(std::vector<std::string> argv, const RunOptions& options) {
  const auto quoted = [](Str word) {
    std::string out = "'";
    for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
  };
  TempDir io;
  // Option parsing must not depend on the caller's environment.
  std::string command = "exec env -u POSIXLY_CORRECT";
  if (options.as_nobody) command += " setpriv --reuid=nobody --regid=nogroup --clear-groups";
  for (Str a : argv) command.append(" ").append(quoted(a));
  command += " <" + quoted(options.input) + " >" + io / "out" + " 2>" + io / "err";
  if (!options.cwd.empty()) command.insert(0, "cd " + quoted(options.cwd) + " && ");
  const int wstatus = std::system(command.c_str());
  return {read_file(io / "out"), read_file(io / "err"),
          WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1};
}

std::string runnable_by_nobody(Str binary) {
  static const TempDir bin;
  const std::string copy = bin / fs::path(binary).filename();
  if (!fs::exists(copy)) fs::copy_file(binary, copy);
  return copy;
}

RunResult run_tarsil(const std::vector<std::string>& args, const RunOptions& options) {
  std::vector<std::string> argv{options.as_nobody ? runnable_by_nobody(TARSIL_BINARY)
                                                  : TARSIL_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  return run_program(argv, options);
}

void expect_same(const RunResult& want, const RunResult& got, Str context) {
  EXPECT_EQ(want.out, got.out) << context;
  EXPECT_EQ(want.err, got.err) << context;
  EXPECT_EQ(want.status, got.status) << context;
}

namespace {

// Everything expect_run saw, its JSON-form records parsed in one python3 run at the end.
std::string seen_output;
class RecordCheck : public ::testing::Environment {
  void TearDown() override {
    if (seen_output.find("{\"") != std::string::npos) {
      EXPECT_EQ("", json_lines_error(seen_output));
    }
  }
};
::testing::Environment* const record_check = ::testing::AddGlobalTestEnvironment(new RecordCheck);

}  // namespace

void expect_run(const RunCase& c, const RunOptions& options,
                const std::vector<std::string>& prefix) {
  std::vector<std::string> args = prefix;
  args.insert(args.end(), c.args.begin(), c.args.end());
  std::string joined;
  for (Str a : args) joined += " '" + a + "'";
  const RunResult r = run_tarsil(args, options);
  expect_same({c.out, c.err, c.status}, r, joined);
  seen_output += r.out;
}

std::string json_lines_error(Str text) {
  TempDir dir;
  write_file(dir / "out", text);
  const RunResult r =
      run_program({"python3", "-c",
                   "import json, sys\nfor line in open(sys.argv[1], 'rb').read().split(b'\\n'):\n"
                   "    try: assert not line.startswith(b'{\"') or type(json.loads(line)) is dict\n"
                   "    except Exception: sys.exit('not a JSON object: %r' % line)\n",
                   dir / "out"});
  return r.status == 0 ? "" : r.out + r.err;
}

}  // namespace tarsil::testing
