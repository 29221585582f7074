// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Command-line options.
//
// Contract: `parse_options` reads the options with GNU getopt_long
// (permutation, unambiguous prefixes of long names, "--opt=value", the
// library's own diagnostics on) and applies each at once, in command-line
// order, to the settings it returns, starting from default_run_settings()
// with `jobs` set to default_jobs(). The target path is the last word of the
// argument vector after parsing; with --files-from there is none, and a
// word left over after the options ends the run ("ERROR: --files-from takes
// no path argument\n", standard error, exit 1). --spdx-expressions (long
// form only) sets spdx_expressions. It never returns on:
// - -h / -v: help or version text on standard output, exit 0;
// - a non-digit -s/-w/-b value: usage_error kind 1, exit 1;
// - an -r root lacking licenses.d or strings.d: usage_error kind 2, exit 1;
// - an unknown option, a missing value or -c: "ERROR: Unknown option %d\n"
//   on standard error, exit 1.
// - a --jobs value that is not a number from 1 to kMaxJobs:
//   "Error: --jobs requires an integer from 1 to 1024 (got: %s)\n" on
//   standard output, exit 1.
// - a --format value that names no format: "Error: --format requires one of
//   records, jsonl, spdx-json, cyclonedx-json, csv (got: %s)\n", or a
//   --sbom-created value that is not a UTC time YYYY-MM-DDThh:mm:ssZ:
//   "Error: --sbom-created requires a UTC time as YYYY-MM-DDThh:mm:ssZ (got:
//   %s)\n"; both on standard error, exit 1.
// The output format is read before every other option: with a format other
// than records, every message above except the help and version texts goes
// to standard error (messages_to_stderr), wherever --format stands.
// Digit strings beyond the 32-bit range saturate at 2147483647. The options
// beyond the help text (--jobs, --files-from, --null, --keep-going,
// --fail-on, --allow, --fail-on-unknown, --exclude, --summary, --format,
// --sbom-created) are long forms only; --fail-on, --allow and --exclude add
// to their lists each time they are given.
#ifndef TARSIL_CLI_OPTIONS_H_
#define TARSIL_CLI_OPTIONS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/formats.h"
#include "cli/gate.h"
#include "core/settings.h"

namespace tarsil {

extern const char kHelpText[];

// True when every character is a decimal digit; the empty text counts.
bool is_all_digits(const char* text);

// Value of a digit string (as checked by is_all_digits), saturating at
// INT32_MAX; the empty text gives 0.
int32_t parse_digits(const char* text);

inline constexpr int kMaxJobs = 1024;

// What the command line asked for.
struct CommandLine {
  RunSettings settings;
  std::string target;                            // the path argument, when no list is given
  std::optional<std::string> files_from;         // --files-from FILE ("-": standard input)
  bool null_separated = false;                   // --null
  bool keep_going = false;                       // --keep-going: an unreadable file is a notice
  LicenseGate gate;                              // --fail-on, --allow, --fail-on-unknown
  std::vector<std::string> excludes;             // --exclude globs
  bool summary = false;                          // --summary
  OutputFormat format = OutputFormat::kRecords;  // --format
  std::optional<std::string> sbom_created;       // --sbom-created TIME
};

// Returns the processors this process may run on, at least 1, at most 64.
int default_jobs();

// Returns the parsed command line, or ends the run as described above.
CommandLine parse_options(int argc, char** argv);

// Writes the settings banner at log level 1; never fails.
void log_banner(const RunSettings& settings);

}  // namespace tarsil

#endif  // TARSIL_CLI_OPTIONS_H_
