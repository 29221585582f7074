// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "match/chunk_score.h"

#include <cstring>

#include "match/normalize.h"

namespace tarsil {

bool find_segment(std::string_view haystack, std::string_view needle, std::size_t length) {
  if (length == 0 || length > needle.size()) return false;
  return memmem(haystack.data(), haystack.size(), needle.data(), length) != nullptr;
}

float finish_chunk_score(float matched, int total, int target_words, bool proportional,
                         float threshold) {
  float score = 0;
  if (total > 0) {
    score = 100.0f * matched;
    score = score / static_cast<float>(total);
  }
  if (threshold > score) return 0;
  if (!proportional) return score;
  // A target without any bar would divide by zero; one word is the sound floor.
  const int twords = target_words > 0 ? target_words : 1;
  float rescaled = 100.0f - threshold;
  rescaled = rescaled * matched;
  rescaled = rescaled / static_cast<float>(twords);
  return rescaled + threshold;
}

bool is_proportional_license(std::string_view license) {
  return license.substr(0, 3) == "BSD" || license.substr(0, 6) == "Apache";
}

float chunk_match_score(std::string_view rule, std::string_view target, bool proportional,
                        const RunSettings& settings) {
  const int minbytes = settings.minbytes;
  const int minwords = settings.minwords;
  const std::size_t n = rule.size();
  int total = 0;
  int chars = 0;
  int words = 0;
  std::size_t start = 0;
  float matched = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (rule[i] != '|') {
      ++chars;
      continue;
    }
    ++words;
    ++total;
    if ((chars >= minbytes && words >= minwords) || i == n - 1) {
      if (find_segment(target, rule.substr(start), i - start)) {
        matched += static_cast<float>(words);
      }
      chars = 0;
      words = 0;
      start = i + 1;
    }
  }
  return finish_chunk_score(matched, total, proportional ? count_words(target) : 0, proportional,
                            settings.threshold);
}

}  // namespace tarsil
