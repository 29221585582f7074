// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The chunk match score: how much of a normalized rule text occurs in a
// normalized target text.
//
// Contract:
// - The rule is cut into chunks at "flush" bars: a bar flushes when, counted
//   since the previous flush and including that bar, at least `minbytes`
//   non-bar characters and at least `minwords` bars were seen, or when it is
//   the rule's very last character. A chunk is the rule text from the
//   previous flush up to (not including) the flushing bar; its weight is the
//   number of bars counted for it. Each chunk is searched as a plain
//   substring of the target.
// - score = 100 * matched / total (single precision, in that order), where
//   total is every bar of the rule, including bars after the last flush and
//   never searched. A score below `threshold` gives 0; the cut is made before
//   any rescaling.
// - Proportional mode rescales a passing score to
//   (100 - threshold) * matched / twords + threshold, twords being the
//   target's bars (taken as 1 when the target has none, so the result is
//   always finite). It may exceed 100.
// - Thresholds and chunk sizes come from the run settings given. Nothing is
//   allocated.
#ifndef TARSIL_MATCH_CHUNK_SCORE_H_
#define TARSIL_MATCH_CHUNK_SCORE_H_

#include <cstddef>
#include <string_view>

#include "core/settings.h"

namespace tarsil {

// True when the first `length` characters of `needle` occur contiguously in
// `haystack`; false for a length of 0 or one longer than the needle.
bool find_segment(std::string_view haystack, std::string_view needle, std::size_t length);

// True for the licenses whose reference texts are scored in proportional
// mode: those whose names begin with "BSD" or "Apache".
bool is_proportional_license(std::string_view license);

// Returns 0, or a score not below settings.threshold (chunks cut with
// settings.minbytes and settings.minwords); never fails.
float chunk_match_score(std::string_view rule, std::string_view target, bool proportional,
                        const RunSettings& settings);

// The final step of the score shared by every engine: from the matched and
// total rule words and the target's word count, returns the result under
// `threshold` (0 below it) in plain or proportional mode; never fails.
float finish_chunk_score(float matched, int total, int target_words, bool proportional,
                         float threshold);

}  // namespace tarsil

#endif  // TARSIL_MATCH_CHUNK_SCORE_H_
