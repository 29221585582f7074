// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/identify.h"

#include "analysis/copyright.h"
#include "analysis/detect.h"
#include "analysis/passes.h"
#include "analysis/spdx_tag.h"
#include "core/log.h"
#include "match/normalize.h"

namespace tarsil {
namespace {

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
                   const std::string& path, std::string_view content, std::string_view wider) {
  FileResult result{.path = path, .full_analysis = settings.full_analysis};
  result.copyright_scan = (settings.setting & SETTING_COPYRIGHT) != 0;
  if (settings.copyright_statements) {
    CopyrightFindings found = find_copyright_statements(wider.empty() ? content : wider);
    result.statements = std::move(found.statements);
    result.authors = std::move(found.authors);
  } else if (result.copyright_scan) {
    const bool pretty = (settings.setting & SETTING_PRETTY) != 0;
    result.copyright_object = copyright_object(copyright_entries(content, pretty), pretty);
  }
  const bool tagged = tag_verdict(rules, settings, content, &result);
  if (tagged && !settings.full_analysis) return result;

  std::unique_ptr<uint32_t[]> offsets;
  const std::string target =
      settings.full_analysis ? normalize_with_offsets(content, &offsets) : normalize_text(content);
  Pass a{rules, settings, scorer, DebugLog{tagged ? 0 : settings.setting, {}}};
  const auto finish = [&result, &a]() -> FileResult& {
    result.log = std::move(a.log.text);
    result.error = std::move(a.error);
    return result;
  };
  FirstPass first;
  if (!tagged) {
    debug_log(&a.log, SETTING_VERBOSE, "Target: %s\n", target.c_str());
    debug_log(&a.log, SETTING_DEBUG, "Tarsil analyzing license\n");
    if (!rules.licenses_open) {
      result.licenses_open = false;
      return finish();
    }
    BestMatch best;
    license_pass(target, &a, &best, settings.full_analysis ? &first.candidates : nullptr);
    if (a.error) return finish();
    const float threshold = settings.threshold;
    if (!best.license.empty() && best.score >= threshold) first.best = best;
    if (best.license.empty() || threshold > best.score) string_pass(&a, &best);
    if (a.error) return finish();
    first.ran = true;
    if (best.strings) first.best = best;
    bool verdict = !best.license.empty();
    if ((!verdict || threshold > best.score) && result.copyright_scan) {
      best = BestMatch{.license = "None"};
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
  }
  if (settings.full_analysis) {
    // The rest of the analysis logs nothing: the log is the records' verdict's.
    Pass quiet{rules, settings, scorer, DebugLog{0, {}}};
    const std::optional<Expression> tag = find_spdx_expression(content, rules);
    result.detections = detect_licenses(
        ReadText{.raw = content, .normalized = target, .offsets = {offsets.get(), target.size()}},
        first, tag, &quiet);
    if (quiet.error && !a.error) a.error = std::move(quiet.error);
    result.file_expression = file_expression(result.detections, target);
  }
  return finish();
}

}  // namespace tarsil
