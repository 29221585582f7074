// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The two passes over a normalized text that every verdict rests on, shared
// by the records' verdict (identify.h) and the full analysis (detect.h).
//
// Contract:
// - `license_pass(target, pass, best, candidates)` points pass->scorer at
//   `target` and scores every reference text in the rule set's order: the
//   best score at or above the threshold wins, ties going to the longer
//   normalized reference, then to the first met; a candidate that becomes
//   the best is confirmed by its own license's string rules, which move its
//   score halfway toward 100. With `candidates`, every reference unit
//   scoring at or above the threshold is listed there, in order.
// - `string_pass(pass, best)` names the first strings.d/<S> some rule of
//   which scores exactly 100 against the scorer's target (best->unit: that
//   rule's unit).
// - A string directory matches when some line of some file in it scores
//   exactly 100; once a line matched, the remaining files are still opened
//   and their first lines compared and logged.
// - Log lines go to pass->log (its setting decides which); an unreadable
//   reference text (kCannotRead) or string-rule file (kCannotOpenRuleFile)
//   stops a pass with pass->error set, when the pass reaches it.
#ifndef TARSIL_ANALYSIS_PASSES_H_
#define TARSIL_ANALYSIS_PASSES_H_

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/log.h"
#include "core/settings.h"
#include "core/status.h"
#include "rules/rule_set.h"
#include "rules/scoring.h"

namespace tarsil {

inline constexpr uint32_t kNoUnit = std::numeric_limits<uint32_t>::max();

// The running best candidate of a pass.
struct BestMatch {
  std::string license{};    // license directory name, or empty
  float score = 0;          // after any confirmation by string rules
  std::string rule{};       // winning reference file name, or kStringRulesName
  double rule_length = 0;   // length of the winning normalized reference text
  bool strings = false;     // found by the string pass
  uint32_t unit = kNoUnit;  // the winning reference text, or the matching string rule
};

// A pass under way: the log so far and the error that stopped it.
struct Pass {
  const RuleSet& rules;
  const RunSettings& settings;
  Scorer& scorer;
  DebugLog log;
  std::optional<Status> error{};
};

void license_pass(std::string_view target, Pass* pass, BestMatch* best,
                  std::vector<uint32_t>* candidates = nullptr);

void string_pass(Pass* pass, BestMatch* best);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_PASSES_H_
