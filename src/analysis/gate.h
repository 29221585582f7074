// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The license gate's policy: which verdicts a CI run refuses (--fail-on,
// --allow, --fail-on-unknown).
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
// - A verdict is refused when its expression cannot be satisfied with
//   licenses that are not refused: "A OR B" is refused only when both sides
//   are, "A AND B" when either is; "A WITH E" is judged by A alone. A
//   single id is one license.
// - A file with no verdict is refused only with --fail-on-unknown.
// Nothing here writes or ends the process.
#ifndef TARSIL_ANALYSIS_GATE_H_
#define TARSIL_ANALYSIS_GATE_H_

#include <string>
#include <string_view>
#include <vector>

#include "analysis/expression.h"

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

// Returns true when `gate` refuses the license id `id`.
bool refuses_id(const LicenseGate& gate, const std::string& id);

// Returns true when `gate` refuses a verdict of licenses `expression`.
bool refuses(const LicenseGate& gate, const Expression& expression);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_GATE_H_
