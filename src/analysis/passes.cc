// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/passes.h"

namespace tarsil {
namespace {

// Whether some rule of rules.string_dirs[dir] scores 100 against the
// target (*unit: the first that did); false for dir -1. Stops with
// a->error at a file that could not be opened.
bool match_string_dir(Pass* a, int32_t dir, uint32_t* unit_matched) {
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
      if (!matched && a->scorer.score(unit, false) == 100.0f) {
        matched = true;
        *unit_matched = unit;
      }
      ++unit;
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
                        Pass* a, BestMatch* best) {
  debug_log(&a->log, SETTING_VERBOSE, "Comparing against %s: %s\n", reference.path.c_str(),
            reference.text.c_str());
  const double rule_length = static_cast<double>(reference.text.size());
  if (score >= a->settings.threshold &&
      (score > best->score || (score == best->score && rule_length > best->rule_length))) {
    *best = BestMatch{.license = license.name,
                      .score = score,
                      .rule = reference.name,
                      .rule_length = rule_length,
                      .unit = reference.unit};
    uint32_t unused;
    const bool confirmed = match_string_dir(a, license.string_dir, &unused);
    if (a->error) return;
    if (confirmed) best->score = (100.0f + best->score) / 2.0f;
  }
  if (score != 0) {
    debug_log(&a->log, SETTING_DEBUG, "score %.2f (%.2f) %s\t: %s\n", score, best->score,
              license.proportional ? "(x)" : "", license.name.c_str());
  }
}

}  // namespace

void license_pass(std::string_view target, Pass* a, BestMatch* best,
                  std::vector<uint32_t>* candidates) {
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
    if (candidates != nullptr && score >= a->settings.threshold) candidates->push_back(unit);
    consider_reference(license, rules.reference(unit), score, a, best);
    if (a->error) return;
  }
  if (end < rules.reference_units()) {
    a->error = error_status(StatusCode::kCannotRead, rules.reference(end).path);
  }
}

void string_pass(Pass* a, BestMatch* best) {
  debug_log(&a->log, SETTING_DEBUG, "Tarsil analyzing string\n");
  *best = BestMatch{};
  if (!a->rules.strings_open) return;
  for (const int32_t dir : a->rules.string_listing) {
    uint32_t unit = kNoUnit;
    const bool matched = match_string_dir(a, dir, &unit);
    if (a->error) return;
    if (matched) {
      *best = BestMatch{.license = a->rules.string_dirs[dir].name,
                        .score = 100,
                        .rule = std::string(kStringRulesName),
                        .strings = true,
                        .unit = unit};
      return;
    }
  }
}

}  // namespace tarsil
