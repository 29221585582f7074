// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/declared.h"

#include <algorithm>
#include <utility>

namespace tarsil {
namespace {

bool is_alpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool is_word(char c) {
  return is_alpha(c) || (c >= '0' && c <= '9') || c == '_';
}
bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equals_lower(std::string_view text, std::string_view lower_word) {
  if (text.size() != lower_word.size()) return false;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (lower(text[k]) != lower_word[k]) return false;
  }
  return true;
}

// The text and a cursor; positions only grow, so line numbers are counted
// once.
struct Scan {
  std::string_view text;
  std::vector<DeclaredValue> values;
  std::size_t counted = 0;
  uint32_t line = 1;

  uint32_t line_of(std::size_t at) {
    if (at < counted) {  // never expected; recount
      counted = 0;
      line = 1;
    }
    line += static_cast<uint32_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                                             text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    counted = at;
    return line;
  }
  std::size_t skip_blanks(std::size_t at) const {
    while (at < text.size() && is_blank(text[at])) ++at;
    return at;
  }
  std::size_t line_end(std::size_t at) const {
    const std::size_t end = text.find('\n', at);
    return end == std::string_view::npos ? text.size() : end;
  }
};

// Trims blanks, carriage returns, quotes, a trailing comma or semicolon and
// comment closers.
std::string clean(std::string_view value) {
  for (bool changed = true; changed;) {
    changed = false;
    while (!value.empty() && (is_blank(value.front()) || value.front() == '"' ||
                              value.front() == '\'' || value.front() == '`')) {
      value.remove_prefix(1);
      changed = true;
    }
    while (!value.empty() && (is_blank(value.back()) || value.back() == '\r' ||
                              value.back() == '"' || value.back() == '\'' || value.back() == ',' ||
                              value.back() == ';' || value.back() == '`')) {
      value.remove_suffix(1);
      changed = true;
    }
    for (const std::string_view closer : {"*/", "-->", "-}", "*)", "#}"}) {
      if (value.ends_with(closer)) {
        value.remove_suffix(closer.size());
        changed = true;
      }
    }
  }
  return std::string(value);
}

void add(Scan* s, std::string_view form, std::string_view value, std::size_t at) {
  std::string v = clean(value);
  if (!v.empty()) s->values.push_back({std::string(form), std::move(v), s->line_of(at)});
}

// A quoted string starting at `at` (its quote), on one line; the position
// after its closing quote, or npos.
std::size_t quoted(const Scan& s, std::size_t at, std::string_view* out) {
  const char quote = s.text[at];
  for (std::size_t k = at + 1; k < s.text.size(); ++k) {
    const char c = s.text[k];
    if (c == '\\' && k + 1 < s.text.size() && s.text[k + 1] != '\n') {
      ++k;
    } else if (c == quote) {
      *out = s.text.substr(at + 1, k - at - 1);
      return k + 1;
    } else if (c == '\n') {
      return std::string_view::npos;
    }
  }
  return std::string_view::npos;
}

bool is_quote(char c) {
  return c == '"' || c == '\'';
}

// In an object starting at `at` ('{'), the string value of its first "type",
// "name" or "text" key (JSON, TOML inline table); stops at '}'.
void object_value(Scan* s, std::size_t at, std::string_view form) {
  const std::size_t close = s->text.find('}', at);
  const std::size_t end = close == std::string_view::npos ? s->text.size() : close;
  std::size_t k = at + 1;
  while (k < end) {
    while (k < end && !is_alpha(s->text[k])) ++k;
    const std::size_t word = k;
    while (k < end && is_word(s->text[k])) ++k;
    const std::string_view name = s->text.substr(word, k - word);
    if (name != "type" && name != "name" && name != "text") continue;
    std::size_t v = k;
    if (v < end && is_quote(s->text[v])) ++v;
    v = s->skip_blanks(v);
    if (v >= end || (s->text[v] != ':' && s->text[v] != '=')) continue;
    v = s->skip_blanks(v + 1);
    std::string_view value;
    if (v < end && is_quote(s->text[v]) && quoted(*s, v, &value) != std::string_view::npos) {
      add(s, form, value, v);
    }
    return;
  }
}

// The value after a key's separator at `at`: a string, an object, or a list
// of strings and objects (up to ']', at most 4000 bytes).
void key_value(Scan* s, std::size_t at, std::string_view form, bool bare_line) {
  at = s->skip_blanks(at);
  if (at >= s->text.size()) return;
  const char c = s->text[at];
  std::string_view value;
  if (is_quote(c)) {
    if (quoted(*s, at, &value) != std::string_view::npos) add(s, form, value, at);
  } else if (c == '{') {
    object_value(s, at, form);
  } else if (c == '[') {
    const std::size_t limit = std::min(s->text.size(), at + 4000);
    for (std::size_t k = at + 1; k < limit && s->text[k] != ']';) {
      if (is_quote(s->text[k])) {
        const std::size_t next = quoted(*s, k, &value);
        if (next == std::string_view::npos) return;
        add(s, form, value, k);
        k = next;
      } else if (s->text[k] == '{') {
        object_value(s, k, form);
        const std::size_t close = s->text.find('}', k);
        if (close == std::string_view::npos) return;
        k = close + 1;
      } else {
        ++k;
      }
    }
  } else if (bare_line) {
    add(s, form, s->text.substr(at, s->line_end(at) - at), at);
  }
}

// True when only blanks and comment markers stand between the line's start
// and `at`.
bool starts_line(const Scan& s, std::size_t at) {
  for (std::size_t k = at; k > 0; --k) {
    const char c = s.text[k - 1];
    if (c == '\n') return true;
    if (!is_blank(c) && c != '#' && c != '*' && c != '/' && c != ';' && c != '-' && c != '%' &&
        c != '!' && c != '{' && c != '|' && c != '\r' && c != '"' && c != '\'') {
      return false;
    }
  }
  return true;
}

// Linux's MODULE_LICENSE idents (include/linux/module.h); dual idents name
// no single license and are left out.
std::string_view module_license(std::string_view ident) {
  if (ident == "GPL" || ident == "GPL v2" || ident == "GPL and additional rights") {
    return "GPL-2.0-only";
  }
  return "";
}

// iPXE's FILE_LICENCE keywords.
std::string_view file_licence(std::string_view word) {
  static constexpr std::pair<std::string_view, std::string_view> kMap[] = {
      {"GPL2_OR_LATER", "GPL-2.0-or-later"},
      {"GPL2_OR_LATER_OR_UBDL", "GPL-2.0-or-later"},
      {"GPL2_ONLY", "GPL-2.0-only"},
      {"GPL_ANY", "GPL-1.0-or-later"},
      {"BSD2", "BSD-2-Clause"},
      {"BSD3", "BSD-3-Clause"},
      {"MIT", "MIT"},
  };
  for (const auto& [keyword, id] : kMap) {
    if (keyword == word) return id;
  }
  return "";
}

// The declared value around the word text[begin, end) that holds "licen".
void at_word(Scan* s, std::size_t begin, std::size_t end) {
  const std::string_view text = s->text;
  const std::string_view word = text.substr(begin, end - begin);
  const char before = begin > 0 ? text[begin - 1] : '\n';
  const char after = end < text.size() ? text[end] : '\n';
  if (word == "MODULE_LICENSE" || word == "FILE_LICENCE") {
    std::size_t k = s->skip_blanks(end);
    if (k >= text.size() || text[k] != '(') return;
    k = s->skip_blanks(k + 1);
    const std::size_t close = text.find(')', k);
    if (close == std::string_view::npos || close - k > 80) return;
    std::string_view inside = text.substr(k, close - k);
    while (!inside.empty() && is_blank(inside.back())) inside.remove_suffix(1);
    if (word == "MODULE_LICENSE") {
      if (inside.size() < 2 || inside.front() != '"' || inside.back() != '"') return;
      add(s, word, module_license(inside.substr(1, inside.size() - 2)), k);
    } else {
      add(s, word, file_licence(inside), k);
    }
    return;
  }
  const bool plain = equals_lower(word, "license") || equals_lower(word, "licenses") ||
                     equals_lower(word, "licence") || equals_lower(word, "licences");
  if (word == "__license__") {
    const std::size_t k = s->skip_blanks(end);
    if (k < text.size() && text[k] == '=' && (k + 1 >= text.size() || text[k + 1] != '=')) {
      key_value(s, k + 1, "license=", false);
    }
    return;
  }
  if (!plain) return;
  if (before == '@') {
    add(s, "@license", text.substr(end, s->line_end(end) - end), end);
    return;
  }
  if (before == '<' && after == '>') {
    const std::size_t limit = std::min(text.size(), end + 2000);
    for (const std::string_view tag : {"name", "url"}) {
      std::string open = "<";
      open.append(tag).append(">");
      const std::size_t at = text.find(open, end);
      if (at == std::string_view::npos || at >= limit) continue;
      const std::size_t from = at + open.size();
      const std::size_t to = std::min(text.find('<', from), s->line_end(from));
      if (to >= limit) continue;
      add(s, "<license>", text.substr(from, to - from), from);
    }
    return;
  }
  if (is_quote(before) && after == before) {
    std::size_t k = s->skip_blanks(end + 1);
    if (k < text.size() && text[k] == ':' && (k + 1 >= text.size() || text[k + 1] != ':')) {
      key_value(s, k + 1, "json", false);
    } else if (text.substr(k).starts_with("=>")) {
      key_value(s, k + 2, "json", false);
    }
    return;
  }
  std::size_t k = s->skip_blanks(end);
  if (k >= text.size()) return;
  if (text.substr(k).starts_with("::")) {
    const std::size_t stop = std::min(s->line_end(k), text.find_first_of("\"',", k));
    const std::size_t last = text.substr(0, stop).rfind("::");
    add(s, "classifier", text.substr(last + 2, stop - last - 2), last + 2);
    return;
  }
  if (text[k] == ':' && starts_line(*s, begin)) {
    add(s, "License:", text.substr(k + 1, s->line_end(k) - k - 1), k + 1);
    return;
  }
  if (text[k] == '=' && (k + 1 >= text.size() || (text[k + 1] != '=' && text[k + 1] != '>')) &&
      (before == '.' || before == '(' || before == ',' || is_blank(before) || before == '\n' ||
       before == '\t')) {
    key_value(s, k + 1, "license=", starts_line(*s, begin));
  }
}

}  // namespace

std::vector<std::size_t> licen_anchors(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::size_t> anchors;
  for (const std::string_view needle : {"icen", "ICEN"}) {
    for (std::size_t at = text.find(needle, 1); at != std::string_view::npos;
         at = text.find(needle, at + 4)) {
      if (lower(text[at - 1]) == 'l') anchors.push_back(at - 1);
    }
  }
  std::sort(anchors.begin(), anchors.end());
  return anchors;
}

std::vector<DeclaredValue> find_declared_values(std::string_view text) {
  return find_declared_values(text, licen_anchors(text));
}

std::vector<DeclaredValue> find_declared_values(std::string_view text,
                                                const std::vector<std::size_t>& anchors) {
  text = text.substr(0, text.find('\0'));
  Scan s{text, {}, 0, 1};
  std::size_t done = 0;  // words before this offset were handled
  for (const std::size_t anchor : anchors) {
    if (anchor < done) continue;
    std::size_t begin = anchor;
    while (begin > 0 && is_word(text[begin - 1])) --begin;
    std::size_t end = anchor;
    while (end < text.size() && is_word(text[end])) ++end;
    done = end;
    at_word(&s, begin, end);
  }
  return std::move(s.values);
}

}  // namespace tarsil
