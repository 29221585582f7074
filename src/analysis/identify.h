// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// License identification of one file: a function from the rule set, the
// settings, the path and the raw text to a result value; nothing is written
// here.
//
// Contract: `analyze` returns the file's FileResult. In order:
// 1. with -y, the copyright object is built from the raw text;
// 2. an SPDX tag naming a license directory (with --spdx-expressions, an
//    expression of known licenses) settles the verdict at once (nothing
//    logged; see spdx_tag.h);
// 3. every non-hidden reference text licenses.d/<L>/<R>, in listing order,
//    is scored against the normalized text (proportionally for L starting
//    with "BSD" or "Apache"); the best score at or above the threshold wins,
//    ties going to the longer normalized reference, then to the first met.
//    A candidate that becomes the best is confirmed by the string rules of
//    its own license, which move its score halfway toward 100;
// 4. only when nothing reached the threshold, the first strings.d/<S> whose
//    string rules match gives the verdict S with score 100;
// 5. with -y an unsettled verdict becomes "None".
// A string directory matches when some line of some file in it scores
// exactly 100 (plain mode); once a line matched, the remaining files are
// still opened and their first lines compared and logged. Level-1 log lines:
// "Tarsil analyzing license", one "score ..." line per nonzero score,
// "Tarsil analyzing string", "Analysis concluded"; level 2 adds the target
// ("Target: ..."), one "Comparing against <path>: <text>" line per reference
// text or rule line compared and "Matched licensedir" per rule file ended by
// a match. When licenses.d could not be opened the result has no verdict
// (licenses_open false). An unreadable reference text (kCannotRead) or
// string-rule file (kCannotOpenRuleFile) ends the analysis with that error,
// after the log lines that came before it. `content` stays the caller's.
// Both engines give the same result byte for byte (scoring.h).
#ifndef TARSIL_ANALYSIS_IDENTIFY_H_
#define TARSIL_ANALYSIS_IDENTIFY_H_

#include <string>
#include <string_view>

#include "analysis/result.h"
#include "core/settings.h"
#include "rules/rule_set.h"
#include "rules/scoring.h"

namespace tarsil {

// Returns the result for `path` with raw text `content`; never fails
// (failures are results). `scorer` is the calling thread's, for `rules`.
FileResult analyze(const RuleSet& rules, const RunSettings& settings, Scorer& scorer,
                   const std::string& path, std::string_view content);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_IDENTIFY_H_
