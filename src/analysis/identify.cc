// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/identify.h"

#include "analysis/copyright.h"
#include "analysis/reference_rules.h"
#include "analysis/spdx.h"
#include "match/chunk_score.h"
#include "match/handles.h"
#include "match/string_rules.h"
#include "match/text.h"

namespace tarsil {
namespace {

// One file's analysis under way: its settings, normalized target, the fast
// engine's cache and scores (null for the reference engine), the log so far
// and the run-ending error once met.
struct Analysis {
  const RunSettings& settings;
  std::string_view target;
  const RuleCache* cache = nullptr;
  TargetScores* scores = nullptr;
  DebugLog log;
  std::optional<RunError> error;
};

// Where a reference text's score and its license's string rules come from:
// with the analysis' cache, the fast engine's index (`unit`, `string_dir`
// locate them); without, the disk and chunk_match_score.
struct Scoring {
  uint32_t unit = 0;
  int32_t string_dir = -1;
};

// Scores one normalized reference text of `license` (proportional as
// is_proportional_license(license) says) and applies the selection rules to
// `best`; may set a->error (from the string rules).
void consider_reference(const std::string& license, bool proportional, const std::string& name,
                        const std::string& path, const std::string& rule, const Scoring& scoring,
                        Analysis* a, BestMatch* best) {
  debug_log(&a->log, SETTING_VERBOSE, "Comparing against %s: %s\n", path.c_str(), rule.c_str());
  const double rule_length = static_cast<double>(rule.size());
  const float score = a->cache != nullptr
                          ? cached_score(*a->cache, *a->scores, scoring.unit, proportional)
                          : chunk_match_score(rule, a->target, proportional, a->settings);
  if (score >= a->settings.threshold &&
      (score > best->score || (score == best->score && rule_length > best->rule_length))) {
    *best = BestMatch{license, score, name, rule_length};
    const bool confirmed =
        a->cache != nullptr
            ? match_cached_string_dir(*a->cache, *a->scores, scoring.string_dir, &a->log, &a->error)
            : match_string_dir(a->settings.stringdir + "/" + license, a->target, a->settings,
                               &a->log, &a->error);
    if (a->error) return;
    if (confirmed) best->score = (100.0f + best->score) / 2.0f;
  }
  if (score != 0) {
    debug_log(&a->log, SETTING_DEBUG, "score %.2f (%.2f) %s\t: %s\n", score, best->score,
              proportional ? "(x)" : "", license.c_str());
  }
}

// The license pass reading every reference text from disk; false when the
// license directory cannot be opened. Stops at the first error.
bool reference_license_pass(Analysis* a, BestMatch* best) {
  const std::string& root = a->settings.licensedir;
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
      std::string raw;
      if (!try_read_text_file(path, &raw)) {
        a->error = cannot_read_error(path);
        return true;
      }
      const std::string rule = normalize_text(raw);
      consider_reference(license, proportional, entry->d_name, path, rule, Scoring{}, a, best);
      if (a->error) return true;
    }
  }
  return true;
}

// The license pass over the rule cache, which it first points at the
// target; false when the license directory could not be opened. An
// unreadable reference text ends the analysis when the pass reaches it.
bool fast_license_pass(Analysis* a, BestMatch* best) {
  const RuleCache& cache = *a->cache;
  if (!cache.licenses_open) return false;
  score_target(cache, a->target, a->scores);
  const auto unreadable = [&cache](uint32_t unit) {
    const auto [l, r] = cache.reference_of_unit[unit];
    return cannot_read_error(cache.licenses[l].references[r].path);
  };
  // A reference scoring 0 (none of its chunks occurs, or its score is below
  // the threshold) can neither win nor log under a positive threshold, so
  // unless each comparison is logged it is passed over.
  const bool skip_zero = a->settings.threshold > 0 && (a->settings.setting & SETTING_VERBOSE) == 0;
  if (skip_zero) {
    // Only references with a found chunk can score: visit those alone, in
    // the pass's order (units ascending), up to the first unreadable
    // reference, which ends the analysis when reached. A scan of the
    // per-unit counts costs less than sorting the touched units of a long
    // target.
    const std::vector<int32_t>& matched = a->scores->matches.matched;
    for (uint32_t unit = 0; unit < cache.first_unreadable_unit; ++unit) {
      if (matched[unit] == 0) continue;
      const auto [l, r] = cache.reference_of_unit[unit];
      const CachedLicense& license = cache.licenses[l];
      const bool proportional = license.proportional;
      if (cached_score(cache, *a->scores, unit, proportional) == 0) continue;
      const CachedReference& reference = license.references[r];
      consider_reference(license.name, proportional, reference.name, reference.path, reference.text,
                         Scoring{unit, license.string_dir}, a, best);
      if (a->error) return true;
    }
    if (cache.first_unreadable_unit < cache.reference_of_unit.size()) {
      a->error = unreadable(cache.first_unreadable_unit);
    }
    return true;
  }
  for (const CachedLicense& license : cache.licenses) {
    const bool proportional = license.proportional;
    for (const CachedReference& reference : license.references) {
      if (!reference.readable) {
        a->error = unreadable(reference.unit);
        return true;
      }
      consider_reference(license.name, proportional, reference.name, reference.path, reference.text,
                         Scoring{reference.unit, license.string_dir}, a, best);
      if (a->error) return true;
    }
  }
  return true;
}

// The string pass: the first strings.d/<S> whose rules match, from the
// cache when there is one, else from disk. Stops at the first error.
void string_pass(Analysis* a, BestMatch* best) {
  debug_log(&a->log, SETTING_DEBUG, "Tarsil analyzing string\n");
  *best = BestMatch{};
  if (a->cache != nullptr) {
    const RuleCache& cache = *a->cache;
    if (!cache.strings_open) return;
    for (const int32_t dir : cache.string_listing) {
      const bool matched = match_cached_string_dir(cache, *a->scores, dir, &a->log, &a->error);
      if (a->error) return;
      if (matched) {
        *best = BestMatch{cache.string_dirs[dir].name, 100, "strings.d", 0};
        return;
      }
    }
    return;
  }
  const std::string& root = a->settings.stringdir;
  DirPtr strings(opendir(root.c_str()));
  if (!strings) return;
  while (const dirent* entry = readdir(strings.get())) {
    if (is_hidden_name(entry->d_name)) continue;
    const bool matched =
        match_string_dir(root + "/" + entry->d_name, a->target, a->settings, &a->log, &a->error);
    if (a->error) return;
    if (matched) {
      *best = BestMatch{entry->d_name, 100, "strings.d", 0};
      return;
    }
  }
}

}  // namespace

FileResult analyze(const RuleSet& rules, const std::string& path, std::string_view content,
                   TargetScores* scores) {
  const RunSettings& settings = rules.settings;
  FileResult result;
  FileRecord record;
  record.path = path;
  const bool copyright_scan = (settings.setting & SETTING_COPYRIGHT) != 0;
  if (copyright_scan) {
    const bool pretty = (settings.setting & SETTING_PRETTY) != 0;
    std::vector<CopyrightEntry> entries = copyright_entries(content, pretty);
    record.copyright = copyright_object(entries, pretty);
    record.copyrights.reserve(entries.size());
    for (CopyrightEntry& entry : entries) record.copyrights.push_back(std::move(entry.text));
  } else {
    record.copyright = "\"\"";
  }
  if (std::optional<std::string> id = settings.spdx_expressions
                                          ? find_spdx_expression(content, settings)
                                          : find_spdx_identifier(content, settings)) {
    record.spdx = true;
    record.match = MatchKind::kSpdxTag;
    record.license = std::move(*id);
    result.record = std::move(record);
    return result;
  }
  const std::string target = normalize_text(content);
  Analysis a{settings, target, nullptr, nullptr, DebugLog{settings.setting, {}}, std::nullopt};
  debug_log(&a.log, SETTING_VERBOSE, "Target: %s\n", target.c_str());
  debug_log(&a.log, SETTING_DEBUG, "Tarsil analyzing license\n");

  BestMatch best;
  TargetScores own_scores;  // when the caller brings none
  if (rules.engine == Engine::kFast) {
    a.cache = &rule_cache(rules);
    a.scores = scores != nullptr ? scores : &own_scores;
  }
  const bool licenses_open =
      a.cache != nullptr ? fast_license_pass(&a, &best) : reference_license_pass(&a, &best);
  const auto finish = [&result, &a]() -> FileResult& {
    result.log = std::move(a.log.text);
    result.error = std::move(a.error);
    return result;
  };
  if (!licenses_open || a.error) return finish();
  const float threshold = settings.threshold;
  if (best.license.empty() || threshold > best.score) string_pass(&a, &best);
  if (a.error) return finish();
  bool verdict = !best.license.empty();
  bool reference = false;
  if (!verdict || threshold > best.score) {
    // Last, a license the file names without quoting it (references.h).
    const std::shared_ptr<const ReferenceRules> references = reference_rules(settings.licensedir);
    if (references->error) {
      a.error = references->error;
      return finish();
    }
    if (references->data) {
      std::string license =
          reference_verdict(find_references(content, *references->data, references->lookup));
      // An expression is a verdict only where tags give expressions too.
      if (!settings.spdx_expressions && license.find(' ') != std::string::npos) license.clear();
      if (!license.empty()) {
        debug_log(&a.log, SETTING_DEBUG, "Reference: %s\n", license.c_str());
        best = BestMatch{std::move(license), 100, "strings.d", 0};
        verdict = true;
        reference = true;
      }
    }
  }
  if ((!verdict || threshold > best.score) && copyright_scan) {
    best = BestMatch{"None", 0, "", 0};
    verdict = false;
  }
  record.match = !verdict                   ? MatchKind::kNone
                 : reference                ? MatchKind::kReference
                 : best.rule == "strings.d" ? MatchKind::kString
                                            : MatchKind::kText;
  debug_log(&a.log, SETTING_DEBUG, "Analysis concluded\n");
  record.license = std::move(best.license);
  record.score = best.score;
  record.rule = std::move(best.rule);
  result.record = std::move(record);
  return finish();
}

std::string result_output(FileResult* result, const RunSettings& settings) {
  if (result->error) return std::move(result->log);
  const bool pretty = (settings.setting & SETTING_PRETTY) != 0;
  if (result->record && result->log.empty()) return format_record(*result->record, pretty);
  std::string out = std::move(result->log);
  if (result->record) {
    out += format_record(*result->record, pretty);
  } else {
    out += "Can't open license folder: " + settings.licensedir + "\n";
  }
  return out;
}

}  // namespace tarsil
