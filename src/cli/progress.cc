// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "cli/progress.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace tarsil {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kFirstDraw = std::chrono::seconds(1);
constexpr auto kRedraw = std::chrono::milliseconds(200);

// The line's state: one per process, as the terminal is.
struct Progress {
  bool enabled = false;
  Clock::time_point start, last_draw;
  unsigned long long files = 0;
  std::size_t shown = 0;  // columns of the line on screen; 0: none
};
Progress progress;

// True when standard output and standard error are the same terminal.
bool same_terminal() {
  struct stat out, err;
  return isatty(STDOUT_FILENO) && fstat(STDOUT_FILENO, &out) == 0 &&
         fstat(STDERR_FILENO, &err) == 0 && out.st_rdev == err.st_rdev;
}

// Columns of the terminal on standard error, 80 when it does not say.
std::size_t terminal_width() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

bool is_continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Columns `text` takes: one per character of UTF-8 (a fair guess).
std::size_t columns(std::string_view text) {
  std::size_t n = 0;
  for (const char c : text) n += is_continuation(c) ? 0 : 1;
  return n;
}

void write_stderr(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

void draw(std::string_view path, Clock::time_point now) {
  const std::size_t slash = path.rfind('/');
  std::string dir(slash == std::string_view::npos ? "." : path.substr(0, slash));
  if (dir.empty()) dir = "/";
  for (char& c : dir) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  }
  const double seconds = std::chrono::duration<double>(now - progress.start).count();
  const std::string head = "tarsil: " + std::to_string(progress.files) + " files, " +
                           std::to_string(static_cast<unsigned long long>(
                               static_cast<double>(progress.files) / seconds + 0.5)) +
                           " files/s, ";
  // The last column is left free: some terminals wrap when it is written.
  const std::size_t room = terminal_width() - 1;
  std::string line = head;
  if (columns(head) + columns(dir) > room) {
    const std::size_t keep = room > columns(head) + 3 ? room - columns(head) - 3 : 0;
    std::size_t from = dir.size();
    for (std::size_t kept = 0; from > 0 && kept < keep;) {
      --from;
      if (!is_continuation(dir[from])) ++kept;
    }
    line += "..." + dir.substr(from);
    if (columns(line) > room) line.resize(room);  // a very narrow terminal
  } else {
    line += dir;
  }
  const std::size_t width = columns(line);
  std::string text = "\r" + line;
  if (progress.shown > width) text.append(progress.shown - width, ' ').append("\r" + line);
  write_stderr(text);
  progress.shown = width;
  progress.last_draw = now;
}

}  // namespace

void progress_start() {
  progress = Progress{};
  progress.enabled = isatty(STDERR_FILENO) && !same_terminal();
  progress.start = Clock::now();
  progress.last_draw = progress.start - kRedraw;
}

void progress_file(std::string_view path) {
  if (!progress.enabled) return;
  ++progress.files;
  const Clock::time_point now = Clock::now();
  if (now - progress.start < kFirstDraw || now - progress.last_draw < kRedraw) return;
  draw(path, now);
}

void progress_erase() {
  if (!progress.enabled || progress.shown == 0) return;
  std::string blank(progress.shown + 2, ' ');
  blank.front() = blank.back() = '\r';
  write_stderr(blank);
  progress.shown = 0;
}

}  // namespace tarsil
