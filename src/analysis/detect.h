// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The full analysis of one file: every license it carries, where each
// stands, how it was found, and the one expression they make together.
//
// Contract: `detect_licenses` returns the detections of a file, in order of
// appearance:
// - a tag: the first SPDX-License-Identifier read as an expression (kind
//   tag, score 100, the tag's line);
// - license texts and notices (kinds text and notice, by the reference
//   file's name: notice-* files are notices): the best reference text of
//   the records' license pass is placed in the file, where the longest
//   in-order run of its chunks lies; that part of the text is set aside and
//   the rest is matched again, while some reference text of a license not
//   yet found reached the threshold outside the parts set aside; a weaker
//   match lying inside a stronger one's part is not a detection of its own;
//   matches of one license that overlap merge;
// - without any text detection, the records' string-rule verdict (kind
//   string, the lines of the rule that matched);
// - the references given (names, URLs, declared fields: references.h) that
//   lie outside every tag, text and notice;
// - in a list of licenses (references.h: lists_licenses) only tags, texts
//   and notices other than short references ("notice-short*") are kept.
// At most kMaxTextPasses text passes run. `first` is the records' license
// pass on the whole text (its best match and its candidates), reused as the
// first text pass.
// `file_expression` combines the detections: each license once, in order of
// first appearance, AND between licenses, OR between licenses the text
// offers as a choice (a tag's own OR; "dual licensed", "either ... or",
// "at your option", "alternatively" before the first of them, or "at your
// option" right after the second, and "or" between them), parenthesised as
// SPDX requires; none without detections.
// Nothing here writes; passes run with their log off.
#ifndef TARSIL_ANALYSIS_DETECT_H_
#define TARSIL_ANALYSIS_DETECT_H_

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "analysis/passes.h"
#include "analysis/result.h"
#include "match/chunk_index.h"

namespace tarsil {

inline constexpr int kMaxTextPasses = 6;

// A text as the full analysis reads it: its raw bytes, its normalized form
// and, per normalized character, the raw offset it stands for.
struct ReadText {
  std::string_view raw;
  std::string_view normalized;
  std::span<const uint32_t> offsets;
};

// The records' license pass on the whole text.
struct FirstPass {
  bool ran = false;
  BestMatch best{};
  std::vector<uint32_t> candidates{};
};

// Returns the detections; sets pass->error when a pass meets one.
std::vector<Detection> detect_licenses(const ReadText& text, const FirstPass& first,
                                       const std::optional<Expression>& tag,
                                       std::vector<Detection> references, Pass* pass);

std::optional<Expression> file_expression(const std::vector<Detection>& detections,
                                          std::string_view normalized);

// Where a unit's chunks lie in `target` (normalized): the longest in-order
// run of them, [begin, end), and the words of the chunks in it.
struct Placement {
  uint32_t begin = 0;
  uint32_t end = 0;
  int32_t words = 0;
};
Placement place_unit(std::string_view unit, std::string_view target, int minbytes, int minwords);
// The same, with the unit's chunks already cut.
Placement place_chunks(std::string_view unit, const std::vector<ChunkSpan>& spans,
                       std::string_view target);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_DETECT_H_
