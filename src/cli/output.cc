// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "cli/output.h"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/progress.h"

namespace tarsil {
namespace {

bool g_messages_to_stderr = false;  // set once, before any worker starts

}  // namespace

void messages_to_stderr() {
  g_messages_to_stderr = true;
}

std::FILE* message_stream() {
  return g_messages_to_stderr ? stderr : stdout;
}

void cli_log(const RunSettings& settings, uint32_t mask, const char* format, ...) {
  if ((settings.setting & mask) == 0) return;
  va_list args;
  va_start(args, format);
  const int written = std::vfprintf(message_stream(), format, args);
  va_end(args);
  if (written < 0 && !g_messages_to_stderr) output_failed(errno);
}

void usage_error(int kind, int option_code, const std::string& text) {
  if (kind == 1) {
    message_exit("Error: -" + std::string(1, static_cast<char>(option_code)) +
                 " requires integer (got: " + text + ")\n");
  }
  message_exit("Error: " + text + " not accessible\n");
}

void message_exit(const std::string& message) {
  std::fflush(stdout);
  std::fputs(message.c_str(), message_stream());
  std::fflush(message_stream());
  std::exit(1);
}

void fatal_stderr(const std::string& message) {
  progress_erase();
  std::fflush(stdout);
  std::fputs(message.c_str(), stderr);
  std::exit(1);
}

void write_error(const RunError& error) {
  progress_erase();
  if (error.stream == Stream::kStdout && !g_messages_to_stderr) {
    if (std::fputs(error.message.c_str(), stdout) < 0) output_failed(errno);
    std::fflush(stdout);
  } else {
    std::fflush(stdout);
    std::fputs(error.message.c_str(), stderr);
  }
}

void finish_output() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) output_failed(errno != 0 ? errno : EIO);
}

void output_failed(int err) {
  progress_erase();
  if (err == EPIPE) {
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
  }
  std::fprintf(stderr, "ERROR: Cannot write output: %s\n", std::strerror(err));
  std::_Exit(1);  // standard output is broken: no flush at exit
}

}  // namespace tarsil
