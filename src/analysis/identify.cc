// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/identify.h"

#include <algorithm>
#include <span>

#include "analysis/copyright.h"
#include "analysis/detect.h"
#include "analysis/passes.h"
#include "analysis/references.h"
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

// The references of `content` (references.h): none without reference data.
std::vector<ReferenceDetection> references_of(const RuleSet& rules, std::string_view content) {
  if (!rules.references) return {};
  const LicenseLookup lookup = [&rules](std::string_view name) {
    return license_spelling(rules, name);
  };
  return find_references(content, *rules.references, lookup);
}

// The reference detections as the full analysis lists them, placed in the
// normalized text by `offsets` (normalized index -> raw offset).
std::vector<Detection> reference_detections(const std::vector<ReferenceDetection>& references,
                                            std::span<const uint32_t> offsets) {
  std::vector<Detection> out;
  for (const ReferenceDetection& r : references) {
    std::optional<Expression> expression = parse_expression(r.license);
    if (!expression) continue;
    const auto at = [&offsets](std::size_t raw) {
      return static_cast<uint32_t>(std::lower_bound(offsets.begin(), offsets.end(), raw) -
                                   offsets.begin());
    };
    out.push_back(Detection{.license = r.license,
                            .expression = std::move(*expression),
                            .kind = DetectionKind::kReference,
                            .score = 100,
                            .start_line = static_cast<int>(r.start_line),
                            .end_line = static_cast<int>(r.end_line),
                            .rule = "references.txt:" + r.rule,
                            .begin = at(r.begin),
                            .end = std::max(at(r.begin), at(r.end))});
  }
  return out;
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
  std::vector<ReferenceDetection> references;  // read once, when needed
  bool references_read = false;
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
    bool reference = false;
    if (!verdict) {
      // Last, a license the file names without quoting it, written as a
      // string rule's verdict; an expression only where tags give them.
      references = references_of(rules, content);
      references_read = true;
      std::string license = reference_verdict(references);
      if (!license.empty() &&
          (settings.spdx_expressions || license.find(' ') == std::string::npos)) {
        best = BestMatch{
            .license = std::move(license), .score = 100, .rule = std::string(kStringRulesName)};
        verdict = true;
        reference = true;
      }
    }
    if ((!verdict || threshold > best.score) && result.copyright_scan) {
      best = BestMatch{.license = "None"};
      verdict = false;
    }
    debug_log(&a.log, SETTING_DEBUG, "Analysis concluded\n");
    result.verdict = Verdict{.match = !verdict       ? MatchKind::kNone
                                      : reference    ? MatchKind::kReference
                                      : best.strings ? MatchKind::kString
                                                     : MatchKind::kText,
                             .license = std::move(best.license),
                             .score = best.score,
                             .rule = std::move(best.rule)};
    if (verdict) {
      result.expression = reference ? parse_expression(result.verdict.license)
                                    : license_expression(result.verdict.license);
    }
  }
  if (settings.full_analysis) {
    // The rest of the analysis logs nothing: the log is the records' verdict's.
    Pass quiet{rules, settings, scorer, DebugLog{0, {}}};
    const std::optional<Expression> tag = find_spdx_expression(content, rules);
    if (!references_read) references = references_of(rules, content);
    const std::span<const uint32_t> at{offsets.get(), target.size()};
    result.detections =
        detect_licenses(ReadText{.raw = content, .normalized = target, .offsets = at}, first, tag,
                        reference_detections(references, at), &quiet);
    if (quiet.error && !a.error) a.error = std::move(quiet.error);
    result.file_expression = file_expression(result.detections, target);
  }
  return finish();
}

}  // namespace tarsil
