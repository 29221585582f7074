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

#include <optional>
#include <string>
#include <vector>

#include "analysis/expression.h"
#include "core/status.h"

namespace tarsil {

// How a verdict was reached: none, a reference text, a string rule, a tag.
enum class MatchKind { kNone, kText, kString, kSpdxTag };

struct Verdict {
  MatchKind match = MatchKind::kNone;
  std::string license;  // a license directory's name, an expression (tags), "None" (-y), or ""
  float score = 0;      // text and string verdicts
  std::string rule{};   // the winning reference file, or the string rules' name
};

struct FileResult {
  std::string path{};  // as given
  std::string log{};   // -d / -dd lines, in order
  std::optional<Status> error{};
  bool licenses_open = true;  // false: no verdict, the license folder could not be opened
  Verdict verdict{};
  std::optional<Expression> expression{};  // the verdict's licenses; none without a verdict
  // With -y: the records' copyright object text (else the field is ""), and
  // its statements, unescaped, in file order.
  bool copyright_scan = false;
  std::string copyright_object{};
  std::vector<std::string> copyrights{};
};

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_RESULT_H_
