#include "test_util.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace tarsil::testing {
namespace fs = std::filesystem;

TempDir::TempDir() {
  char pattern[] = "/tmp/tarsil-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  chmod(path_.c_str(), 0755);
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Restore permissions a test may have removed, so everything can go.
  for (auto it = fs::recursive_directory_iterator(
           path_, fs::directory_options::skip_permission_denied, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      chmod(it->path().c_str(), 0755);
    }
  }
  chmod(path_.c_str(), 0755);
  fs::remove_all(path_, ignored);
}

void make_dirs(const std::string& path) {
  fs::create_directories(path);
}

void write_file(const std::string& path, const std::string& content) {
  const fs::path p(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void write_rule_set(const std::string& root,
                    const std::vector<std::pair<std::string, std::string>>& files) {
  make_dirs(root + "/licenses.d");
  make_dirs(root + "/strings.d");
  for (const auto& [name, content] : files) write_file(root + "/" + name, content);
}

namespace {

// A copy of the binary that an unprivileged user can execute, whatever the
// permissions of the build tree's parents.
std::string binary_for_nobody() {
  static const std::string copy = [] {
    const std::string dir = "/tmp/tarsil-test-bin-" + std::to_string(getpid());
    fs::create_directories(dir);
    chmod(dir.c_str(), 0755);
    const std::string path = dir + "/tarsil";
    fs::copy_file(TARSIL_BINARY, path, fs::copy_options::overwrite_existing);
    chmod(path.c_str(), 0755);
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all("/tmp/tarsil-test-bin-" + std::to_string(getpid()), ignored);
    });
    return path;
  }();
  return copy;
}

RunResult spawn(std::vector<std::string> argv, const RunOptions& options) {
  if (options.as_nobody) {
    argv.insert(argv.begin(), {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
  }
  TempDir io;
  const std::string out_path = io / "out";
  const std::string err_path = io / "err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  if (!options.cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, options.cwd.c_str());

  std::vector<char*> args;
  for (std::string& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  std::vector<std::string> env_strings;
  for (char** e = environ; *e != nullptr; ++e) {
    // Keep the child's option parsing independent of the caller's environment.
    if (std::string(*e).rfind("POSIXLY_CORRECT=", 0) == 0) continue;
    env_strings.emplace_back(*e);
  }
  for (const std::string& e : options.env) env_strings.push_back(e);
  std::vector<char*> env;
  for (std::string& e : env_strings) env.push_back(e.data());
  env.push_back(nullptr);

  pid_t pid;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + argv[0]);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  RunResult result;
  result.out = read_file(out_path);
  result.err = read_file(err_path);
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  return result;
}

}  // namespace

RunOptions as_nobody() {
  RunOptions options;
  options.as_nobody = true;
  return options;
}

RunOptions in_directory(const std::string& cwd) {
  RunOptions options;
  options.cwd = cwd;
  return options;
}

RunResult run_tarsil(const std::vector<std::string>& args, const RunOptions& options) {
  std::vector<std::string> argv{options.as_nobody ? binary_for_nobody() : TARSIL_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  return spawn(argv, options);
}

RunResult run_program(const std::vector<std::string>& argv, const RunOptions& options) {
  return spawn(argv, options);
}

std::string json_lines_error(const std::string& text) {
  TempDir dir;
  write_file(dir / "records", text);
  const RunResult r =
      spawn({"python3", "-c",
             "import json, sys\n"
             "for n, line in enumerate(open(sys.argv[1], 'rb').read().split(b'\\n'), 1):\n"
             "    if not line: continue\n"
             "    try:\n"
             "        value = json.loads(line)\n"
             "        assert isinstance(value, dict), 'not an object'\n"
             "    except Exception as e:\n"
             "        print('line %d: %s: %r' % (n, e, line)); sys.exit(1)\n",
             dir / "records"},
            {});
  if (r.status == 0) return "";
  return r.out + r.err;
}

}  // namespace tarsil::testing
