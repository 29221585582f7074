// The rule cache: the run's rule set read once, with the chunk index over all
// of its texts, for the fast engine.
//
// Contract:
// - `rule_cache()` loads the rule set the first time it is called, and again
//   whenever licensedir, stringdir, minbytes or minwords of run_settings
//   differ from those it was loaded with. Loading walks the directories the
//   way the license and string passes do (listing order, hidden names
//   skipped, the same type tests) and keeps every normalized reference text
//   and every normalized string-rule line; it writes nothing and never ends
//   the run. A file that cannot be opened is remembered as such, and the
//   pass that reaches it reports it then, so messages come at the same point
//   as when files are read on demand.
// - Listings and file contents are taken as they were at loading time: the
//   rule set is assumed not to change during a run.
// - `score_target` prepares the cache for one target; `cached_score` then
//   returns, for any reference text or string-rule line, exactly
//   chunk_match_score(text, target, proportional).
// - `match_cached_string_dir` behaves like match_string_dir on
//   stringdir/<name> (same result, same log lines, same fatal error at the
//   same point) without touching the disk.
// - Memory stays bounded by the rule set's size, whatever the number of
//   targets.
#ifndef TARSIL_MATCH_RULE_CACHE_H_
#define TARSIL_MATCH_RULE_CACHE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "match/chunk_index.h"

namespace tarsil {

// licenses.d/<L>/<R>.
struct CachedReference {
  std::string name;  // R
  std::string path;  // licensedir/L/R
  std::string text;  // normalized; empty when unreadable
  bool readable = false;
  uint32_t unit = 0;  // in the chunk index
};

// licenses.d/<L>, a directory that could be opened.
struct CachedLicense {
  std::string name;           // L
  bool proportional = false;  // is_proportional_license(L)
  int32_t string_dir = -1;    // index of stringdir/L in RuleCache::string_dirs
  std::vector<CachedReference> references;
};

// A regular file of string rules: its normalized lines, in file order.
struct CachedStringFile {
  std::string path;
  bool opened = false;
  std::vector<std::string> lines;
  uint32_t first_unit = 0;  // the lines are units first_unit, first_unit + 1, ...
};

// stringdir/<name>; `usable` when it is a directory that could be opened.
struct CachedStringDir {
  std::string name;
  bool usable = false;
  std::vector<CachedStringFile> files;
};

struct RuleCache {
  // The settings the cache was loaded with.
  std::string licensedir;
  std::string stringdir;
  int minbytes = 0;
  int minwords = 0;

  bool licenses_open = false;  // licensedir could be opened
  std::vector<CachedLicense> licenses;
  bool strings_open = false;            // stringdir could be opened
  std::vector<int32_t> string_listing;  // non-hidden entries of stringdir, in listing order
  std::vector<CachedStringDir> string_dirs;

  // Per unit of a reference text (units 0 .. size - 1): its license and its
  // position in that license's references.
  std::vector<std::pair<uint32_t, uint32_t>> reference_of_unit;
  // The unit of the first unreadable reference text; reference_of_unit.size()
  // when all are readable.
  uint32_t first_unreadable_unit = 0;

  ChunkIndex index;
  ChunkMatches matches;  // for the current target
  int target_words = 0;  // of the current target
};

// Returns the cache for the current run settings, loading it if needed;
// never fails (unreadable files are remembered, see above).
RuleCache& rule_cache();

// Makes `target` (normalized) the cache's current target; never fails.
void score_target(RuleCache& cache, std::string_view target);

// Returns the chunk match score of unit `unit` against the current target.
float cached_score(const RuleCache& cache, uint32_t unit, bool proportional);

// The string-rule test of cache.string_dirs[dir] against the current target,
// as match_string_dir would do it; false for dir -1. Ends the run like
// match_string_dir when it reaches a file that could not be opened.
bool match_cached_string_dir(const RuleCache& cache, int32_t dir);

}  // namespace tarsil

#endif  // TARSIL_MATCH_RULE_CACHE_H_
