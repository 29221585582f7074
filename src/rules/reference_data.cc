// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "rules/reference_data.h"

#include <algorithm>
#include <array>
#include <utility>

#include "match/license_url.h"

namespace tarsil {
namespace {

bool is_alpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool is_number(const std::string& word) {
  return !word.empty() && is_digit(word[0]);
}

// A number token without leading zeros in its parts (unless six digits or
// more) and without trailing ".0" parts: "2.0" -> "2", "02.10" -> "2.1".
std::string number_word(std::string_view raw) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= raw.size()) {
    const std::size_t dot = std::min(raw.find('.', start), raw.size());
    std::string part(raw.substr(start, dot - start));
    if (part.size() < 6) {
      const std::size_t nonzero = part.find_first_not_of('0');
      part = nonzero == std::string::npos ? "0" : part.substr(nonzero);
    }
    parts.push_back(std::move(part));
    start = dot + 1;
  }
  while (parts.size() > 1 && parts.back().find_first_not_of('0') == std::string::npos) {
    parts.pop_back();
  }
  std::string out = parts[0];
  for (std::size_t k = 1; k < parts.size(); ++k) out += "." + parts[k];
  return out;
}

// The raw tokens of `text`: letter runs (a run ending in 'v' right before a
// digit ends before the 'v'), digit runs joined by single dots, '+'.
std::vector<KeyToken> raw_tokens(std::string_view text, std::size_t base) {
  std::vector<KeyToken> tokens;
  std::size_t k = 0;
  while (k < text.size()) {
    const char c = text[k];
    if (is_alpha(c)) {
      std::size_t end = k;
      while (end < text.size() && is_alpha(text[end])) ++end;
      std::size_t cut = end;
      if (end < text.size() && is_digit(text[end]) && end - k > 1 && lower(text[end - 1]) == 'v') {
        cut = end - 1;
      }
      for (const auto& [from, to] : {std::pair{k, cut}, std::pair{cut, end}}) {
        if (from == to) continue;
        std::string word(text.substr(from, to - from));
        for (char& ch : word) ch = lower(ch);
        tokens.push_back({std::move(word), base + from});
      }
      k = end;
    } else if (is_digit(c)) {
      std::size_t end = k;
      while (end < text.size()) {
        if (is_digit(text[end])) {
          ++end;
        } else if (text[end] == '.' && end + 1 < text.size() && is_digit(text[end + 1])) {
          ++end;
        } else {
          break;
        }
      }
      tokens.push_back({number_word(text.substr(k, end - k)), base + k});
      k = end;
    } else {
      if (c == '+') tokens.push_back({"+", base + k});
      ++k;
    }
  }
  return tokens;
}

// The key tokens: raw tokens with "v"/"version" before a number dropped and
// "or later" words as "+".
}  // namespace

std::vector<KeyToken> key_tokens(std::string_view text, std::size_t base) {
  static const std::array<std::vector<std::string_view>, 8> kLater = {{
      {"or", "any", "later", "version"},
      {"or", "any", "later"},
      {"or", "later", "version"},
      {"or", "later"},
      {"or", "newer"},
      {"or", "higher"},
      {"or", "greater"},
      {"and", "later"},
  }};
  std::vector<KeyToken> raw = raw_tokens(text, base);
  std::vector<KeyToken> out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size();) {
    const std::string& w = raw[i].word;
    if ((w == "v" || w == "version" || w == "ver" || w == "vers") && i + 1 < raw.size() &&
        is_number(raw[i + 1].word)) {
      ++i;
      continue;
    }
    bool later = false;
    for (const auto& seq : kLater) {
      if (i + seq.size() > raw.size()) continue;
      bool same = true;
      for (std::size_t k = 0; k < seq.size() && same; ++k) same = raw[i + k].word == seq[k];
      if (same) {
        out.push_back({"+", raw[i].offset});
        i += seq.size();
        later = true;
        break;
      }
    }
    if (!later) out.push_back(std::move(raw[i++]));
  }
  return out;
}

namespace {

std::string join(const std::vector<KeyToken>& tokens, std::size_t from, std::size_t to) {
  std::string key;
  for (std::size_t k = from; k < to; ++k) {
    if (k > from) key += ' ';
    key += tokens[k].word;
  }
  return key;
}

}  // namespace

std::string reference_key(std::string_view text) {
  const std::vector<KeyToken> tokens = key_tokens(text);
  return join(tokens, 0, tokens.size());
}

ReferenceDataResult parse_reference_data(std::string_view file_content) {
  ReferenceData data;
  std::size_t line_number = 0;
  std::size_t start = 0;
  const auto fail = [&line_number](std::string_view what) {
    return ReferenceDataResult{std::nullopt,
                               "line " + std::to_string(line_number) + ": " + std::string(what)};
  };
  while (start < file_content.size()) {
    std::size_t end = file_content.find('\n', start);
    if (end == std::string_view::npos) end = file_content.size();
    std::string_view line = file_content.substr(start, end - start);
    start = end + 1;
    ++line_number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line[0] == '#') continue;
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos || line.find('\t', tab2 + 1) != std::string_view::npos) {
      return fail("expected KIND<TAB>PATTERN<TAB>VALUE");
    }
    const std::string_view kind = line.substr(0, tab1);
    const std::string_view pattern = line.substr(tab1 + 1, tab2 - tab1 - 1);
    const std::string_view value = line.substr(tab2 + 1);
    if (value.empty()) return fail("empty value");
    if (kind == "url" || kind == "idurl") {
      const std::string normal = normalize_license_url(pattern);
      if (normal.empty()) return fail("empty pattern");
      if (kind == "url") {
        data.urls.emplace(normal, std::string(value));
      } else if (std::find(data.id_url_prefixes.begin(), data.id_url_prefixes.end(), normal) ==
                 data.id_url_prefixes.end()) {
        data.id_url_prefixes.push_back(normal);
      }
      continue;
    }
    const std::vector<KeyToken> tokens = key_tokens(pattern);
    if (tokens.empty()) return fail("empty pattern");
    const std::string key = join(tokens, 0, tokens.size());
    if (kind == "name" || kind == "alias") {
      data.names.emplace(key, ReferenceName{std::string(value), kind == "alias"});
    } else if (kind == "family") {
      data.families.emplace(key, std::string(value));
    } else if (kind == "any") {
      data.any.emplace(key, std::string(value));
      continue;
    } else {
      return fail("unknown kind '" + std::string(kind) + "'");
    }
    uint32_t& longest = data.longest[tokens[0].word];
    longest = std::max<uint32_t>(longest, static_cast<uint32_t>(tokens.size()));
  }
  return {std::move(data), ""};
}

}  // namespace tarsil
