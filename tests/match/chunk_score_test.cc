// The chunk match score, shown with the two decimals records use.
#include "match/chunk_score.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "cli/settings.h"

namespace tarsil {
namespace {

std::string two_decimals(float score) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(score));
  return text;
}

TEST(ChunkMatchScore, Table) {
  const std::string fox = "THE|QUICK|BROWN|FOX|JUMPS|";
  const std::string dog = "THE|QUICK|BROWN|FOX|JUMPS|OVER|THE|LAZY|DOG|";
  const std::string long_target = "X|" + dog + "AND|MORE|WORDS|HERE|TO|COUNT|";
  const struct {
    std::string rule, target;
    int minbytes, minwords;
    float threshold;
    bool proportional;
    const char* want;
  } cases[] = {
      // Chunks THE|QUICK|BROWN|FOX|JUMPS (5) and OVER|THE|LAZY|DOG (4).
      {dog, "SOME|TEXT|THE|QUICK|BROWN|FOX|JUMPS|OVER|A|LAZY|DOG|", 20, 2, 80, false, "0.00"},
      {dog, "SOME|TEXT|THE|QUICK|BROWN|FOX|JUMPS|OVER|A|LAZY|DOG|", 20, 2, 50, false, "55.56"},
      {dog, long_target, 20, 2, 80, false, "100.00"},
      {dog, long_target, 20, 2, 80, true, "91.25"},
      {dog, dog, 20, 2, 80, true, "100.00"},
      // A final word without a bar is never searched.
      {"THE|QUICK|BROWN|FOX|JUMPS|OVER", "THE|QUICK|BROWN|FOX|JUMPS", 20, 2, 80, false, "100.00"},
      {"MIT|LICENSE", "MIT|LICENSE", 20, 2, 80, false, "0.00"},
      // Words closed after the last flush count but are not searched.
      {"THE|QUICK|BROWN|FOX|JUMPS|OVER|X", "THE|QUICK|BROWN|FOX|JUMPS|OVER|X", 20, 2, 80, false,
       "83.33"},
      // A chunk's weight counts its closing bar; one place serves many chunks.
      {"BSD|LICENSE|", "BSD|LICENSE", 20, 2, 80, true, "120.00"},
      {fox + fox, fox, 20, 2, 80, true, "120.00"},
      // A target without bars counts as one word.
      {"MIT|", "SUBMITTED", 0, 2, 80, true, "100.00"},
      {"ZZZ|", "", 20, 2, 0, true, "0.00"},
      {"MIT|", "SUBMITTED", 20, 2, 100, true, "100.00"},
      // Every bar flushes; words are found inside longer ones.
      {"MIT|LICENSE|", "SUBMITTED|LICENSES|", 0, 0, 80, false, "100.00"},
      {"MIT|LICENSE|", "SUBMITTED|LICENSES|", 0, 1, 80, false, "100.00"},
      // A flush needs both sizes reached at the same bar: AB|CD, then EF.
      {"AB|CD|EF|", "AB|CD|XX|", 4, 2, 0, false, "66.67"},
      {"AB|CD|EF|", "AB|CD|XX|", 5, 2, 0, false, "0.00"},
      {"AB|CD|EF|", "AB|CD|XX|", 4, 3, 0, false, "0.00"},
      // The threshold itself passes.
      {"A|B|C|D|E|", "A|B|C|D|", 0, 1, 80, false, "80.00"},
      {"A|B|C|D|E|", "A|B|C|D|", 0, 1, 80, true, "100.00"},
      {"A|B|C|D|E|", "A|B|C|", 0, 1, 80, false, "0.00"},
      {"A|B|C|D|E|", "A|B|C|", 0, 1, 0, false, "60.00"},
      // One chunk when minbytes exceeds the rule.
      {"A|B|C|", "X|A|B|C|Y|", 1000, 2, 80, false, "100.00"},
      {"A|B|C|", "X|A|B|Y|C|", 1000, 2, 0, false, "0.00"},
      {"A|B|C", "A|B|C", 1000, 2, 0, false, "0.00"},
      {"", "ANYTHING|", 20, 2, 0, false, "0.00"},
      {"NOBAR", "NOBAR", 0, 0, 0, false, "0.00"},
      {dog, dog, 20, 2, 150, false, "0.00"},
  };
  for (const auto& c : cases) {
    reset_run_settings();
    run_settings.minbytes = c.minbytes;
    run_settings.minwords = c.minwords;
    run_settings.threshold = c.threshold;
    EXPECT_EQ(c.want, two_decimals(chunk_match_score(c.rule, c.target, c.proportional)))
        << c.rule << " vs " << c.target << " (" << c.minbytes << "/" << c.minwords << "/"
        << c.threshold << (c.proportional ? " proportional)" : ")");
  }
  reset_run_settings();
}

TEST(ChunkMatchScore, SinglePrecisionInWrittenOrder) {
  reset_run_settings();
  run_settings.minbytes = 0;
  run_settings.minwords = 1;
  run_settings.threshold = 0;
  // 100 * 1 / 3 is 33.3333321f; 1 / 3 * 100 would give 33.3333359f.
  EXPECT_EQ(100.0f * 1.0f / 3.0f, chunk_match_score("A|B|C|", "A|", false));
  EXPECT_EQ(100.0f * 1.0f / 3.0f, chunk_match_score("A|", "A|X|Y|", true));
  run_settings.threshold = 33;
  EXPECT_EQ((100.0f - 33.0f) * 7.0f / 3.0f + 33.0f,
            chunk_match_score("A|A|A|A|A|A|A|", "A|X|Y|", true));
  reset_run_settings();
}

}  // namespace
}  // namespace tarsil
