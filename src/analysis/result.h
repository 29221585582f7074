// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// What the analysis of one file produces: the value every output format
// prints from, and the gate and the tally judge.
//
// Contract: a FileResult holds, in output order, the file's log lines, then
// either its verdict or (licenses_open false) nothing, because the rule set's
// licenses.d could not be opened; or else `error`, the run-ending error met
// after the log lines. The verdict is the one the records format prints;
// `expression` is the same verdict as an SPDX expression tree (a single
// license for an id), none when the file has no verdict.
#ifndef TARSIL_ANALYSIS_RESULT_H_
#define TARSIL_ANALYSIS_RESULT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/copyright_statements.h"
#include "analysis/expression.h"
#include "core/status.h"

namespace tarsil {

// How a verdict was reached: none, a reference text, a string rule, a tag,
// a license the file names without quoting it (references.h; the records
// format writes it as a string rule's verdict).
enum class MatchKind { kNone, kText, kString, kSpdxTag, kReference };

struct Verdict {
  MatchKind match = MatchKind::kNone;
  std::string license;  // a license directory's name, an expression (tags), "None" (-y), or ""
  float score = 0;      // text and string verdicts
  std::string rule{};   // the winning reference file, or the string rules' name
};

// One license found in a file by the full analysis (detect.h).
enum class DetectionKind { kTag, kText, kNotice, kReference, kString };

struct Detection {
  std::string license{};  // an id, or the expression a tag gives
  Expression expression{};
  DetectionKind kind = DetectionKind::kText;
  float score = 0;
  int start_line = 0;  // 1-based, in the text read
  int end_line = 0;
  std::string rule{};  // the reference file, string-rule file or tag that found it
  // Where it lies in the normalized text: [begin, end).
  uint32_t begin = 0;
  uint32_t end = 0;
};

struct FileResult {
  std::string path{};  // as given
  std::string log{};   // -d / -dd lines, in order
  std::optional<Status> error{};
  bool licenses_open = true;  // false: no verdict, the license folder could not be opened
  Verdict verdict{};
  std::optional<Expression> expression{};  // the verdict's licenses; none without a verdict
  // With the full analysis (structured formats, the gate, --summary): every
  // detection in order of appearance, and the file's one expression built
  // from them (none when nothing was found).
  bool full_analysis = false;
  std::vector<Detection> detections{};
  std::optional<Expression> file_expression{};
  // With -y: the records' copyright object text (else the field is ""); in
  // the structured formats, the copyright statements and the authors instead.
  bool copyright_scan = false;
  std::string copyright_object{};
  std::vector<CopyrightStatement> statements{};
  std::vector<std::string> authors{};
};

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_RESULT_H_
