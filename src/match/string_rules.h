// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// String rules: one characteristic line of a license per line of a file under
// strings.d/<ID>/.
//
// Contract:
// - `match_string_dir` is true when some line of some regular, non-hidden
//   file directly in `dir` normalizes to a rule scoring exactly 100 against
//   `target` (plain mode, the run's minbytes, minwords and threshold).
// - A missing or unopenable `dir` gives false. A rule file that cannot be
//   opened ends the run: the walk stops there and *error is set to
//   "ERROR: Cannot open %s during string detection\n" (standard error).
// - Once a line matched, the walk still goes on over the remaining files:
//   each is opened, its first line compared and logged, and the match logged
//   again. Level-2 log lines: "Comparing against %s: %s\n" per line compared,
//   "Matched licensedir\n" per file ended by a match, appended to *log.
// - Only the first 10000 bytes of a line can count (normalize_text reads no
//   further), so `read_rule_line` keeps no more: memory stays small whatever
//   the length of a line.
#ifndef TARSIL_MATCH_STRING_RULES_H_
#define TARSIL_MATCH_STRING_RULES_H_

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"
#include "core/log.h"
#include "core/settings.h"

namespace tarsil {

// Reads the next line of `file` into *line (its newline included), keeping
// its first kMaxTextBytes bytes only; false, with *line empty, at the end of
// the file or on a read error.
bool read_rule_line(std::FILE* file, std::string* line);

// Returns whether a rule matched; false with *error set when a rule file
// could not be opened.
bool match_string_dir(const std::string& dir, std::string_view target, const RunSettings& settings,
                      DebugLog* log, std::optional<RunError>* error);

// The run-ending error of a string-rule file that cannot be opened.
RunError string_file_error(const std::string& path);

}  // namespace tarsil

#endif  // TARSIL_MATCH_STRING_RULES_H_
