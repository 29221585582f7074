// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The chunk match score, shown with the two decimals records use.
#include "match/chunk_score.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/settings.h"

namespace tarsil {

TEST(ChunkMatchScore, Table) {
  RunSettings settings = default_run_settings();
  const std::string fox = "THE|QUICK|BROWN|FOX|JUMPS|";
  const std::string dog = "THE|QUICK|BROWN|FOX|JUMPS|OVER|THE|LAZY|DOG|";
  const std::string other = "SOME|TEXT|THE|QUICK|BROWN|FOX|JUMPS|OVER|A|LAZY|DOG|";
  const std::string long_target = "X|" + dog + "AND|MORE|WORDS|HERE|TO|COUNT|";
  const struct {
    std::string rule, target, want;
    bool proportional = false;
    float threshold = 80;
    int minbytes = 20, minwords = 2;
  } cases[] = {
      // Chunks THE|QUICK|BROWN|FOX|JUMPS (5) and OVER|THE|LAZY|DOG (4).
      {dog, other, "0.00"},
      {dog, other, "55.56", false, 50},
      {dog, long_target, "100.00"},
      {dog, long_target, "91.25", true},
      {dog, dog, "100.00", true},
      {dog, dog, "0.00", false, 150},
      // A final word without a bar is never searched.
      {"THE|QUICK|BROWN|FOX|JUMPS|OVER", "THE|QUICK|BROWN|FOX|JUMPS", "100.00"},
      {"A|B|C", "A|B|C", "0.00", false, 0, 1000},
      {"", "ANYTHING|", "0.00", false, 0},
      // Words closed after the last flush count but are not searched.
      {"THE|QUICK|BROWN|FOX|JUMPS|OVER|X", "THE|QUICK|BROWN|FOX|JUMPS|OVER|X", "83.33"},
      // A chunk's weight counts its closing bar; one place serves many chunks.
      {"BSD|LICENSE|", "BSD|LICENSE", "120.00", true},
      {fox + fox, fox, "120.00", true},
      // A target without bars counts as one word.
      {"MIT|", "SUBMITTED", "100.00", true, 80, 0},
      {"ZZZ|", "", "0.00", true, 0},
      // Every bar flushes; words are found inside longer ones.
      {"MIT|LICENSE|", "SUBMITTED|LICENSES|", "100.00", false, 80, 0, 1},
      // A flush needs both sizes reached at the same bar: AB|CD, then EF.
      {"AB|CD|EF|", "AB|CD|XX|", "66.67", false, 0, 4},
      {"AB|CD|EF|", "AB|CD|XX|", "0.00", false, 0, 5},
      {"AB|CD|EF|", "AB|CD|XX|", "0.00", false, 0, 4, 3},
      // The threshold itself passes.
      {"A|B|C|D|E|", "A|B|C|D|", "80.00", false, 80, 0, 1},
      {"A|B|C|D|E|", "A|B|C|D|", "100.00", true, 80, 0, 1},
      {"A|B|C|D|E|", "A|B|C|", "0.00", false, 80, 0, 1},
      {"A|B|C|D|E|", "A|B|C|", "60.00", false, 0, 0, 1},
      // One chunk when minbytes exceeds the rule.
      {"A|B|C|", "X|A|B|C|Y|", "100.00", false, 80, 1000},
      {"A|B|C|", "X|A|B|Y|C|", "0.00", false, 0, 1000},
  };
  char score[64];
  for (const auto& c : cases) {
    settings.minbytes = c.minbytes;
    settings.minwords = c.minwords;
    settings.threshold = c.threshold;
    std::snprintf(score, sizeof score, "%.2f",
                  chunk_match_score(c.rule, c.target, c.proportional, settings));
    EXPECT_EQ(c.want, score) << c.rule << " vs " << c.target << " " << c.proportional << "/"
                             << c.threshold << "/" << c.minbytes << "/" << c.minwords;
  }
  // Single precision in the written order: 100 * 1 / 3 is 33.3333321f, 1 / 3 * 100 33.3333359f.
  settings.minbytes = 0;
  settings.minwords = 1;
  settings.threshold = 0;
  EXPECT_EQ(100.0f * 1.0f / 3.0f, chunk_match_score("A|B|C|", "A|", false, settings));
  EXPECT_EQ(100.0f * 1.0f / 3.0f, chunk_match_score("A|", "A|X|Y|", true, settings));
  settings.threshold = 33;
  EXPECT_EQ((100.0f - 33.0f) * 7.0f / 3.0f + 33.0f,
            chunk_match_score("A|A|A|A|A|A|A|", "A|X|Y|", true, settings));
}

}  // namespace tarsil
