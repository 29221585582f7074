// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// License gating and the run's tally: which verdicts a CI run refuses
// (--fail-on, --allow, --fail-on-unknown), the counts --summary shows, and
// the texts both write at the end of a run.
//
// Contract:
// - A license list is comma-separated patterns; each is trimmed of blanks,
//   empty ones are dropped, and repeating an option adds to its list.
//   Patterns are fnmatch globs (`*`, `?`, `[...]`) matched without regard
//   to case, as SPDX ids are compared. A pattern matches an id ending in "+"
//   when it matches the id with or without the "+" ("GPL-2.0" matches
//   "GPL-2.0+").
// - One license id is refused when it matches --fail-on, or when --allow
//   was given and it matches none of its patterns (--fail-on wins).
// - A verdict that is an SPDX expression (--spdx-expressions) is refused
//   when the expression cannot be satisfied with licenses that are not
//   refused: "A OR B" is refused only when both sides are, "A AND B" when
//   either is; "A WITH E" is judged by A alone. Any other verdict is one id.
// - A file with no verdict (an empty license, "None" with -y, no record) is
//   refused only with --fail-on-unknown.
// - The run fails the gate (exit status 3) when some file was refused;
//   gate_message then gives its one line for standard error.
// Nothing here writes or ends the process.
#ifndef TARSIL_CLI_GATE_H_
#define TARSIL_CLI_GATE_H_

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarsil {

// What the gating options asked for.
struct LicenseGate {
  std::vector<std::string> fail_on;  // --fail-on patterns
  std::vector<std::string> allow;    // --allow patterns
  bool allow_given = false;          // --allow appeared (an empty list allows nothing)
  bool fail_on_unknown = false;      // --fail-on-unknown
};

// Appends the patterns of the comma-separated `list` to `patterns`; never fails.
void add_patterns(std::string_view list, std::vector<std::string>* patterns);

// Returns true when some pattern matches `id` (see above); never fails.
bool matches_any(const std::vector<std::string>& patterns, const std::string& id);

// Returns true when `gate` refuses the non-empty verdict `license`, read as
// an SPDX expression when `expression` (one id when it does not parse).
bool refuses(const LicenseGate& gate, const std::string& license, bool expression);

// What the run has seen so far.
struct Tally {
  std::map<std::string, std::size_t> per_license;  // filled only when asked for
  std::size_t files = 0;                           // files with a result
  std::size_t no_answer = 0;                       // of which without a verdict
  std::size_t refused = 0;                         // verdicts the gate refused
  std::size_t refused_unknown = 0;                 // no-answer files, with --fail-on-unknown
};

// Counts one file: `license` is its verdict, none when it has none; with
// `per_license` its verdict is counted by name. Never fails.
void count_file(const LicenseGate& gate, const std::optional<std::string>& license, bool expression,
                bool per_license, Tally* tally);

// True when some file was refused.
inline bool gate_failed(const Tally& tally) {
  return tally.refused + tally.refused_unknown > 0;
}

// Returns the one line for standard error of a run that failed the gate:
// "tarsil: N file(s) with a disallowed license\n", "tarsil: N file(s) with
// no license found\n", or both counts as "tarsil: N file(s) with a
// disallowed license, M with no license found\n"; empty when none failed.
std::string gate_message(const Tally& tally);

// Returns the --summary table: one line per license ("%*zu  <license>"),
// by count descending then name, then "no license found", "files" and
// "seconds" (two decimals) lines, numbers right-aligned in one column.
std::string summary_table(const Tally& tally, double seconds);

}  // namespace tarsil

#endif  // TARSIL_CLI_GATE_H_
