// Command-line options.
//
// Contract: `parse_options` reads the options with GNU getopt_long
// (permutation, unambiguous prefixes of long names, "--opt=value", the
// library's own diagnostics on) and applies each at once, in command-line
// order, to run_settings (--spdx-expressions, long form only, sets
// spdx_expressions). It returns the target path: the last word of the
// argument vector after parsing. It never returns on:
// - -h / -v: help or version text on standard output, exit 0;
// - a non-digit -s/-w/-b value: usage_error kind 1, exit 1;
// - an -r root lacking licenses.d or strings.d: usage_error kind 2, exit 1;
// - an unknown option, a missing value or -c: "ERROR: Unknown option %d\n"
//   on standard error, exit 1.
// Digit strings beyond the 32-bit range saturate at 2147483647.
#ifndef TARSIL_CLI_OPTIONS_H_
#define TARSIL_CLI_OPTIONS_H_

#include <cstdint>
#include <string>

namespace tarsil {

extern const char kHelpText[];

// True when every character is a decimal digit; the empty text counts.
bool is_all_digits(const char* text);

// Value of a digit string (as checked by is_all_digits), saturating at
// INT32_MAX; the empty text gives 0.
int32_t parse_digits(const char* text);

std::string parse_options(int argc, char** argv);

// Writes the settings banner at log level 1.
void log_banner();

}  // namespace tarsil

#endif  // TARSIL_CLI_OPTIONS_H_
