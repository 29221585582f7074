// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "rules/scoring.h"

#include "match/chunk_index.h"
#include "match/chunk_score.h"
#include "match/normalize.h"

namespace tarsil {
namespace {

class ReferenceScorer final : public Scorer {
 public:
  ReferenceScorer(const RuleSet& rules, const RunSettings& settings)
      : rules_(rules), settings_(settings) {}
  void set_target(std::string_view target) override { target_ = target; }
  float score(uint32_t unit, bool proportional) const override {
    return chunk_match_score(rules_.units[unit], target_, proportional, settings_);
  }
  bool may_score(uint32_t) const override { return true; }
  uint32_t next_candidate(uint32_t from, uint32_t) const override { return from; }

 private:
  const RuleSet& rules_;
  const RunSettings& settings_;
  std::string_view target_;
};

class IndexScorer final : public Scorer {
 public:
  IndexScorer(const RuleSet& rules, const RunSettings& settings)
      : index_(*rules.index), threshold_(settings.threshold) {}
  void set_target(std::string_view target) override {
    match_chunks(index_, target, &matches_);
    target_words_ = count_words(target);
  }
  float score(uint32_t unit, bool proportional) const override {
    return indexed_score(index_, matches_, unit, proportional ? target_words_ : 0, proportional,
                         threshold_);
  }
  bool may_score(uint32_t unit) const override { return matches_.matched[unit] != 0; }
  uint32_t next_candidate(uint32_t from, uint32_t end) const override {
    // A scan of the per-unit counts costs less than sorting the touched
    // units of a long target.
    const int32_t* const matched = matches_.matched.data();
    while (from < end && matched[from] == 0) ++from;
    return from;
  }

 private:
  const ChunkIndex& index_;
  const float threshold_;
  ChunkMatches matches_;
  int target_words_ = 0;
};

}  // namespace

std::unique_ptr<Scorer> make_scorer(const RuleSet& rules, const RunSettings& settings) {
  if (rules.engine == Engine::kFast) return std::make_unique<IndexScorer>(rules, settings);
  return std::make_unique<ReferenceScorer>(rules, settings);
}

}  // namespace tarsil
