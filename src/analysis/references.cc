// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/references.h"

#include <algorithm>
#include <set>
#include <utility>

#include "analysis/declared.h"
#include "analysis/expression.h"
#include "match/license_url.h"

namespace tarsil {
namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool is_letter(char c) {
  return lower(c) >= 'a' && lower(c) <= 'z';
}

bool is_number(const std::string& word) {
  return !word.empty() && is_digit(word[0]);
}

std::string join(const std::vector<KeyToken>& tokens, std::size_t from, std::size_t to) {
  std::string key;
  for (std::size_t k = from; k < to; ++k) {
    if (k > from) key += ' ';
    key += tokens[k].word;
  }
  return key;
}

bool is_license_word(std::string_view w) {
  return w == "license" || w == "licence" || w == "licensed" || w == "licenced" ||
         w == "licenses" || w == "licences";
}

bool is_gnu_acronym(std::string_view w) {
  return w == "gpl" || w == "lgpl" || w == "agpl" || w == "gfdl";
}

// ---- Expressions ------------------------------------------------------

// The license to report for the id `id` (with an optional '+'): the rule
// set's spelling, deprecated GNU forms as -only / -or-later; "" if unknown.
std::string report_id(std::string_view id, const LicenseLookup& lookup) {
  const std::string lowered = [&id] {
    std::string l(id);
    for (char& c : l) c = lower(c);
    return l;
  }();
  if (lowered.starts_with("licenseref-") || lowered.starts_with("documentref-")) return "";
  bool plus = false;
  std::string spelled = lookup(id);
  if (spelled.empty() && id.ends_with('+')) {
    plus = true;
    spelled = lookup(id.substr(0, id.size() - 1));
  }
  if (spelled.empty()) return "";
  if (plus) {
    if (std::string later = lookup(spelled + "-or-later"); !later.empty()) return later;
    return spelled + "+";
  }
  if (spelled.ends_with('+')) {
    const std::string base = spelled.substr(0, spelled.size() - 1);
    if (std::string later = lookup(base + "-or-later"); !later.empty()) return later;
    return spelled;
  }
  if (std::string only = lookup(spelled + "-only"); !only.empty()) return only;
  return spelled;
}

// "A WITH E" as A, everywhere in the tree: a reference names the license.
Expression without_exceptions(Expression e) {
  if (e.kind == Expression::Kind::kWith) return without_exceptions(std::move(e.operands[0]));
  for (Expression& operand : e.operands) operand = without_exceptions(std::move(operand));
  return e;
}

// `text` as an SPDX expression of known ids (expression.h), exceptions left
// out, in the rule set's spelling; "" when it is none.
std::string read_expression(std::string_view text, const LicenseLookup& lookup) {
  const ExpressionNames names{
      .license = [&lookup](std::string_view id) { return report_id(id, lookup); },
      .exception = [](std::string_view id) { return std::string(id); }};
  std::optional<Expression> expression = parse_expression(text, names);
  if (!expression) return "";
  return print_expression(without_exceptions(std::move(*expression)));
}

// The data value of an entry as reported: its expression read with `lookup`.
std::string report(std::string_view value, const LicenseLookup& lookup) {
  return read_expression(value, lookup);
}

// ---- Names ------------------------------------------------------------

struct NameMatch {
  std::string license;
  std::string rule;
  std::size_t from = 0, to = 0;  // tokens [from, to)
};

bool has_context(const std::vector<KeyToken>& t, std::size_t from, std::size_t to) {
  static constexpr std::string_view kBefore[] = {"licensed",    "licenced", "license",   "licence",
                                                 "licenses",    "licences", "licensing", "released",
                                                 "distributed", "terms",    "dual",      "covered"};
  for (std::size_t k = from > 5 ? from - 5 : 0; k < from; ++k) {
    for (const std::string_view w : kBefore) {
      if (t[k].word == w) return true;
    }
  }
  std::size_t k = to;
  if (k < t.size() && (t[k].word == "style" || t[k].word == "like" || t[k].word == "type")) ++k;
  return k < t.size() && is_license_word(t[k].word);
}

bool stands_alone(std::string_view key, bool versioned) {
  std::size_t start = 0;
  bool gnu = false;
  std::size_t words = 0;
  while (start <= key.size()) {
    const std::size_t blank = std::min(key.find(' ', start), key.size());
    const std::string_view w = key.substr(start, blank - start);
    if (is_license_word(w)) return true;
    gnu = gnu || is_gnu_acronym(w);
    ++words;
    start = blank + 1;
  }
  // A phrase of four words or more ("same terms as Perl itself") names
  // nothing but its license.
  return (gnu && (versioned || words > 1)) || words >= 4;
}

// After a version at token `at`, the "or later" / "only" words within the
// next ten tokens: '+', 'o' (only) or 0.
char version_suffix(const std::vector<KeyToken>& t, std::size_t at) {
  for (std::size_t k = at + 1; k < t.size() && k <= at + 10; ++k) {
    const std::string& w = t[k].word;
    if (w == "+" || w == "later" || w == "newer" || w == "higher" || w == "greater") return '+';
    if (w == "only") return 'o';
    if (is_number(w)) return 0;
  }
  return 0;
}

// A name or family match at token i, or none.
std::optional<NameMatch> match_at(const std::vector<KeyToken>& t, std::size_t i,
                                  const ReferenceData& data, const LicenseLookup& lookup) {
  const auto longest = data.longest.find(t[i].word);
  if (longest == data.longest.end()) return std::nullopt;
  const std::size_t most = std::min<std::size_t>(longest->second, t.size() - i);
  for (std::size_t n = most; n >= 1; --n) {
    const std::string key = join(t, i, i + n);
    if (const auto name = data.names.find(key); name != data.names.end()) {
      std::string license = report(name->second.license, lookup);
      std::size_t to = i + n;
      // A version the name ends with may be followed by "or later" words.
      if (is_number(t[to - 1].word)) {
        if (const char suffix = version_suffix(t, to - 1); suffix != 0) {
          const auto longer = data.names.find(key + (suffix == '+' ? " +" : " only"));
          if (longer != data.names.end()) {
            if (std::string l = report(longer->second.license, lookup); !l.empty()) license = l;
          }
        }
      }
      if (license.empty()) return std::nullopt;
      if (!stands_alone(key, is_number(t[to - 1].word)) && !has_context(t, i, to)) {
        return std::nullopt;
      }
      return NameMatch{license, name->second.alias ? "alias" : "name", i, to};
    }
    const auto family = data.families.find(key);
    if (family == data.families.end()) continue;
    const std::string stem = reference_key(family->second);
    for (std::size_t k = i + n; k < t.size() && k < i + n + 12; ++k) {
      if (!is_number(t[k].word)) continue;
      const std::string base = stem + " " + t[k].word;
      const char suffix = version_suffix(t, k);
      for (const std::string& candidate : {suffix == '+'   ? base + " +"
                                           : suffix == 'o' ? base + " only"
                                                           : base,
                                           base}) {
        const auto name = data.names.find(candidate);
        if (name == data.names.end()) continue;
        std::string license = report(name->second.license, lookup);
        if (license.empty()) continue;
        if (!stands_alone(key, true) && !has_context(t, i, k + 1)) return std::nullopt;
        return NameMatch{license, "family", i, k + 1};
      }
    }
    const auto any = data.any.find(stem);
    if (any == data.any.end()) return std::nullopt;
    std::string license = report(any->second, lookup);
    if (license.empty()) return std::nullopt;
    if (!stands_alone(key, false) && !has_context(t, i, i + n)) return std::nullopt;
    return NameMatch{license, "any", i, i + n};
  }
  return std::nullopt;
}

// ---- Anchors, tags, lines ---------------------------------------------

// Offsets of a needle in lower or upper case.
void find_both(std::string_view text, std::string_view lower_needle, std::string_view upper_needle,
               std::vector<std::size_t>* out) {
  for (const std::string_view needle : {lower_needle, upper_needle}) {
    for (std::size_t at = text.find(needle); at != std::string_view::npos;
         at = text.find(needle, at + 1)) {
      out->push_back(at);
    }
  }
}

struct Lines {
  std::vector<std::size_t> newlines;
  uint32_t at(std::size_t offset) const {
    return static_cast<uint32_t>(std::lower_bound(newlines.begin(), newlines.end(), offset) -
                                 newlines.begin()) +
           1;
  }
};

// The value of an SPDX tag spelled otherwise than the tag reader's, at `at`
// ("spdx" in any case); nothing for the exact tag or no tag.
std::optional<std::pair<std::string, std::size_t>> tag_value(std::string_view text,
                                                             std::size_t at) {
  constexpr std::size_t kLength = 23;  // "spdx-license-identifier"
  if (at + kLength > text.size()) return std::nullopt;
  std::string word(text.substr(at, kLength));
  for (char& c : word) c = lower(c);
  if (word[4] == '_') word[4] = '-';
  if (word[12] == '_') word[12] = '-';
  if (word != "spdx-license-identifier" && word != "spdx-licence-identifier") return std::nullopt;
  std::size_t k = at + kLength;
  while (k < text.size() && (text[k] == ' ' || text[k] == '\t')) ++k;
  if (k < text.size() && text[k] == ':') ++k;
  std::size_t end = std::min(text.find('\n', k), text.size());
  const char before = at > 0 ? text[at - 1] : ' ';
  if (before == '"' || before == '\'') end = std::min(end, text.find(before, k));
  return std::pair{std::string(text.substr(k, end - k)), k};
}

// Trims a tag value of blanks, quotes, comment closers and trailing
// punctuation.
std::string clean_tag(std::string value) {
  for (bool changed = true; changed;) {
    changed = false;
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r' ||
                              value.back() == '"' || value.back() == '\'' || value.back() == ',' ||
                              value.back() == ';' || value.back() == '.')) {
      value.pop_back();
      changed = true;
    }
    for (const std::string_view closer : {"*/", "-->", "*)", "-}"}) {
      if (value.ends_with(closer)) {
        value.resize(value.size() - closer.size());
        changed = true;
      }
    }
  }
  const std::size_t start = value.find_first_not_of(" \t\"'");
  return start == std::string::npos ? "" : value.substr(start);
}

std::string url_license(std::string_view url, const ReferenceData& data,
                        const LicenseLookup& lookup) {
  const std::string normal = normalize_license_url(url);
  if (const auto it = data.urls.find(normal); it != data.urls.end()) {
    return report(it->second, lookup);
  }
  for (const std::string& prefix : data.id_url_prefixes) {
    if (normal.size() <= prefix.size() + 1 || !normal.starts_with(prefix) ||
        normal[prefix.size()] != '/') {
      continue;
    }
    const std::string_view id = std::string_view(normal).substr(prefix.size() + 1);
    if (id.find('/') != std::string_view::npos) continue;
    if (std::string license = report_id(id, lookup); !license.empty()) return license;
  }
  return "";
}

}  // namespace

namespace {
// read_declared_value, telling through *weak whether the value named a
// family without a version.
std::string read_value(std::string_view value, const ReferenceData& data,
                       const LicenseLookup& lookup, bool* weak);
}  // namespace

std::string read_declared_value(std::string_view value, const ReferenceData& data,
                                const LicenseLookup& lookup) {
  bool weak = false;
  return read_value(value, data, lookup, &weak);
}

namespace {
std::string read_value(std::string_view value, const ReferenceData& data,
                       const LicenseLookup& lookup, bool* weak) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  if (value.empty() || value.size() > 200) return "";
  // A URL, alone or before a name ("@license http://... MIT License").
  const std::vector<FoundUrl> urls = find_license_urls(value);
  if (!urls.empty() && urls[0].offset == 0) {
    if (std::string license = url_license(urls[0].url, data, lookup); !license.empty()) {
      return license;
    }
    value.remove_prefix(urls[0].url.size());
    return read_value(value, data, lookup, weak);
  }
  if (std::string license = read_expression(value, lookup); !license.empty()) return license;
  std::vector<KeyToken> tokens = key_tokens(value);
  for (int round = 0; round < 2 && !tokens.empty(); ++round) {
    const std::string key = join(tokens, 0, tokens.size());
    if (const auto name = data.names.find(key); name != data.names.end()) {
      return report(name->second.license, lookup);
    }
    if (const auto family = data.families.find(key); family != data.families.end()) {
      if (const auto any = data.any.find(reference_key(family->second)); any != data.any.end()) {
        *weak = true;
        return report(any->second, lookup);
      }
    }
    // A family name and its version ("GNU General Public License v2 or later").
    if (std::optional<NameMatch> m = match_at(tokens, 0, data, lookup)) {
      if (m->to >= tokens.size() - (tokens.back().word == "+" ? 1 : 0) && m->from == 0) {
        *weak = m->rule == "any";
        return m->license;
      }
    }
    if (!is_license_word(tokens.back().word)) break;
    tokens.pop_back();
  }
  return "";
}
}  // namespace

std::vector<ReferenceDetection> find_references(std::string_view raw_text,
                                                const ReferenceData& data,
                                                const LicenseLookup& lookup) {
  const std::string_view text = raw_text.substr(0, raw_text.find('\0'));
  // Offsets of the words a statement holds: "licen" (in "license",
  // "licence", "licensed"), "gpl" and "Perl itself"; a tag holds "licen" too.
  const std::vector<std::size_t> licen = licen_anchors(text);
  std::vector<std::size_t> anchors = licen;
  find_both(text, "gpl", "GPL", &anchors);
  // Perl's own terms are stated without the word "license".
  find_both(text, "Perl itself", "PERL ITSELF", &anchors);
  find_both(text, "perl itself", "Perl 5 itself", &anchors);
  std::vector<std::size_t> tags;
  for (const std::size_t at : licen) {
    if (at < 5) continue;
    const char a = lower(text[at - 5]), b = lower(text[at - 4]), c = lower(text[at - 3]);
    const char d = lower(text[at - 2]), e = text[at - 1];
    if (a == 's' && b == 'p' && c == 'd' && d == 'x' && (e == '-' || e == '_'))
      tags.push_back(at - 5);
  }
  const std::vector<FoundUrl> urls = find_license_urls(text);
  std::vector<ReferenceDetection> found;
  if (anchors.empty() && tags.empty() && urls.empty()) return found;
  Lines lines;
  for (std::size_t at = text.find('\n'); at != std::string_view::npos;
       at = text.find('\n', at + 1)) {
    lines.newlines.push_back(at);
  }
  const auto detect = [&found, &lines](std::string license, std::string rule, std::size_t from,
                                       std::size_t to) {
    found.push_back(
        {std::move(license), std::move(rule), lines.at(from), lines.at(to), from, to + 1});
  };
  // Lines whose tag or declared field was read are no running text.
  std::set<uint32_t> read_lines;
  for (const std::size_t at : tags) {
    if (auto value = tag_value(text, at)) {
      read_lines.insert(lines.at(at));
      const std::string cleaned = clean_tag(value->first);
      bool weak = false;
      if (std::string license = read_value(cleaned, data, lookup, &weak); !license.empty()) {
        detect(std::move(license), weak ? "any" : "tag", at, value->second);
      }
    }
  }
  if (!anchors.empty()) {
    for (const DeclaredValue& declared : find_declared_values(text, licen)) {
      bool weak = false;
      if (std::string license = read_value(declared.value, data, lookup, &weak); !license.empty()) {
        const std::size_t offset = declared.line <= 1 ? 0 : lines.newlines[declared.line - 2] + 1;
        detect(std::move(license), weak ? "any" : "field:" + declared.form, offset, offset);
        read_lines.insert(declared.line);
      }
    }
  }
  for (const FoundUrl& url : urls) {
    if (std::string license = url_license(url.url, data, lookup); !license.empty()) {
      detect(std::move(license), "url", url.offset, url.offset + url.url.size() - 1);
    }
  }
  // Names: the lines holding an anchor, with the line before and after each
  // (a statement wraps), merged into regions; outside URLs.
  std::sort(anchors.begin(), anchors.end());
  std::vector<std::pair<std::size_t, std::size_t>> regions;
  for (const std::size_t at : anchors) {
    const uint32_t line = lines.at(at);  // 1-based
    const std::size_t from = line <= 2 ? 0 : lines.newlines[line - 3] + 1;
    const std::size_t to = line + 1 <= lines.newlines.size() ? lines.newlines[line] : text.size();
    if (!regions.empty() && from <= regions.back().second) {
      regions.back().second = std::max(regions.back().second, to);
    } else {
      regions.emplace_back(from, to);
    }
  }
  for (const auto& [from, to] : regions) {
    std::string region(text.substr(from, to - from));
    for (const FoundUrl& url : urls) {  // a URL's words are no name
      if (url.offset >= from && url.offset < to) {
        const std::size_t n = std::min(url.url.size(), to - url.offset);
        std::fill_n(region.begin() + static_cast<std::ptrdiff_t>(url.offset - from), n, ' ');
      }
    }
    const std::vector<KeyToken> tokens = key_tokens(region, from);
    for (std::size_t i = 0; i < tokens.size();) {
      if (read_lines.contains(lines.at(tokens[i].offset))) {
        ++i;
      } else if (std::optional<NameMatch> m = match_at(tokens, i, data, lookup)) {
        detect(std::move(m->license), std::move(m->rule), tokens[m->from].offset,
               tokens[m->to - 1].offset);
        i = m->to;
      } else {
        ++i;
      }
    }
  }
  // A family without a version says less than any other detection.
  const bool others = std::any_of(found.begin(), found.end(),
                                  [](const ReferenceDetection& d) { return d.rule != "any"; });
  if (others) {
    std::erase_if(found, [](const ReferenceDetection& d) { return d.rule == "any"; });
  }
  std::set<std::string> licenses;
  for (const ReferenceDetection& d : found) licenses.insert(d.license);
  if (licenses.size() >= 3 || (!found.empty() && lists_licenses(text, lookup))) return {};
  std::stable_sort(found.begin(), found.end(),
                   [](const ReferenceDetection& a, const ReferenceDetection& b) {
                     return a.start_line < b.start_line;
                   });
  return found;
}

bool lists_licenses(std::string_view raw_text, const LicenseLookup& lookup) {
  constexpr std::size_t kListed = 4, kLongestId = 48;
  const auto id_char = [](char c) {
    return is_digit(c) || is_letter(c) || c == '.' || c == '-' || c == '+';
  };
  std::set<std::string, std::less<>> ids;
  std::size_t k = 0;
  while (k < raw_text.size()) {
    if (!id_char(raw_text[k])) {
      ++k;
      continue;
    }
    const std::size_t start = k;
    while (k < raw_text.size() && id_char(raw_text[k])) ++k;
    std::string_view token = raw_text.substr(start, k - start);
    while (!token.empty() && (token.back() == '.' || token.back() == '-')) token.remove_suffix(1);
    if (token.size() < 3 || token.size() > kLongestId || !is_letter(token[0]) ||
        std::none_of(token.begin(), token.end(), [](char c) { return is_digit(c) || c == '-'; })) {
      continue;
    }
    std::string id = lookup(token);
    const bool spelt_as_id = id.size() == token.size() &&
                             std::equal(id.begin(), id.end(), token.begin(),
                                        [](char a, char b) { return lower(a) == lower(b); });
    if (spelt_as_id && ids.insert(std::move(id)).second && ids.size() == kListed) return true;
  }
  return false;
}

std::string reference_verdict(const std::vector<ReferenceDetection>& detections) {
  if (detections.empty()) return "";
  for (const ReferenceDetection& d : detections) {
    if (d.license != detections[0].license) return "";
  }
  return detections[0].license;
}

}  // namespace tarsil
