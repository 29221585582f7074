#include "analysis/identify.h"

#include <cerrno>
#include <cstdio>
#include <optional>

#include "analysis/copyright.h"
#include "analysis/record.h"
#include "analysis/spdx.h"
#include "cli/settings.h"
#include "match/chunk_score.h"
#include "match/handles.h"
#include "match/rule_cache.h"
#include "match/string_rules.h"
#include "match/text.h"

namespace tarsil {
namespace {

Engine engine_in_use = Engine::kFast;

// Where a reference text's score and its license's string rules come from:
// with `cache`, the fast engine's index (`unit`, `string_dir` locate them);
// without, the disk and chunk_match_score.
struct Scoring {
  const RuleCache* cache = nullptr;
  uint32_t unit = 0;
  int32_t string_dir = -1;
};

// Scores one normalized reference text of `license` (proportional as
// is_proportional_license(license) says) and applies the selection rules to `best`.
void consider_reference(const std::string& license, bool proportional, const std::string& name,
                        const std::string& path, const std::string& rule, const Scoring& scoring,
                        std::string_view target, BestMatch* best) {
  debug_log(SETTING_VERBOSE, "Comparing against %s: %s\n", path.c_str(), rule.c_str());
  const double rule_length = static_cast<double>(rule.size());
  const float score = scoring.cache != nullptr
                          ? cached_score(*scoring.cache, scoring.unit, proportional)
                          : chunk_match_score(rule, target, proportional);
  if (score >= run_settings.threshold &&
      (score > best->score || (score == best->score && rule_length > best->rule_length))) {
    *best = BestMatch{license, score, name, rule_length};
    const bool confirmed = scoring.cache != nullptr
                               ? match_cached_string_dir(*scoring.cache, scoring.string_dir)
                               : match_string_dir(run_settings.stringdir + "/" + license, target);
    if (confirmed) best->score = (100.0f + best->score) / 2.0f;
  }
  if (score != 0) {
    debug_log(SETTING_DEBUG, "score %.2f (%.2f) %s\t: %s\n", score, best->score,
              proportional ? "(x)" : "", license.c_str());
  }
}

// The license pass reading every reference text from disk; false when the
// license directory cannot be opened.
bool reference_license_pass(std::string_view target, BestMatch* best) {
  const std::string& root = run_settings.licensedir;
  DirPtr licenses(opendir(root.c_str()));
  if (!licenses) return false;
  while (const dirent* license_entry = readdir(licenses.get())) {
    if (is_hidden_name(license_entry->d_name)) continue;
    const std::string license = license_entry->d_name;
    const std::string license_path = root + "/" + license;
    if (!is_directory(license_path)) continue;
    DirPtr references(opendir(license_path.c_str()));
    if (!references) continue;
    const bool proportional = is_proportional_license(license);
    while (const dirent* entry = readdir(references.get())) {
      if (is_hidden_name(entry->d_name)) continue;
      const std::string path = license_path + "/" + entry->d_name;
      if (!is_regular_file(path)) continue;
      const std::string rule = read_normalized_file(path);
      consider_reference(license, proportional, entry->d_name, path, rule, Scoring{}, target, best);
    }
  }
  return true;
}

// The license pass over the rule cache, which it first points at `target`;
// false when the license directory could not be opened. An unreadable
// reference text ends the run when the pass reaches it.
bool fast_license_pass(std::string_view target, RuleCache& cache, BestMatch* best) {
  if (!cache.licenses_open) return false;
  score_target(cache, target);
  // A reference scoring 0 (none of its chunks occurs, or its score is below
  // the threshold) can neither win nor log under a positive threshold, so
  // unless each comparison is logged it is passed over.
  const bool skip_zero =
      run_settings.threshold > 0 && (run_settings.setting & SETTING_VERBOSE) == 0;
  if (skip_zero) {
    // Only references with a found chunk can score: visit those alone, in
    // the pass's order (units ascending), up to the first unreadable
    // reference, which ends the run when reached. A scan of the per-unit
    // counts costs less than sorting the touched units of a long target.
    const std::vector<int32_t>& matched = cache.matches.matched;
    for (uint32_t unit = 0; unit < cache.first_unreadable_unit; ++unit) {
      if (matched[unit] == 0) continue;
      const auto [l, r] = cache.reference_of_unit[unit];
      const CachedLicense& license = cache.licenses[l];
      const bool proportional = license.proportional;
      if (cached_score(cache, unit, proportional) == 0) continue;
      const CachedReference& reference = license.references[r];
      consider_reference(license.name, proportional, reference.name, reference.path, reference.text,
                         Scoring{&cache, unit, license.string_dir}, target, best);
    }
    if (cache.first_unreadable_unit < cache.reference_of_unit.size()) {
      const auto [l, r] = cache.reference_of_unit[cache.first_unreadable_unit];
      fatal_stdout("ERROR: Cannot read " + cache.licenses[l].references[r].path + "\n");
    }
    return true;
  }
  for (const CachedLicense& license : cache.licenses) {
    const bool proportional = license.proportional;
    for (const CachedReference& reference : license.references) {
      if (!reference.readable) fatal_stdout("ERROR: Cannot read " + reference.path + "\n");
      consider_reference(license.name, proportional, reference.name, reference.path, reference.text,
                         Scoring{&cache, reference.unit, license.string_dir}, target, best);
    }
  }
  return true;
}

// The string pass: the first strings.d/<S> whose rules match, from the
// cache when there is one, else from disk.
void string_pass(std::string_view target, const RuleCache* cache, BestMatch* best) {
  debug_log(SETTING_DEBUG, "Tarsil analyzing string\n");
  *best = BestMatch{};
  if (cache != nullptr) {
    if (!cache->strings_open) return;
    for (const int32_t dir : cache->string_listing) {
      if (match_cached_string_dir(*cache, dir)) {
        *best = BestMatch{cache->string_dirs[dir].name, 100, "strings.d", 0};
        return;
      }
    }
    return;
  }
  const std::string& root = run_settings.stringdir;
  DirPtr strings(opendir(root.c_str()));
  if (!strings) return;
  while (const dirent* entry = readdir(strings.get())) {
    if (is_hidden_name(entry->d_name)) continue;
    if (match_string_dir(root + "/" + entry->d_name, target)) {
      *best = BestMatch{entry->d_name, 100, "strings.d", 0};
      return;
    }
  }
}

}  // namespace

void set_engine(Engine engine) {
  engine_in_use = engine;
}

void identify_license(const std::string& path, std::string_view content) {
  const bool copyright_scan = (run_settings.setting & SETTING_COPYRIGHT) != 0;
  const std::string copyright =
      copyright_scan ? extract_copyrights(content, (run_settings.setting & SETTING_PRETTY) != 0)
                     : "\"\"";
  if (const std::optional<std::string> id = run_settings.spdx_expressions
                                                ? find_spdx_expression(content)
                                                : find_spdx_identifier(content)) {
    print_spdx_record(*id, path, copyright);
    return;
  }
  const std::string target = normalize_text(content);
  debug_log(SETTING_VERBOSE, "Target: %s\n", target.c_str());
  debug_log(SETTING_DEBUG, "Tarsil analyzing license\n");

  BestMatch best;
  RuleCache* const cache = engine_in_use == Engine::kFast ? &rule_cache() : nullptr;
  const bool licenses_open = cache != nullptr ? fast_license_pass(target, *cache, &best)
                                              : reference_license_pass(target, &best);
  if (!licenses_open) {
    if (std::printf("Can't open license folder: %s\n", run_settings.licensedir.c_str()) < 0) {
      output_failed(errno);
    }
    return;
  }
  const float threshold = run_settings.threshold;
  if (best.license.empty() || threshold > best.score) string_pass(target, cache, &best);
  if ((best.license.empty() || threshold > best.score) && copyright_scan) {
    best = BestMatch{"None", 0, "", 0};
  }
  debug_log(SETTING_DEBUG, "Analysis concluded\n");
  print_general_record(best, path, copyright);
}

}  // namespace tarsil
