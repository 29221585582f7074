// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// License identification of one file: a function from the rule set, the
// path and the raw text to a result value; nothing is written here.
//
// Contract: `analyze` returns the file's FileResult. In order:
// 1. with -y, the copyright object is built from the raw text;
// 2. an SPDX tag naming a license directory (with --spdx-expressions, an
//    expression of known licenses) settles the verdict at once (SPDX record,
//    nothing logged; see spdx.h);
// 3. every non-hidden reference text licenses.d/<L>/<R>, in listing order,
//    is scored against the normalized text (proportionally for L starting
//    with "BSD" or "Apache"); the best score at or above the threshold wins,
//    ties going to the longer normalized reference, then to the first met.
//    A candidate that becomes the best is confirmed by the string rules of
//    its own license, which move its score halfway toward 100;
// 4. only when nothing reached the threshold, the first strings.d/<S> whose
//    string rules match gives the verdict S with score 100;
// 5. with -y an unsettled verdict becomes "None".
// When licenses.d cannot be opened the result holds no record and says so
// (the line "Can't open license folder: %s\n" takes the record's place). An
// unreadable reference text or string-rule file ends the analysis with the
// run-ending error (see text.h and string_rules.h), after the log lines that
// came before it. `content` is the raw text and stays the caller's.
//
// Both engines of rules.engine (rule_cache.h) give the same result byte for
// byte; they share the selection logic below, and differ only in how a
// rule's text and score are obtained.
#ifndef TARSIL_ANALYSIS_IDENTIFY_H_
#define TARSIL_ANALYSIS_IDENTIFY_H_

#include <optional>
#include <string>
#include <string_view>

#include "analysis/record.h"
#include "core/error.h"
#include "match/rule_cache.h"

namespace tarsil {

// What one file's analysis produced, in output order: the log lines, then
// the record (or the license-folder line), or else the run-ending error.
struct FileResult {
  std::string log;                   // -d / -dd lines, in order
  std::optional<FileRecord> record;  // none: no license folder, or an error
  std::optional<RunError> error;     // the run ends after `log`
};

// Returns the result for `path` with raw text `content`, under rules.settings;
// never fails (failures are results). `scores` is the calling thread's
// scratch, reused from file to file (null: a fresh one per call).
FileResult analyze(const RuleSet& rules, const std::string& path, std::string_view content,
                   TargetScores* scores);

// Returns what goes to standard output for `result`: its log lines (moved out
// of it), then its record in the form `settings` chooses, or the
// license-folder line (nothing after the log when it holds an error). Never
// fails.
std::string result_output(FileResult* result, const RunSettings& settings);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_IDENTIFY_H_
