// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Fuzz target: the chunk index scores every rule exactly as chunk_match_score
// does, bit for bit, in plain and proportional mode.
//
// Input: byte 0 gives minbytes (0-31, or the largest value), byte 1
// minwords (0-7, or the largest), byte 2 the threshold (0, 1, 50, 80 or 100), the automaton's
// dense-row limit and the alphabet; the rest is split at 0xFF bytes into
// rules and targets (byte 3 says how many rules). With the small alphabet
// every byte becomes A, B or a bar, so long shared chunks are common; else
// the piece is normalized as a file would be.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "match/chunk_index.h"
#include "match/chunk_score.h"
#include "match/normalize.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tarsil;
  if (size < 4) return 0;
  const int minbytes = (data[0] & 32) != 0 ? INT32_MAX : data[0] & 31;
  const int minwords = (data[1] & 8) != 0 ? INT32_MAX : data[1] & 7;
  static constexpr float kThresholds[] = {0, 1, 50, 80, 100, 80, 80, 80};
  RunSettings settings = default_run_settings();
  settings.threshold = kThresholds[data[2] & 7];
  settings.minbytes = minbytes;
  settings.minwords = minwords;
  const std::size_t dense_limit = (data[2] & 8) != 0 ? 1 : kDenseNodes;
  const bool small_alphabet = (data[2] & 16) != 0;
  const std::size_t rule_count = 1 + data[3] % 8;

  std::vector<std::string> pieces(1);
  for (std::size_t i = 4; i < size; ++i) {
    if (data[i] == 0xFF) {
      pieces.emplace_back();
    } else if (small_alphabet) {
      pieces.back().push_back("AB|"[data[i] % 3]);
    } else {
      pieces.back().push_back(static_cast<char>(data[i]));
    }
  }
  for (std::string& piece : pieces) {
    if (!small_alphabet) piece = normalize_text(piece);
  }
  if (small_alphabet) {  // normalized text never starts with a bar nor holds two
    for (std::string& piece : pieces) {
      std::string clean;
      for (const char c : piece) {
        if (c != '|' || (!clean.empty() && clean.back() != '|')) clean.push_back(c);
      }
      piece = clean;
    }
  }
  const std::size_t rules = std::min(rule_count, pieces.size());
  std::vector<std::string_view> units(pieces.begin(), pieces.begin() + rules);
  const ChunkIndex index = build_chunk_index(units, minbytes, minwords, dense_limit);
  ChunkMatches matches;
  // Every piece is also a target, the rules included: a reused ChunkMatches
  // must forget the previous target.
  for (const std::string& target : pieces) {
    match_chunks(index, target, &matches);
    const int words = count_words(target);
    for (uint32_t unit = 0; unit < units.size(); ++unit) {
      for (const bool proportional : {false, true}) {
        const float fast =
            indexed_score(index, matches, unit, words, proportional, settings.threshold);
        const float plain = chunk_match_score(units[unit], target, proportional, settings);
        if (std::memcmp(&fast, &plain, sizeof fast) != 0) std::abort();
      }
    }
  }
  return 0;
}
