// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The progress line, seen through a pseudo-terminal: shown on a terminal's
// standard error during a scan longer than a second, erased before any
// message and at the end, never shown otherwise.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "test_util.h"

namespace tarsil::testing {
namespace {

struct PtyRun {
  std::string terminal, out, err;  // what the terminal got; the files standard output and error got
  int status = -1;
};

// Runs tarsil with `args` on a 60-column pseudo-terminal (no output
// processing: bytes arrive as written), standard output and error on it or
// in files, standard input fed from `feed`: each line after its delay.
PtyRun run_on_terminal(const std::vector<std::string>& args, bool out_on_terminal,
                       bool err_on_terminal, const std::vector<std::pair<int, std::string>>& feed) {
  TempDir io;
  int input[2];
  if (pipe(input) != 0) return {};
  termios raw{};
  raw.c_cflag = CS8 | CREAD;
  winsize size{.ws_row = 24, .ws_col = 60, .ws_xpixel = 0, .ws_ypixel = 0};
  int master;
  const pid_t child = forkpty(&master, nullptr, &raw, &size);
  if (child == 0) {
    dup2(input[0], 0);
    close(input[0]);
    close(input[1]);
    if (!out_on_terminal) dup2(open((io / "out").c_str(), O_WRONLY | O_CREAT, 0644), 1);
    if (!err_on_terminal) dup2(open((io / "err").c_str(), O_WRONLY | O_CREAT, 0644), 2);
    std::vector<char*> argv{const_cast<char*>(TARSIL_BINARY)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    unsetenv("POSIXLY_CORRECT");
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(input[0]);
  PtyRun run;
  std::thread reader([&] {
    char buffer[4096];
    ssize_t n;
    while ((n = read(master, buffer, sizeof buffer)) > 0) run.terminal.append(buffer, n);
  });
  for (const auto& [delay, line] : feed) {
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    if (write(input[1], line.data(), line.size()) < 0) break;
  }
  close(input[1]);
  int wstatus;
  waitpid(child, &wstatus, 0);
  reader.join();  // the terminal's last writer is gone: read ends
  close(master);
  run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  run.out = read_file(io / "out");
  run.err = read_file(io / "err");
  return run;
}

TEST(Progress, OnATerminalOnly) {
  TempDir dir;
  const std::string rules = dir / "rules", deep = dir / std::string(40, 'd'),
                    missing = dir / "missing";
  write_rule_set(rules, {});
  for (const char* name : {"a.c", "b.c", "c.c"}) write_file(deep + "/" + name, "text\n");
  // The second file comes after a second: the line is due then; the third
  // comes too soon after it to be drawn.
  const std::vector<std::pair<int, std::string>> feed = {
      {0, deep + "/a.c\n"}, {1100, deep + "/b.c\n" + missing + "\n" + deep + "/c.c\n"}};
  std::string records;
  for (const char* name : {"a.c", "b.c", "c.c"}) records += unmatched(deep + "/" + name);
  const std::string notice = "tarsil: " + missing + ": no such file or directory\n";
  const std::vector<std::string> args = {"-r", rules, "--jobs", "1", "--files-from", "-"};

  // 60 columns: the directory is shortened from the left to fit 59.
  const std::string head = "tarsil: 2 files, 2 files/s, ";
  const std::string tail = deep.substr(deep.size() - (59 - head.size() - 3));
  PtyRun r = run_on_terminal(args, false, true, feed);
  EXPECT_EQ(records, r.out);
  // The rate, 1 or 2 files/s, depends on the machine's pace: "\r" + head
  // holds its digit just before " files/s".
  std::string terminal = r.terminal;
  const std::size_t rate = head.find(" files/s");
  if (terminal.size() > rate && terminal[rate] == '1') terminal[rate] = '2';
  EXPECT_EQ("\r" + head + "..." + tail + "\r" + std::string(59, ' ') + "\r" + notice, terminal)
      << r.terminal;
  EXPECT_EQ(2, r.status);

  // Records on the same terminal, or standard error not one: no line.
  r = run_on_terminal(args, true, true, feed);
  const std::size_t third = records.rfind("{");  // standard output is flushed before a notice
  EXPECT_EQ(records.substr(0, third) + notice + records.substr(third), r.terminal);
  r = run_on_terminal(args, false, false, feed);
  EXPECT_EQ("", r.terminal);
  EXPECT_EQ(notice, r.err);
}

}  // namespace
}  // namespace tarsil::testing
