// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/identify.h"

#include "analysis/copyright.h"
#include "analysis/spdx_tag.h"
#include "core/log.h"
#include "match/normalize.h"

namespace tarsil {
namespace {

// The running best candidate of one file's analysis.
struct BestMatch {
  std::string license;     // license directory name, or empty
  float score = 0;         // after any confirmation by string rules
  std::string rule;        // winning reference file name, or kStringRulesName
  double rule_length = 0;  // length of the winning normalized reference text
  bool strings = false;    // found by the string pass
};

// One file's analysis under way: the log so far and the run-ending error
// once met.
struct Analysis {
  const RuleSet& rules;
  const RunSettings& settings;
  Scorer& scorer;
  DebugLog log;
  std::optional<Status> error;
};

// Whether some rule of rules.string_dirs[dir] scores 100 against the
// target; false for dir -1. Stops with a->error at a file that could not be
// opened.
bool match_string_dir(Analysis* a, int32_t dir) {
  if (dir < 0) return false;
  const StringRuleDir& strings = a->rules.string_dirs[dir];
  if (!strings.usable) return false;
  bool matched = false;
  for (const StringRuleFile& file : strings.files) {
    if (!file.opened) {
      a->error = error_status(StatusCode::kCannotOpenRuleFile, file.path);
      return false;
    }
    uint32_t unit = file.first_unit;
    for (const std::string& line : file.lines) {
      debug_log(&a->log, SETTING_VERBOSE, "Comparing against %s: %s\n", file.path.c_str(),
                line.c_str());
      if (a->scorer.score(unit++, false) == 100.0f) matched = true;
      if (matched) {
        debug_log(&a->log, SETTING_VERBOSE, "Matched licensedir\n");
        break;
      }
    }
  }
  return matched;
}

// Applies the selection rules to a reference text scoring `score`; may set
// a->error (from the string rules).
void consider_reference(const LicenseRules& license, const ReferenceText& reference, float score,
                        Analysis* a, BestMatch* best) {
  debug_log(&a->log, SETTING_VERBOSE, "Comparing against %s: %s\n", reference.path.c_str(),
            reference.text.c_str());
  const double rule_length = static_cast<double>(reference.text.size());
  if (score >= a->settings.threshold &&
      (score > best->score || (score == best->score && rule_length > best->rule_length))) {
    *best = BestMatch{license.name, score, reference.name, rule_length};
    const bool confirmed = match_string_dir(a, license.string_dir);
    if (a->error) return;
    if (confirmed) best->score = (100.0f + best->score) / 2.0f;
  }
  if (score != 0) {
    debug_log(&a->log, SETTING_DEBUG, "score %.2f (%.2f) %s\t: %s\n", score, best->score,
              license.proportional ? "(x)" : "", license.name.c_str());
  }
}

// The license pass over every reference text, in the rule set's order; stops
// at the first error (an unreadable reference text when the pass reaches it).
void license_pass(std::string_view target, Analysis* a, BestMatch* best) {
  const RuleSet& rules = a->rules;
  a->scorer.set_target(target);
  // A reference scoring 0 (none of its chunks occurs, or it is below the
  // threshold) can neither win nor log under a positive threshold, unless
  // each comparison is logged: then it is passed over.
  const bool skip_zero = a->settings.threshold > 0 && (a->settings.setting & SETTING_VERBOSE) == 0;
  // Units before the first unreadable reference, then that one's error.
  const uint32_t end = rules.first_unreadable_unit;
  const auto next = [&](uint32_t from) {
    return skip_zero ? a->scorer.next_candidate(from, end) : from;
  };
  for (uint32_t unit = next(0); unit < end; unit = next(unit + 1)) {
    const LicenseRules& license = rules.licenses[rules.reference_of_unit[unit].first];
    const float score = a->scorer.score(unit, license.proportional);
    if (skip_zero && score == 0) continue;
    consider_reference(license, rules.reference(unit), score, a, best);
    if (a->error) return;
  }
  if (end < rules.reference_units()) {
    a->error = error_status(StatusCode::kCannotRead, rules.reference(end).path);
  }
}

// The string pass: the first strings.d/<S> whose rules match. Stops at the
// first error.
void string_pass(Analysis* a, BestMatch* best) {
  debug_log(&a->log, SETTING_DEBUG, "Tarsil analyzing string\n");
  *best = BestMatch{};
  if (!a->rules.strings_open) return;
  for (const int32_t dir : a->rules.string_listing) {
    const bool matched = match_string_dir(a, dir);
    if (a->error) return;
    if (matched) {
      *best =
          BestMatch{a->rules.string_dirs[dir].name, 100, std::string(kStringRulesName), 0, true};
      return;
    }
  }
}

// Fills the tag verdict when a tag settles the file; false otherwise.
bool tag_verdict(const RuleSet& rules, const RunSettings& settings, std::string_view content,
                 FileResult* result) {
  std::optional<Expression> expression;
  if (settings.spdx_expressions) {
    expression = find_spdx_expression(content, rules);
  } else if (std::optional<std::string> id = find_spdx_identifier(content, rules)) {
    expression = license_expression(std::move(*id));
  }
  if (!expression) return false;
  result->verdict = Verdict{.match = MatchKind::kSpdxTag, .license = print_expression(*expression)};
  result->expression = std::move(expression);
  return true;
}

}  // namespace

FileResult analyze(const RuleSet& rules, const RunSettings& settings, Scorer& scorer,
                   const std::string& path, std::string_view content) {
  FileResult result{.path = path};
  result.copyright_scan = (settings.setting & SETTING_COPYRIGHT) != 0;
  if (result.copyright_scan) {
    const bool pretty = (settings.setting & SETTING_PRETTY) != 0;
    std::vector<CopyrightEntry> entries = copyright_entries(content, pretty);
    result.copyright_object = copyright_object(entries, pretty);
    result.copyrights.reserve(entries.size());
    for (CopyrightEntry& entry : entries) result.copyrights.push_back(std::move(entry.text));
  }
  if (tag_verdict(rules, settings, content, &result)) return result;

  const std::string target = normalize_text(content);
  Analysis a{rules, settings, scorer, DebugLog{settings.setting, {}}, std::nullopt};
  debug_log(&a.log, SETTING_VERBOSE, "Target: %s\n", target.c_str());
  debug_log(&a.log, SETTING_DEBUG, "Tarsil analyzing license\n");
  const auto finish = [&result, &a]() -> FileResult& {
    result.log = std::move(a.log.text);
    result.error = std::move(a.error);
    return result;
  };
  if (!rules.licenses_open) {
    result.licenses_open = false;
    return finish();
  }
  BestMatch best;
  license_pass(target, &a, &best);
  if (a.error) return finish();
  const float threshold = settings.threshold;
  if (best.license.empty() || threshold > best.score) string_pass(&a, &best);
  if (a.error) return finish();
  bool verdict = !best.license.empty();
  if ((!verdict || threshold > best.score) && result.copyright_scan) {
    best = BestMatch{"None", 0, "", 0};
    verdict = false;
  }
  debug_log(&a.log, SETTING_DEBUG, "Analysis concluded\n");
  result.verdict = Verdict{.match = !verdict       ? MatchKind::kNone
                                    : best.strings ? MatchKind::kString
                                                   : MatchKind::kText,
                           .license = std::move(best.license),
                           .score = best.score,
                           .rule = std::move(best.rule)};
  if (verdict) result.expression = license_expression(result.verdict.license);
  return finish();
}

}  // namespace tarsil
