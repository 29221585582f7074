// License identification of one file: the verdict and its record.
//
// Contract: `identify_license` writes exactly one result record for the file
// to standard output, or, when run_settings.licensedir cannot be opened, the
// line "Can't open license folder: %s\n" and no record. In order:
// 1. with -y, the copyright object is built from the raw text;
// 2. an SPDX tag naming a license directory (with --spdx-expressions, an
//    expression of known licenses) settles the verdict at once (SPDX record,
//    nothing logged; see spdx.h);
// 3. every non-hidden reference text licenses.d/<L>/<R>, in listing order,
//    is scored against the normalized text (proportionally for L starting
//    with "BSD" or "Apache"); the best score at or above the threshold wins,
//    ties going to the longer normalized reference, then to the first met.
//    A candidate that becomes the best is confirmed by the string rules of
//    its own license, which move its score halfway toward 100;
// 4. only when nothing reached the threshold, the first strings.d/<S> whose
//    string rules match gives the verdict S with score 100;
// 5. with -y an unsettled verdict becomes "None".
// Unreadable reference or string rule files end the run (see text.h and
// string_rules.h). `content` is the raw text and stays the caller's.
//
// Two engines give the same output byte for byte:
// - kFast (the default) reads the rule set once per run, on the first
//   license pass, and scores every rule with the chunk index (rule_cache.h);
// - kReference reads and normalizes every reference text and string-rule
//   file again for each file and scores each rule with chunk_match_score.
//   It is kept as the yardstick of tests and benchmarks.
// Both share the selection logic below; only how a rule's text and score
// are obtained differs.
#ifndef TARSIL_ANALYSIS_IDENTIFY_H_
#define TARSIL_ANALYSIS_IDENTIFY_H_

#include <string>
#include <string_view>

namespace tarsil {

enum class Engine { kReference, kFast };

// Chooses the engine of later identify_license calls; the default is kFast.
void set_engine(Engine engine);

// Writes the file's record (or the license-folder message); never fails
// otherwise than by ending the run as described above.
void identify_license(const std::string& path, std::string_view content);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_IDENTIFY_H_
