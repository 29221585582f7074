// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Command-line options.
//
// Contract: `parse_options` reads the options with GNU getopt_long
// (permutation, unambiguous prefixes of long names, "--opt=value", the
// library's own diagnostics on) from the option table (flags.h) and applies
// each at once, in command-line order, to the settings it returns, starting
// from default_run_settings() with `jobs` set to default_jobs(). It returns
// the parsed command line, or the exit that ends the run, with its message:
// - -h / -v: the help or version text on standard output, status 0;
// - a non-digit -s/-w/-b value: "Error: -%c requires integer (got: %s)";
// - an -r root lacking licenses.d or strings.d: "Error: %s not accessible";
// - a --jobs value that is not a number from 1 to kMaxJobs:
//   "Error: --jobs requires an integer from 1 to 1024 (got: %s)";
// - an unknown option, a missing value or -c: "ERROR: Unknown option %d"
//   (standard error);
// - a --format value that names no format: "Error: --format requires one of
//   records, jsonl, spdx-json, cyclonedx-json, csv (got: %s)", or a
//   --sbom-created value that is not a UTC time YYYY-MM-DDThh:mm:ssZ:
//   "Error: --sbom-created requires a UTC time as YYYY-MM-DDThh:mm:ssZ (got:
//   %s)" (both standard error);
// - with --files-from, a path operand: "ERROR: --files-from takes no path
//   argument" (standard error);
// each with status 1. The first three go to standard output with the
// records format, to standard error with any other: the format is read
// before every other option, wherever --format stands. An option's error
// stops the parse before later options are read.
// The operands are the words left after the options (getopt moves them to
// the end); when there is none, the last word of the argument vector is the
// one target, whatever it is. With --files-from there are none. Digit strings beyond the 32-bit
// range saturate at 2147483647. --fail-on, --allow and --exclude add to their lists each time they
// are given. With a format other than records, -p changes nothing (the copyright statements are
// read in the JSON form).
#ifndef TARSIL_CLI_OPTIONS_H_
#define TARSIL_CLI_OPTIONS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "analysis/gate.h"
#include "cli/messages.h"
#include "core/settings.h"
#include "fs/walk.h"
#include "output/formatter.h"

namespace tarsil {

// True when every character is a decimal digit; the empty text counts.
bool is_all_digits(const char* text);

// Value of a digit string (as checked by is_all_digits), saturating at
// INT32_MAX; the empty text gives 0.
int32_t parse_digits(const char* text);

inline constexpr int kMaxJobs = 1024;

// What the command line asked for.
struct CommandLine {
  RunSettings settings{};
  std::vector<std::string> operands{};           // the paths to scan, when no list is given
  std::optional<std::string> files_from;         // --files-from FILE ("-": standard input)
  bool null_separated = false;                   // --null
  bool keep_going = false;                       // --keep-going: an unreadable file is a notice
  LicenseGate gate{};                            // --fail-on, --allow, --fail-on-unknown
  std::vector<ExcludeGlob> excludes{};           // --exclude globs
  bool summary = false;                          // --summary
  OutputFormat format = OutputFormat::kRecords;  // --format
  std::optional<std::string> sbom_created{};     // --sbom-created TIME
};

// How the run ends before it starts.
struct OptionExit {
  int status = 1;
  Message message{};
};

// Returns the processors this process may run on, at least 1, at most 64.
int default_jobs();

std::variant<CommandLine, OptionExit> parse_options(int argc, char** argv);

// The settings banner, as -d logs it; never fails.
std::string banner_text(const RunSettings& settings);

}  // namespace tarsil

#endif  // TARSIL_CLI_OPTIONS_H_
