// String rules: one characteristic line of a license per line of a file under
// strings.d/<ID>/.
//
// Contract:
// - `match_string_dir` is true when some line of some regular, non-hidden
//   file directly in `dir` normalizes to a rule scoring exactly 100 against
//   `target` (plain mode, the run's minbytes, minwords and threshold).
// - A missing or unopenable `dir` gives false. A rule file that cannot be
//   opened ends the run: "ERROR: Cannot open %s during string detection\n" on
//   standard error, status 1.
// - Once a line matched, the walk still goes on over the remaining files:
//   each is opened, its first line compared and logged, and the match logged
//   again. Level-2 log lines: "Comparing against %s: %s\n" per line compared,
//   "Matched licensedir\n" per file ended by a match.
#ifndef TARSIL_MATCH_STRING_RULES_H_
#define TARSIL_MATCH_STRING_RULES_H_

#include <string>
#include <string_view>

namespace tarsil {

bool match_string_dir(const std::string& dir, std::string_view target);

}  // namespace tarsil

#endif  // TARSIL_MATCH_STRING_RULES_H_
