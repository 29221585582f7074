// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "match/license_url.h"

#include <algorithm>
#include <utility>

namespace tarsil {
namespace {

bool is_alpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool is_alnum(char c) {
  return is_alpha(c) || (c >= '0' && c <= '9');
}

// Characters a URL may hold (RFC 3986's unreserved, reserved and '%').
bool is_url_char(char c) {
  if (is_alnum(c)) return true;
  switch (c) {
    case '-':
    case '.':
    case '_':
    case '~':
    case ':':
    case '/':
    case '?':
    case '#':
    case '[':
    case ']':
    case '@':
    case '!':
    case '$':
    case '&':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
    case '%':
      return true;
    default:
      return false;
  }
}

// Strips one trailing "/legalcode" or "/deed" with an optional ".<language>".
bool strip_deed(std::string* u) {
  const std::size_t slash = u->rfind('/');
  if (slash == std::string::npos) return false;
  std::string_view last = std::string_view(*u).substr(slash + 1);
  const std::size_t dot = last.find('.');
  const std::string_view word = last.substr(0, dot);
  if (word != "legalcode" && word != "deed") return false;
  if (dot != std::string_view::npos) {
    const std::string_view language = last.substr(dot + 1);
    if (language.empty()) return false;
    for (const char c : language) {
      if (!is_alpha(c) && c != '_' && c != '-') return false;
    }
  }
  u->resize(slash);
  return true;
}

}  // namespace

namespace {

// One round of normalize_license_url.
std::string normalize_once(std::string_view url) {
  std::string u(url);
  for (char& c : u) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  const std::size_t scheme = u.find("://");
  if (scheme != std::string::npos && scheme > 0) {
    bool letters = true;
    for (std::size_t k = 0; k < scheme; ++k) letters = letters && is_alpha(u[k]);
    if (letters) u.erase(0, scheme + 3);
  }
  if (const std::size_t hash = u.find('#'); hash != std::string::npos) u.resize(hash);
  if (u.starts_with("www.")) u.erase(0, 4);
  for (bool changed = true; changed;) {
    changed = false;
    for (const std::string_view suffix : {"/", ".html", ".htm", ".txt", ".php", "-standalone"}) {
      if (u.ends_with(suffix)) {
        u.resize(u.size() - suffix.size());
        changed = true;
      }
    }
    if (strip_deed(&u)) changed = true;
  }
  return u;
}

}  // namespace

std::string normalize_license_url(std::string_view url) {
  // Rounds until nothing changes: a stripped scheme may uncover another.
  std::string u = normalize_once(url);
  for (std::string again = normalize_once(u); again != u; again = normalize_once(u)) {
    u = std::move(again);
  }
  return u;
}

std::vector<FoundUrl> find_license_urls(std::string_view text) {
  std::vector<FoundUrl> urls;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t colon = text.find("://", from);
    const std::size_t www = text.find("www.", from);
    const std::size_t at = std::min(colon, www);
    if (at == std::string_view::npos) break;
    std::size_t start = at;
    if (at == colon) {
      while (start > 0 && is_alpha(text[start - 1])) --start;
      if (start == at) {
        from = at + 3;
        continue;
      }
    } else if (at > 0 && (is_url_char(text[at - 1]) && text[at - 1] != '(')) {
      from = at + 4;  // inside a longer word or URL
      continue;
    }
    std::size_t end = at == colon ? at + 3 : at + 4;
    while (end < text.size() && is_url_char(text[end])) ++end;
    // Trailing punctuation ends the sentence, not the URL; a ')' is kept only
    // when the URL opened one.
    while (end > start) {
      const char c = text[end - 1];
      if (c == ')') {
        const std::string_view body = text.substr(start, end - start);
        if (body.find('(') != std::string_view::npos) break;
      } else if (c != '.' && c != ',' && c != ';' && c != ':' && c != '!' && c != '?' && c != '*' &&
                 c != '[' && c != ']') {
        break;
      }
      --end;
    }
    const std::size_t body_start = at == colon ? at + 3 : at;
    if (end > body_start) urls.push_back({text.substr(start, end - start), start});
    from = std::max(end, at + 3);
  }
  return urls;
}

}  // namespace tarsil
