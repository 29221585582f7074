// Result records: the one line (JSON) or block (pretty) written per file.
//
// Contract:
// - JSON form, SPDX verdict:
//   {"license":"<id>","score":"100","path":"<path>",
//   "rule":"SPDX-License-Identifier","copyright":<c>}
// - JSON form, general verdict (note the blank inside the " rule" key):
//   {"license":"<license>","score":"<%.2f>","path":"<path>", " rule":"<rule>","copyright":<c>}
// - In JSON form the license, path and rule values are escaped (json_escape),
//   so every record is valid JSON; ordinary names come out unchanged. The
//   pretty form inserts values as they are.
// - <c> is the copyright object when the copyright scan ran, else "".
// - Records are written to standard output; a write that fails ends the run
//   at once (output_failed in cli/settings.h).
#ifndef TARSIL_ANALYSIS_RECORD_H_
#define TARSIL_ANALYSIS_RECORD_H_

#include <string>

namespace tarsil {

// The running best candidate of one file's analysis.
struct BestMatch {
  std::string license;     // license directory name, "None", or empty
  float score = 0;         // after any confirmation by string rules
  std::string rule;        // winning reference file name, or "strings.d"
  double rule_length = 0;  // length of the winning normalized reference text
};

void print_spdx_record(const std::string& id, const std::string& path,
                       const std::string& copyright_field);

void print_general_record(const BestMatch& best, const std::string& path,
                          const std::string& copyright_field);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_RECORD_H_
