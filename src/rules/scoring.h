// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Scoring a target against the rule set's units: one small interface, two
// engines.
//
// Contract: a `Scorer` belongs to one thread. After set_target(t) (t a
// normalized text), score(u, proportional) returns exactly
// chunk_match_score(unit_text(u), t, proportional) under the run's sizes and
// threshold, for every unit u of the rule set. may_score(u) is false only
// when no chunk of unit u occurs in t (so its score is 0 under a positive
// threshold); an engine may answer true for every unit. next_candidate(from,
// end) is the first unit u in [from, end) with may_score(u), or end.
// - The reference engine scores each unit on its own with chunk_match_score.
// - The fast engine walks the target once through the rule set's chunk
//   index (rules.index, which it requires) and reads every unit's score off
//   the counts, bit for bit equal.
// `make_scorer` returns the scorer of rules.engine; the rule set must outlive
// it. Nothing here fails or writes.
#ifndef TARSIL_RULES_SCORING_H_
#define TARSIL_RULES_SCORING_H_

#include <cstdint>
#include <memory>
#include <string_view>

#include "core/settings.h"
#include "rules/rule_set.h"

namespace tarsil {

class Scorer {
 public:
  virtual ~Scorer() = default;
  virtual void set_target(std::string_view target) = 0;
  virtual float score(uint32_t unit, bool proportional) const = 0;
  virtual bool may_score(uint32_t unit) const = 0;
  virtual uint32_t next_candidate(uint32_t from, uint32_t end) const = 0;
};

std::unique_ptr<Scorer> make_scorer(const RuleSet& rules, const RunSettings& settings);

}  // namespace tarsil

#endif  // TARSIL_RULES_SCORING_H_
