// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The chunk index against the plain chunk match score, bit for bit.
#include "match/chunk_index.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <string>
#include <vector>

#include "core/settings.h"
#include "match/chunk_score.h"
#include "match/normalize.h"

namespace tarsil {
namespace {

// Checks indexed_score against chunk_match_score bit for bit, for every rule
// and target under each threshold, scored plainly and proportionally.
using Texts = std::vector<std::string>;
void expect_same_scores(const Texts& rules, const Texts& targets, int minbytes, int minwords,
                        const std::vector<float>& thresholds, std::size_t dense = kDenseNodes) {
  RunSettings settings = default_run_settings();
  settings.minbytes = minbytes;
  settings.minwords = minwords;
  const std::vector<std::string_view> units(rules.begin(), rules.end());
  const ChunkIndex index = build_chunk_index(units, minbytes, minwords, dense);
  ChunkMatches matches;
  for (const std::string& target : targets) {
    match_chunks(index, target, &matches);
    for (const float threshold : thresholds) {
      settings.threshold = threshold;
      for (uint32_t u = 0; u < rules.size(); ++u) {
        for (const bool proportional : {false, true}) {
          const float want = chunk_match_score(rules[u], target, proportional, settings);
          const float got =
              indexed_score(index, matches, u, count_words(target), proportional, threshold);
          ASSERT_EQ(std::bit_cast<uint32_t>(want), std::bit_cast<uint32_t>(got))
              << rules[u] << " in " << target << ", minbytes/minwords/dense/threshold/proportional "
              << minbytes << "/" << minwords << "/" << dense << "/" << threshold << "/"
              << proportional;
        }
      }
    }
  }
}

// Normalized text from a small vocabulary whose words hide inside each other,
// so that chunks are found mid-word, overlapping and repeated.
std::string random_text(std::mt19937& rng, int max_words, bool end_with_bar) {
  static const std::vector<std::string> words = {
      "A",   "AB",  "ABC", "B", "BC", "LICENSE",  "LICENSED", "SUBLICENSE",
      "THE", "MIT", "X",   "2", "0",  "SOFTWARE", "COPY",     "COPYRIGHT"};
  std::string text;
  const int n = std::uniform_int_distribution<int>(0, max_words)(rng);
  for (int i = 0; i < n; ++i) {
    text += words[std::uniform_int_distribution<std::size_t>(0, words.size() - 1)(rng)];
    if (i + 1 < n || end_with_bar) text += '|';
  }
  // Now and then a stretch said twice.
  if (text.size() > 8 && rng() % 3 == 0) text += text.substr(rng() % 4, text.size() / 2);
  return text;
}

// A target made of pieces of the rules, cut anywhere, plus noise.
std::string random_target(std::mt19937& rng, const std::vector<std::string>& rules) {
  std::string target = random_text(rng, 6, rng() % 2 == 0);
  for (int k = rng() % 5; k > 0; --k) {
    const std::string& rule = rules[rng() % rules.size()];
    if (rule.empty()) continue;
    const std::size_t from = rng() % rule.size();
    target += rule.substr(from, 1 + rng() % (rule.size() - from));
    target += random_text(rng, 3, rng() % 2 == 0);
  }
  return target;
}

TEST(ChunkIndex, ScoresEqualChunkMatchScoreBitForBit) {
  std::mt19937 rng(7);
  const int sizes[][2] = {{20, 2}, {0, 0}, {1, 1}, {0, 3}, {3, 0}, {5, 2}, {8, 4}, {100000, 2}};
  for (const auto& size : sizes) {
    for (int round = 0; round < 6; ++round) {
      Texts rules, targets;
      for (int r = 0; r < 25; ++r) rules.push_back(random_text(rng, 14, rng() % 3 != 0));
      for (int t = 0; t < 12; ++t) targets.push_back(random_target(rng, rules));
      // Now and then only a few automaton states get full transition rows.
      expect_same_scores(rules, targets, size[0], size[1], {80, 0, 50, 100, 101, 1},
                         round % 2 == 0 ? kDenseNodes : 1 + round);
    }
  }
  // Empty units, indexes and targets.
  expect_same_scores({"", "WORD", "A|", "A|B|"}, {"", "A", "B|A|", "XAB"}, 0, 0, {0});
  ChunkMatches matches;
  match_chunks(build_chunk_index({}, 20, 2), "ANY|TEXT|", &matches);
  EXPECT_TRUE(matches.touched.empty());

  // Hundreds of chunks sharing 40 characters and more, as in license families: at
  // their start (after the first bar) or, for chunks whose last words are short,
  // before their last bar. Their groups get split; every chunk is still found.
  const std::string head = "THE|ABOVE|COPYRIGHT|NOTICE|AND|THIS|PERMISSION|NOTICE|";
  const std::string long_word =
      "PERMISSIONISHEREBYGRANTEDFREEOFCHARGETOANYPERSONOBTAININGACOPYOFTHIS";
  Texts rules;
  for (int r = 0; r < 200; ++r) {
    std::string rule = head.substr(0, head.size() - (r % 3) * 7);
    for (int w = 0; w < r % 5; ++w)
      rule.append("W").append(std::to_string((r * 7 + w) % 97)) += '|';
    rules.push_back(rule);
    // A long word cut at different places, then a short one; half of them
    // after a short first word. (Appended: g++ 12 at -O3 warns falsely on `"X" + string`.)
    std::string cut;
    if (r % 2 == 0) cut.append("X").append(std::to_string(r % 7)).append("|");
    cut.append(long_word.substr(r % 13)).append("|A").append(std::to_string(r % 11)).append("|");
    rules.push_back(cut);
  }
  for (const int minbytes : {100000, 30, 5}) {
    Texts targets;
    for (int t = 0; t < 40; ++t) {
      std::string target = "X|";  // pieces of rules, sometimes glued to the next word
      for (int k = 0; k < 4; ++k) target += rules[rng() % rules.size()] + (k % 2 ? "Y" : "YX|");
      targets.push_back(target);
    }
    expect_same_scores(rules, targets, minbytes, 2, {80});
  }
}

}  // namespace
}  // namespace tarsil
