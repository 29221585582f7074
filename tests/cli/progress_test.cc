// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The progress line, seen through a pseudo-terminal: shown on a terminal's standard
// error during a scan over a second, erased before any message and at the end.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "test_util.h"

namespace tarsil::testing {
namespace {

// Runs `command` with sh on a raw 60-column pseudo-terminal; returns what the
// terminal got as `out`, and the command's exit status.
RunResult run_on_terminal(Str command) {
  termios raw{};
  raw.c_cflag = CS8 | CREAD;
  winsize size{.ws_row = 24, .ws_col = 60, .ws_xpixel = 0, .ws_ypixel = 0};
  int master;
  const pid_t child = forkpty(&master, nullptr, &raw, &size);
  if (child == 0) {
    unsetenv("POSIXLY_CORRECT");
    execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
    _exit(127);
  }
  std::string terminal;
  char buffer[4096];  // read ends when the terminal's last writer is gone
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) terminal.append(buffer, n);
  int wstatus;
  waitpid(child, &wstatus, 0);
  close(master);
  return {terminal, "", WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1};
}

TEST(Progress, OnATerminalOnly) {
  TempDir dir;
  const std::string rules = dir / "rules", deep = dir / std::string(40, 'd'), missing = dir / "m";
  write_rule_set(rules, {});
  for (const char* name : {"a.c", "b.c", "c.c"}) write_file(deep + "/" + name, "text\n");
  // The second file comes after a second: the line is due then; the third
  // comes too soon after it to be drawn (the shell's printf writes at once).
  const std::string run = "{ echo " + deep + "/a.c; sleep 1.1; printf '%s\\n' " + deep + "/b.c " +
                          missing + " " + deep + "/c.c; } | " TARSIL_BINARY " -r " + rules +
                          " --jobs 1 --files-from -";
  std::string records;
  for (const char* name : {"a.c", "b.c", "c.c"}) records += unmatched(deep + "/" + name);
  const std::string notice = "tarsil: " + missing + ": no such file or directory\n";

  // 60 columns: the directory is shortened from the left to fit 59.
  const std::string head = "tarsil: 2 files, 2 files/s, ";
  const std::string tail = deep.substr(deep.size() - (59 - head.size() - 3));
  RunResult r = run_on_terminal(run + " >" + dir / "out");
  EXPECT_EQ(records, read_file(dir / "out"));
  // The rate, 1 or 2 files/s, depends on the machine's pace: "\r" + head
  // holds its digit just before " files/s".
  const std::size_t rate = head.find(" files/s");
  if (r.out.size() > rate && r.out[rate] == '1') r.out[rate] = '2';
  const std::string line = "\r" + head + "..." + tail + "\r" + std::string(59, ' ') + "\r";
  expect_same({line + notice, "", 2}, r, "progress");

  // Records on the same terminal, or standard error not one: no line.
  const std::size_t third = records.rfind("{");  // standard output is flushed before a notice
  EXPECT_EQ(records.substr(0, third) + notice + records.substr(third), run_on_terminal(run).out);
  EXPECT_EQ("", run_on_terminal(run + " >" + dir / "out 2>" + dir / "err").out);
  EXPECT_EQ(notice, read_file(dir / "err"));
}

}  // namespace
}  // namespace tarsil::testing
