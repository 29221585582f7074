#include "cli/settings.h"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tarsil {

RunSettings run_settings;

void reset_run_settings() {
  // The defaults come from their decimal texts, as the help text shows them.
  run_settings = RunSettings{};
  run_settings.threshold = static_cast<float>(std::atoi("80"));
  run_settings.minwords = std::atoi("2");
  run_settings.minbytes = std::atoi("20");
}

void debug_log(uint32_t mask, const char* format, ...) {
  if ((run_settings.setting & mask) == 0) return;
  va_list args;
  va_start(args, format);
  const int written = std::vprintf(format, args);
  va_end(args);
  if (written < 0) output_failed(errno);
}

void usage_error(int kind, int option_code, const std::string& text) {
  if (kind == 1) {
    std::printf("Error: -%c requires integer (got: %s)\n", option_code, text.c_str());
  } else {
    std::printf("Error: %s not accessible\n", text.c_str());
  }
  std::fflush(stdout);
  std::exit(1);
}

void fatal_stderr(const std::string& message) {
  std::fflush(stdout);
  std::fputs(message.c_str(), stderr);
  std::exit(1);
}

void fatal_stdout(const std::string& message) {
  std::fputs(message.c_str(), stdout);
  std::fflush(stdout);
  std::exit(1);
}

void finish_output() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) output_failed(errno != 0 ? errno : EIO);
}

void output_failed(int err) {
  if (err == EPIPE) {
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
  }
  std::fprintf(stderr, "ERROR: Cannot write output: %s\n", std::strerror(err));
  std::_Exit(1);  // standard output is broken: no flush at exit
}

}  // namespace tarsil
