// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The option table: one row per option, the one source of getopt's long
// options and short-option string, of --help, and of the bash completion;
// a test holds the man page to it.
//
// Contract:
// - kFlags lists every option in getopt's order of long options (which
//   decides how ambiguous prefixes are reported: "--min" fits "--minwords"
//   and "--minbytes"); -y, which has no long form, stands after --pretty.
// - `long_options()` returns getopt_long's table (all-zero entry last);
//   `short_options()` the short-option string "c:dhvs:w:b:pr:y".
// - `help_text()` is the --help text: its fixed lines (program line, usage,
//   the rule locations, the five options of the help's first block), then
//   one line per further long option in table order, then the four settings
//   and the closing notice. Each row holds its line verbatim.
// - `bash_completion()` is the completion script for bash, from the rows'
//   completion kinds (see completion.cc).
#ifndef TARSIL_CLI_FLAGS_H_
#define TARSIL_CLI_FLAGS_H_

#include <getopt.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarsil {

// getopt_long's codes for the long-only options (short ones use their letter).
enum FlagCode {
  kSpdxExpressions = 0x100,
  kJobs,
  kFilesFrom,
  kNull,
  kKeepGoing,
  kFailOn,
  kAllow,
  kFailOnUnknown,
  kExclude,
  kSummary,
  kFormat,
  kSbomCreated,
};

// Where a row's line stands in --help.
enum class HelpPlace { kOptions, kSettings, kNone };

// What the completion offers after the option.
enum class CompleteWith { kNothing, kDirectory, kFile, kFormat, kLicenseIds };

struct Flag {
  std::string_view name{};  // long name; empty: none (-y)
  char letter = 0;          // short form; 0: none
  bool takes_value = false;
  int code = 0;  // what getopt_long returns for it
  HelpPlace place = HelpPlace::kNone;
  std::string_view help{};  // its --help line, without the newline
  CompleteWith complete = CompleteWith::kNothing;
  bool offered = true;  // completed as an option (false: accepted but unsupported)
};

extern const std::span<const Flag> kFlags;

// The format names --format takes, in the order help and completion give them.
extern const std::span<const std::string_view> kFormatNames;

std::vector<option> long_options();
std::string short_options();
std::string help_text();
std::string bash_completion();

}  // namespace tarsil

#endif  // TARSIL_CLI_FLAGS_H_
