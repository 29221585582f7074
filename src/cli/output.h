// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The command line's own output: its diagnostic lines, option errors, fatal
// exits and the final flush. Only src/cli/ writes to the standard streams or
// ends the process.
//
// Contract:
// - `cli_log` writes a printf-style line to standard output when any bit of
//   its mask is set in settings.setting; nothing is added to the text. Like
//   every record, a line whose writing fails ends the run (output_failed).
// - `usage_error` and `fatal_stderr` write one exact message on the stream
//   that message belongs to and end the process with status 1. Standard
//   output is flushed first, so records already produced are never lost.
// - After `messages_to_stderr()` (output formats other than records), every
//   line that would go to standard output here (log lines, option errors,
//   run-ending errors) goes to standard error instead, so that standard
//   output holds only the formatted results.
#ifndef TARSIL_CLI_OUTPUT_H_
#define TARSIL_CLI_OUTPUT_H_

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/error.h"
#include "core/settings.h"

namespace tarsil {

// Writes the formatted text to standard output when `settings.setting & mask`.
void cli_log(const RunSettings& settings, uint32_t mask, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Kind 1: "Error: -%c requires integer (got: %s)\n"; kind 2: "Error: %s not
// accessible\n". Written to standard output; never returns (exit 1).
[[noreturn]] void usage_error(int kind, int option_code, const std::string& text);

// From now on, the lines above go to standard error; never fails.
void messages_to_stderr();

// The stream for lines that belong on standard output: stdout, or stderr
// after messages_to_stderr().
std::FILE* message_stream();

// Writes `message` on message_stream() and exits 1.
[[noreturn]] void message_exit(const std::string& message);

// Writes `message` to standard error and exits 1.
[[noreturn]] void fatal_stderr(const std::string& message);

// Writes the error's message on its stream, standard output flushed first;
// a failed write to standard output ends the run as output_failed does.
void write_error(const RunError& error);

// Flushes standard output; on a write error ends the run as output_failed
// does. Called before every successful exit.
void finish_output();

// Ends the run after a write to standard output failed with `err`, at once:
// when the reader has gone (EPIPE), silently, by SIGPIPE, as if the signal
// had not been ignored; otherwise with "ERROR: Cannot write output: <reason>"
// on standard error and status 1.
[[noreturn]] void output_failed(int err);

}  // namespace tarsil

#endif  // TARSIL_CLI_OUTPUT_H_
