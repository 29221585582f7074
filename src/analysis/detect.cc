// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/detect.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "analysis/gnu_grant.h"
#include "analysis/references.h"
#include "match/chunk_index.h"

namespace tarsil {
namespace {

// Chunks further apart than this belong to different runs.
constexpr uint32_t kRunGap = 1500;
// How far after the chunk before a chunk is looked for.
constexpr std::size_t kFarWindow = 4096;
// How far before a detection the words offering a choice are looked for.
constexpr std::size_t kLeadWindow = 400;
// How far after a second license "at your option" may follow.
constexpr std::size_t kTrailWindow = 60;
// Two detections further apart than this are never a choice of licenses.
constexpr std::size_t kChoiceGap = 600;

// The first occurrence of `chunk` in target[from, to), or npos.
std::size_t find_in(std::string_view target, std::size_t from, std::size_t to,
                    std::string_view chunk) {
  if (from >= to || to - from < chunk.size()) return std::string_view::npos;
  const void* const hit = memmem(target.data() + from, to - from, chunk.data(), chunk.size());
  return hit == nullptr ? std::string_view::npos
                        : static_cast<std::size_t>(static_cast<const char*>(hit) - target.data());
}

// The 1-based line of raw offset `at`.
int line_of(const std::vector<uint32_t>& newlines, uint32_t at) {
  return 1 + static_cast<int>(std::lower_bound(newlines.begin(), newlines.end(), at) -
                              newlines.begin());
}

// True when the whole word sequence `words` ("DUAL|LICENSED") occurs in the
// normalized `text` between bars.
bool has_words(std::string_view text, std::string_view words) {
  for (std::size_t at = text.find(words); at != std::string_view::npos;
       at = text.find(words, at + 1)) {
    const bool starts = at == 0 || text[at - 1] == '|' || text[at - 1] == '.';
    const std::size_t end = at + words.size();
    const bool ends = end == text.size() || text[end] == '|' || text[end] == '.';
    if (starts && ends) return true;
  }
  return false;
}

bool offers_choice(std::string_view text) {
  for (const std::string_view words :
       {"DUAL", "DUALLY", "EITHER", "CHOICE", "CHOOSE", "ALTERNATIVELY", "AT|YOUR|OPTION",
        "MULTI|LICENSED", "TRIPLE|LICENSED"}) {
    if (has_words(text, words)) return true;
  }
  return false;
}

// The detections' lines, from their normalized positions.
struct Lines {
  const ReadText& text;
  std::vector<uint32_t> newlines;

  explicit Lines(const ReadText& t) : text(t) {
    const char* const begin = t.raw.data();
    const char* const end = begin + t.raw.size();
    for (const char* at = begin; (at = static_cast<const char*>(std::memchr(at, '\n', end - at)));
         ++at) {
      newlines.push_back(static_cast<uint32_t>(at - begin));
    }
  }
  void set(Detection* d) const {
    if (d->end <= d->begin || d->end > text.offsets.size()) return;
    d->start_line = line_of(newlines, text.offsets[d->begin]);
    d->end_line = line_of(newlines, text.offsets[d->end - 1]);
  }
};

// The tag's detection: the line of the first tag, and its place in the
// normalized text.
Detection tag_detection(const ReadText& text, const Expression& tag, const Lines& lines) {
  Detection d{.license = print_expression(tag),
              .expression = tag,
              .kind = DetectionKind::kTag,
              .score = 100,
              .rule = "SPDX-License-Identifier"};
  const std::string_view raw = text.raw.substr(0, text.raw.find('\0'));
  const std::size_t at = raw.find("SPDX-License-Identifier:");
  const std::size_t line_end = std::min(raw.find('\n', at), raw.size());
  const auto begin = std::lower_bound(text.offsets.begin(), text.offsets.end(), at);
  const auto end = std::lower_bound(begin, text.offsets.end(), line_end);
  d.begin = static_cast<uint32_t>(begin - text.offsets.begin());
  d.end = static_cast<uint32_t>(end - text.offsets.begin());
  d.start_line = d.end_line = line_of(lines.newlines, static_cast<uint32_t>(at));
  return d;
}

bool is_notice(std::string_view rule) {
  return rule.starts_with("notice");
}

// The span of `inner` lying inside `outer`, as a share of `inner`.
double inside_share(const Placement& inner, const Placement& outer) {
  if (inner.end <= inner.begin) return 1;
  const uint32_t from = std::max(inner.begin, outer.begin), to = std::min(inner.end, outer.end);
  return to > from ? static_cast<double>(to - from) / (inner.end - inner.begin) : 0;
}

// A license without its "-only", "-or-later" or "+": two ids of one key
// name one license text.
std::string_view license_key(std::string_view id) {
  for (const std::string_view suffix : {"-only", "-or-later", "+"}) {
    if (id.ends_with(suffix)) return id.substr(0, id.size() - suffix.size());
  }
  return id;
}

// True when some candidate is of a license not yet found (by key) and its
// text is not one that lies inside the winner's (the MIT grant inside an
// X11 text): then the text outside what was set aside is matched again,
// which alone tells whether that license reaches the threshold there.
bool other_license_found(const std::vector<uint32_t>& candidates,
                         const std::set<std::string, std::less<>>& found, uint32_t winner,
                         Pass& pass) {
  const RuleSet& rules = pass.rules;
  return std::any_of(candidates.begin(), candidates.end(), [&](uint32_t unit) {
    const std::string& license = rules.licenses[rules.reference_of_unit[unit].first].name;
    return !found.contains(license_key(license)) && !pass.scorer.unit_within(unit, winner);
  });
}

bool is_gnu(std::string_view license) {
  return license.starts_with("GPL-") || license.starts_with("LGPL-") ||
         license.starts_with("AGPL-");
}

// A GNU notice says which versions it grants: its grant clauses' licenses
// replace the one the reference texts suggest, one detection each (a notice
// granting either of two licenses gives both).
void read_gnu_grants(std::string_view normalized, const RuleSet& rules, const Lines& lines,
                     std::vector<Detection>* detections) {
  std::vector<Detection> out;
  for (Detection& d : *detections) {
    if (d.kind != DetectionKind::kNotice || !is_gnu(d.license)) {
      out.push_back(std::move(d));
      continue;
    }
    std::vector<GnuGrant> grants = gnu_grants(normalized, d.begin, d.end);
    std::erase_if(grants,
                  [&rules](const GnuGrant& g) { return !has_license_directory(rules, g.id); });
    if (grants.empty()) {
      out.push_back(std::move(d));
      continue;
    }
    for (std::size_t i = 0; i < grants.size(); ++i) {
      Detection part = d;
      part.license = grants[i].id;
      part.expression = license_expression(grants[i].id);
      // Several grants: each its own clause, the words between them (", or")
      // left out, so that they read as the choice they offer.
      part.begin = grants.size() == 1 ? d.begin : grants[i].begin;
      part.end = i + 1 == grants.size() ? d.end : grants[i].end;
      lines.set(&part);
      out.push_back(std::move(part));
    }
  }
  *detections = std::move(out);
}

// Drops the detections lying inside a tag's line: the tag states them.
void drop_inside_tags(std::vector<Detection>* detections) {
  std::vector<Placement> tags;
  for (const Detection& d : *detections) {
    if (d.kind == DetectionKind::kTag) tags.push_back(Placement{.begin = d.begin, .end = d.end});
  }
  std::erase_if(*detections, [&tags](const Detection& d) {
    if (d.kind == DetectionKind::kTag) return false;
    const Placement at{.begin = d.begin, .end = d.end};
    return std::any_of(tags.begin(), tags.end(),
                       [&at](const Placement& tag) { return inside_share(at, tag) >= 0.5; });
  });
}

// True when the text offers `before` and `after` (in that order) as a choice
// of licenses: "or" between them, near each other, and words offering a
// choice before the first (from `floor` on), between them, or right after
// the second (up to `ceiling`).
bool offered_as_choice(std::string_view normalized, const Detection& before, const Detection& after,
                       uint32_t floor, uint32_t ceiling) {
  const uint32_t gap_from = std::min(before.end, after.begin);
  const std::string_view gap = normalized.substr(gap_from, after.begin - gap_from);
  if (gap.size() >= kChoiceGap || !(has_words(gap, "OR") || has_words(gap, "ALTERNATIVELY"))) {
    return false;
  }
  const uint32_t lead_from = std::min(
      before.begin,
      std::max<uint32_t>(floor, before.begin > kLeadWindow ? before.begin - kLeadWindow : 0));
  const std::string_view lead = normalized.substr(lead_from, before.begin - lead_from);
  // "... X or Y, at your option": the words after the second count too.
  const uint32_t trail_to =
      std::min<uint32_t>(ceiling, std::min<uint32_t>(after.end + kTrailWindow, normalized.size()));
  const std::string_view trail = after.end < trail_to
                                     ? normalized.substr(after.end, trail_to - after.end)
                                     : std::string_view();
  return offers_choice(lead) || offers_choice(gap) || offers_choice(trail);
}

// Merges the detections of one license whose lines overlap or touch.
void merge_same_license(std::vector<Detection>* detections) {
  std::vector<Detection> merged;
  for (Detection& d : *detections) {
    const auto same = std::find_if(merged.begin(), merged.end(), [&d](const Detection& m) {
      return m.kind != DetectionKind::kTag && d.kind != DetectionKind::kTag &&
             m.license == d.license && d.start_line <= m.end_line + 1 &&
             m.start_line <= d.end_line + 1;
    });
    if (same == merged.end()) {
      merged.push_back(std::move(d));
      continue;
    }
    same->begin = std::min(same->begin, d.begin);
    same->end = std::max(same->end, d.end);
    same->start_line = std::min(same->start_line, d.start_line);
    same->end_line = std::max(same->end_line, d.end_line);
    same->score = std::max(same->score, d.score);
  }
  *detections = std::move(merged);
}

}  // namespace

Placement place_unit(std::string_view unit, std::string_view target, int minbytes, int minwords) {
  std::vector<ChunkSpan> spans;
  cut_chunks(unit, minbytes, minwords, &spans);
  return place_chunks(unit, spans, target);
}

Placement place_chunks(std::string_view unit, const std::vector<ChunkSpan>& spans,
                       std::string_view target) {
  struct Hit {
    uint32_t begin, end;
    int32_t words;
  };
  std::vector<Hit> hits;
  std::size_t from = 0;
  for (const ChunkSpan& span : spans) {
    if (span.length == 0) continue;
    const std::string_view chunk = unit.substr(span.start, span.length);
    // In order: near the chunk before, else further on (anywhere, for the
    // first one found).
    const std::size_t near = std::min(target.size(), from + 2 * chunk.size() + 512);
    const std::size_t far =
        hits.empty() ? target.size() : std::min(target.size(), from + kFarWindow);
    // A copy of the text has the chunk right after the bar closing the one before.
    const std::size_t next = hits.empty() ? from : from + 1;
    std::size_t at =
        next + chunk.size() <= target.size() && target.compare(next, chunk.size(), chunk) == 0
            ? next
            : find_in(target, from, near, chunk);
    if (at == std::string_view::npos)
      at = find_in(target, near - std::min(near - from, chunk.size() - 1), far, chunk);
    if (at == std::string_view::npos) continue;
    hits.push_back(
        Hit{static_cast<uint32_t>(at), static_cast<uint32_t>(at + chunk.size()), span.weight});
    from = at + chunk.size();
  }
  // The heaviest run of hits without a wide gap.
  Placement best, run;
  for (std::size_t i = 0; i < hits.size(); ++i) {
    if (i == 0 || hits[i].begin > run.end + kRunGap) run = Placement{.begin = hits[i].begin};
    run.end = hits[i].end;
    run.words += hits[i].words;
    if (run.words > best.words) best = run;
  }
  return best;
}

std::vector<Detection> detect_licenses(const ReadText& text, const FirstPass& first,
                                       const std::optional<Expression>& tag,
                                       std::vector<Detection> references, Pass* pass) {
  const Lines lines(text);
  std::vector<Detection> detections;
  if (tag) detections.push_back(tag_detection(text, *tag, lines));
  if (!pass->rules.licenses_open) return detections;
  const RunSettings& settings = pass->settings;
  std::string remainder(text.normalized);
  BestMatch best = first.best;
  std::vector<uint32_t> candidates = first.candidates;
  if (!first.ran) {
    license_pass(remainder, pass, &best, &candidates);
    if (pass->error) return detections;
  }
  std::set<std::string, std::less<>> found;  // license keys
  bool any_text = false;
  // With a threshold of 0 every reference qualifies: the first pass alone counts.
  const int passes = settings.threshold > 0 ? kMaxTextPasses : 1;
  for (int n = 0; n < passes && best.unit != kNoUnit && !best.strings; ++n) {
    const Placement placed =
        place_chunks(pass->rules.units[best.unit], pass->scorer.chunk_spans(best.unit), remainder);
    if (placed.words == 0) break;
    // A short reference ("LGPL 2.1") beside a tag or another license is
    // more often a list of licenses in code than a license of the file.
    if (detections.empty() || !best.rule.starts_with("notice-short")) {
      Detection d{.license = best.license,
                  .expression = license_expression(best.license),
                  .kind = is_notice(best.rule) ? DetectionKind::kNotice : DetectionKind::kText,
                  .score = best.score,
                  .rule = best.rule,
                  .begin = placed.begin,
                  .end = placed.end};
      lines.set(&d);
      detections.push_back(std::move(d));
      any_text = true;
      found.insert(std::string(license_key(best.license)));
    }
    const bool more = other_license_found(candidates, found, best.unit, *pass);
    std::fill(remainder.begin() + placed.begin, remainder.begin() + placed.end, '.');
    if (!more) break;
    best = BestMatch{};
    candidates.clear();
    license_pass(remainder, pass, &best, &candidates);
    if (pass->error) return detections;
  }
  if (!any_text && first.best.strings && first.best.unit != kNoUnit) {
    const Placement placed =
        place_chunks(pass->rules.units[first.best.unit], pass->scorer.chunk_spans(first.best.unit),
                     text.normalized);
    Detection d{.license = first.best.license,
                .expression = license_expression(first.best.license),
                .kind = DetectionKind::kString,
                .score = 100,
                .rule = std::string(kStringRulesName) + "/" + first.best.license,
                .begin = placed.begin,
                .end = placed.end};
    lines.set(&d);
    detections.push_back(std::move(d));
  }
  read_gnu_grants(text.normalized, pass->rules, lines, &detections);
  drop_inside_tags(&detections);
  // A name or URL inside a text or notice found is part of it. Beside
  // another detection, a license merely named ("the GNU General Public
  // License", "JSON") is more often prose about it than a license of the
  // file: only declared fields, tags and license URLs count there, and names
  // the text offers as a choice beside it ("MIT license, or Apache 2
  // license, at your option").
  const std::vector<Detection> stated = detections;
  std::erase_if(references, [&](const Detection& r) {
    const std::string_view rule = r.rule;
    if (stated.empty() || rule.ends_with(":url") || rule.ends_with(":idurl") ||
        rule.ends_with(":tag") || rule.find(":field:") != std::string_view::npos) {
      return false;
    }
    return std::none_of(stated.begin(), stated.end(), [&](const Detection& d) {
      return d.begin <= r.begin
                 ? offered_as_choice(text.normalized, d, r, 0, text.normalized.size())
                 : offered_as_choice(text.normalized, r, d, 0, text.normalized.size());
    });
  });
  // A GNU license's URL or field beside its notice ("gnu.org/licenses/gpl",
  // any version) points at that license.
  const auto gnu_family = [](std::string_view id) {
    const std::size_t dash = id.find('-');
    return is_gnu(id) ? id.substr(0, dash) : std::string_view();
  };
  std::erase_if(references, [&](const Detection& r) {
    const std::string_view family = gnu_family(r.license);
    return !family.empty() &&
           std::any_of(detections.begin(), detections.end(), [&](const Detection& d) {
             const std::vector<std::string> ids = license_ids(d.expression);
             return std::any_of(ids.begin(), ids.end(),
                                [&](const std::string& id) { return gnu_family(id) == family; });
           });
  });
  for (Detection& reference : references) {
    const Placement at{.begin = reference.begin, .end = reference.end};
    const bool inside =
        std::any_of(detections.begin(), detections.end(), [&at](const Detection& d) {
          return inside_share(at, Placement{.begin = d.begin, .end = d.end}) >= 0.5;
        });
    if (!inside) detections.push_back(std::move(reference));
  }
  // In a list of licenses (an SPDX id table, a license-list JSON) ids and
  // names are data: only tags, texts and notices state a license there.
  const auto listed = [](const Detection& d) {
    return d.kind == DetectionKind::kString || d.kind == DetectionKind::kReference ||
           d.rule.starts_with("notice-short");
  };
  if (std::any_of(detections.begin(), detections.end(), listed) &&
      lists_licenses(text.raw, [&pass](std::string_view name) {
        return license_spelling(pass->rules, name);
      })) {
    std::erase_if(detections, listed);
  }
  std::stable_sort(detections.begin(), detections.end(),
                   [](const Detection& a, const Detection& b) { return a.begin < b.begin; });
  merge_same_license(&detections);
  return detections;
}

std::optional<Expression> file_expression(const std::vector<Detection>& detections,
                                          std::string_view normalized) {
  // Groups of detections the text offers as a choice, in order.
  std::vector<std::vector<const Detection*>> groups;
  for (std::size_t i = 0; i < detections.size(); ++i) {
    const Detection& d = detections[i];
    bool choice = false;
    if (i > 0) {
      const Detection& before = detections[i - 1];
      choice = offered_as_choice(
          normalized, before, d, i > 1 ? detections[i - 2].end : 0,
          i + 1 < detections.size() ? detections[i + 1].begin : normalized.size());
    }
    if (choice && !groups.empty()) {
      groups.back().push_back(&d);
    } else {
      groups.push_back({&d});
    }
  }
  // Each license once: a detection all of whose licenses came before adds
  // nothing. Two ids of one license text ("GPL-2.0-only" in a short mention,
  // "GPL-2.0-or-later" in the notice's grant) are one license, spelt with
  // "or later" when either says so.
  std::map<std::string, std::string, std::less<>> spelling;  // key -> id
  for (const Detection& d : detections) {
    if (d.expression.kind != Expression::Kind::kLicense) continue;
    const auto [at, fresh] = spelling.try_emplace(std::string(license_key(d.license)), d.license);
    if (!fresh && !at->second.ends_with("-or-later") && d.license.ends_with("-or-later")) {
      at->second = d.license;
    }
  }
  std::set<std::string, std::less<>> seen;  // keys
  std::vector<Expression> all;
  for (const std::vector<const Detection*>& group : groups) {
    std::vector<Expression> choices;
    for (const Detection* d : group) {
      const std::vector<std::string> ids = license_ids(d->expression);
      if (std::all_of(ids.begin(), ids.end(),
                      [&seen](const std::string& id) { return seen.contains(license_key(id)); })) {
        continue;
      }
      for (const std::string& id : ids) seen.insert(std::string(license_key(id)));
      Expression operand = d->expression;
      if (operand.kind == Expression::Kind::kLicense) {
        operand.id = spelling.find(license_key(operand.id))->second;
      } else if (group.size() > 1 && operand.kind == Expression::Kind::kAnd) {
        // A tag's own conjunction stays together among choices.
        operand = Expression{.kind = Expression::Kind::kGroup, .operands = {std::move(operand)}};
      }
      choices.push_back(std::move(operand));
    }
    if (!choices.empty()) all.push_back(any_of(std::move(choices)));
  }
  if (all.empty()) return std::nullopt;
  return all_of(std::move(all));
}

}  // namespace tarsil
