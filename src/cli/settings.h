// The process-wide run settings, the diagnostic log and the fatal exits.
//
// Contract:
// - `run_settings` is written during start-up only (option parsing and rule
//   directory resolution); every other part of the program only reads it.
// - `debug_log` writes a printf-style line to standard output when any bit of
//   its mask is set in `run_settings.setting`; nothing is added to the text.
//   Like every record, a line whose writing fails ends the run (output_failed).
// - The `fatal_*` helpers write one exact message on the stream that message
//   belongs to and end the process with status 1. Standard output is flushed
//   first, so records already produced are never lost.
#ifndef TARSIL_CLI_SETTINGS_H_
#define TARSIL_CLI_SETTINGS_H_

#include <cstdint>
#include <string>

namespace tarsil {

inline constexpr uint32_t SETTING_DEBUG = 0x1;      // first -d: log level 1
inline constexpr uint32_t SETTING_VERBOSE = 0x2;    // second -d: log level 2
inline constexpr uint32_t SETTING_PRETTY = 0x4;     // -p: indented records
inline constexpr uint32_t SETTING_COPYRIGHT = 0x8;  // -y: copyright scan

inline constexpr const char* kVersion = "v.1.23";

struct RunSettings {
  uint32_t setting = 0;
  float threshold = 80;
  int32_t minwords = 2;
  int32_t minbytes = 20;
  std::string licensedir;  // empty until resolved
  std::string stringdir;   // empty until resolved
  // --spdx-expressions: tags are read as license expressions (spdx.h). Kept
  // apart from `setting`, whose value the banner shows.
  bool spdx_expressions = false;
};

extern RunSettings run_settings;

// Resets `run_settings` to the defaults (threshold 80, minwords 2,
// minbytes 20, no bits, no directories, default tag reading).
void reset_run_settings();

// Writes the formatted text to standard output when `setting & mask`.
void debug_log(uint32_t mask, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Kind 1: "Error: -%c requires integer (got: %s)\n"; kind 2: "Error: %s not
// accessible\n". Written to standard output; never returns (exit 1).
[[noreturn]] void usage_error(int kind, int option_code, const std::string& text);

// Writes `message` to standard error and exits 1.
[[noreturn]] void fatal_stderr(const std::string& message);

// Writes `message` to standard output and exits 1.
[[noreturn]] void fatal_stdout(const std::string& message);

// Flushes standard output; on a write error ends the run as output_failed
// does. Called before every successful exit.
void finish_output();

// Ends the run after a write to standard output failed with `err`, at once:
// when the reader has gone (EPIPE), silently, by SIGPIPE, as if the signal
// had not been ignored; otherwise with "ERROR: Cannot write output: <reason>"
// on standard error and status 1.
[[noreturn]] void output_failed(int err);

}  // namespace tarsil

#endif  // TARSIL_CLI_SETTINGS_H_
