// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The rule set of a run, and the rule cache: the rule set read once, with the
// chunk index over all of its texts, for the fast engine.
//
// Contract:
// - A `RuleSet` names the engine and the settings a run analyses with. For
//   the fast engine, `rule_cache(rules)` loads the cache the first time it is
//   called (from any thread; concurrent callers wait for the one load) and
//   returns the same immutable cache afterwards, so it is shared by all
//   threads without locks. The reference engine never loads one.
// - Loading walks the directories the way the license and string passes do
//   (listing order, hidden names skipped, the same type tests) and keeps
//   every normalized reference text and every normalized string-rule line;
//   it writes nothing and never fails. A file that cannot be opened is
//   remembered as such, and the pass that reaches it reports it then, so
//   errors come at the same point as when files are read on demand.
// - Listings and file contents are taken as they were at loading time: the
//   rule set is assumed not to change during a run.
// - `score_target` fills a caller-owned TargetScores for one target;
//   `cached_score` then returns, for any reference text or string-rule line,
//   exactly chunk_match_score(text, target, proportional, settings).
// - `match_cached_string_dir` behaves like match_string_dir on
//   stringdir/<name> (same result, same log lines, same error at the same
//   point) without touching the disk.
// - Memory stays bounded by the rule set's size, whatever the number of
//   targets; each thread's TargetScores adds a few bytes per rule text and
//   chunk.
#ifndef TARSIL_MATCH_RULE_CACHE_H_
#define TARSIL_MATCH_RULE_CACHE_H_

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/error.h"
#include "core/log.h"
#include "core/settings.h"
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
  float threshold = 0;

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
};

// One target's matches against a cache: owned by the thread analysing it,
// reused from one target to the next.
struct TargetScores {
  ChunkMatches matches;
  int target_words = 0;
};

// kFast reads the rule set once per run and scores every rule with the chunk
// index; kReference reads and normalizes every rule file again for each
// file and scores each rule with chunk_match_score (the tests' yardstick).
enum class Engine { kReference, kFast };

struct RuleSet {
  RuleSet(Engine engine, const RunSettings& settings) : engine(engine), settings(settings) {}
  const Engine engine;
  const RunSettings settings;
  mutable std::once_flag loaded;
  mutable std::unique_ptr<const RuleCache> cache;
};

// Returns the cache of `rules`, loading it on the first call; never fails
// (unreadable files are remembered, see above). Fast engine only.
const RuleCache& rule_cache(const RuleSet& rules);

// Reads the whole rule set of `settings` and indexes it; never fails.
std::unique_ptr<const RuleCache> load_rule_cache(const RunSettings& settings);

// Fills *scores for `target` (normalized); never fails.
void score_target(const RuleCache& cache, std::string_view target, TargetScores* scores);

// Returns the chunk match score of unit `unit` against the target of `scores`.
float cached_score(const RuleCache& cache, const TargetScores& scores, uint32_t unit,
                   bool proportional);

// The string-rule test of cache.string_dirs[dir] against the target of
// `scores`, as match_string_dir would do it (log lines to *log); false for
// dir -1. Returns false with *error set when it reaches a file that could not
// be opened.
bool match_cached_string_dir(const RuleCache& cache, const TargetScores& scores, int32_t dir,
                             DebugLog* log, std::optional<RunError>* error);

}  // namespace tarsil

#endif  // TARSIL_MATCH_RULE_CACHE_H_
