// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Result records: the one line (JSON) or block (pretty) written per file.
//
// Contract: `format_record` returns the record's text, newline included:
// - JSON form, SPDX verdict:
//   {"license":"<id>","score":"100","path":"<path>",
//   "rule":"SPDX-License-Identifier","copyright":<c>}
// - JSON form, general verdict (note the blank inside the " rule" key):
//   {"license":"<license>","score":"<%.2f>","path":"<path>", " rule":"<rule>","copyright":<c>}
// - In JSON form the license, path and rule values are escaped (json_escape),
//   so every record is valid JSON; ordinary names come out unchanged. The
//   pretty form inserts values as they are.
// - <c> is the copyright object when the copyright scan ran, else "".
// It never fails.
#ifndef TARSIL_ANALYSIS_RECORD_H_
#define TARSIL_ANALYSIS_RECORD_H_

#include <string>
#include <vector>

namespace tarsil {

// The running best candidate of one file's analysis.
struct BestMatch {
  std::string license;     // license directory name, "None", or empty
  float score = 0;         // after any confirmation by string rules
  std::string rule;        // winning reference file name, or "strings.d"
  double rule_length = 0;  // length of the winning normalized reference text
};

// How a verdict was reached: none, a reference text, a string rule, a tag,
// a license named without being quoted (references.h; written in the
// records format as a string rule's verdict).
enum class MatchKind { kNone, kText, kString, kSpdxTag, kReference };

// The fields of one file's record.
struct FileRecord {
  bool spdx = false;  // settled by an SPDX tag (license is the tag's id)
  MatchKind match = MatchKind::kNone;
  std::string license;    // as BestMatch
  float score = 0;        // general verdict only
  std::string rule;       // general verdict only
  std::string path;       // as given
  std::string copyright;  // the field as written: the object, or ""
  // With -y, the statements of the copyright object, unescaped, in file order.
  std::vector<std::string> copyrights;
};

std::string format_record(const FileRecord& record, bool pretty);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_RECORD_H_
