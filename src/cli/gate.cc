// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "cli/gate.h"

#include <fnmatch.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace tarsil {
namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

// One SPDX expression, read token by token: words and parentheses.
struct ExpressionReader {
  const LicenseGate& gate;
  std::vector<std::string> tokens;
  std::size_t next = 0;
  bool bad = false;

  bool at(std::string_view word) const {
    if (next == tokens.size() || tokens[next].size() != word.size()) return false;
    return std::equal(word.begin(), word.end(), tokens[next].begin(),
                      [](char a, char b) { return a == (b & ~0x20); });  // AND, and, ...
  }

  // Each returns whether its part can be satisfied with licenses not refused.
  bool any_of() {
    bool ok = all_of();
    while (!bad && at("OR")) {
      ++next;
      ok = all_of() || ok;
    }
    return ok;
  }
  bool all_of() {
    bool ok = term();
    while (!bad && at("AND")) {
      ++next;
      ok = term() && ok;
    }
    return ok;
  }
  bool term() {
    if (next == tokens.size() || at("AND") || at("OR") || at("WITH") || tokens[next] == ")") {
      bad = true;
      return false;
    }
    if (tokens[next] == "(") {
      ++next;
      const bool ok = any_of();
      if (next == tokens.size() || tokens[next] != ")") bad = true;
      ++next;
      return ok;
    }
    const std::string& id = tokens[next++];
    if (at("WITH")) {
      next += 2;  // the exception only adds permissions: the license decides
      if (next > tokens.size()) bad = true;
    }
    return !refuses(gate, id, false);
  }
};

std::vector<std::string> expression_tokens(const std::string& text) {
  std::vector<std::string> tokens;
  std::string word;
  for (const char c : text) {
    if (is_blank(c) || c == '(' || c == ')') {
      if (!word.empty()) tokens.push_back(std::move(word));
      word.clear();
      if (c == '(' || c == ')') tokens.emplace_back(1, c);
    } else {
      word += c;
    }
  }
  if (!word.empty()) tokens.push_back(std::move(word));
  return tokens;
}

std::string files(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " file" : " files");
}

}  // namespace

void add_patterns(std::string_view list, std::vector<std::string>* patterns) {
  while (true) {
    const std::size_t comma = std::min(list.find(','), list.size());
    std::string_view pattern = list.substr(0, comma);
    while (!pattern.empty() && is_blank(pattern.front())) pattern.remove_prefix(1);
    while (!pattern.empty() && is_blank(pattern.back())) pattern.remove_suffix(1);
    if (!pattern.empty()) patterns->emplace_back(pattern);
    if (comma == list.size()) return;
    list.remove_prefix(comma + 1);
  }
}

bool matches_any(const std::vector<std::string>& patterns, const std::string& id) {
  const bool plus = !id.empty() && id.back() == '+';
  const std::string base = plus ? id.substr(0, id.size() - 1) : std::string();
  for (const std::string& pattern : patterns) {
    if (fnmatch(pattern.c_str(), id.c_str(), FNM_CASEFOLD) == 0) return true;
    if (plus && fnmatch(pattern.c_str(), base.c_str(), FNM_CASEFOLD) == 0) return true;
  }
  return false;
}

bool refuses(const LicenseGate& gate, const std::string& license, bool expression) {
  if (expression) {
    ExpressionReader reader{gate, expression_tokens(license)};
    const bool ok = reader.any_of();
    if (!reader.bad && reader.next == reader.tokens.size()) return !ok;
  }
  return matches_any(gate.fail_on, license) ||
         (gate.allow_given && !matches_any(gate.allow, license));
}

void count_file(const LicenseGate& gate, const std::optional<std::string>& license, bool expression,
                bool per_license, Tally* tally) {
  ++tally->files;
  if (!license) {
    ++tally->no_answer;
    if (gate.fail_on_unknown) ++tally->refused_unknown;
    return;
  }
  if (per_license) ++tally->per_license[*license];
  if (refuses(gate, *license, expression)) ++tally->refused;
}

std::string gate_message(const Tally& tally) {
  if (tally.refused > 0 && tally.refused_unknown > 0) {
    return "tarsil: " + files(tally.refused) + " with a disallowed license, " +
           std::to_string(tally.refused_unknown) + " with no license found\n";
  }
  if (tally.refused > 0) return "tarsil: " + files(tally.refused) + " with a disallowed license\n";
  if (tally.refused_unknown > 0) {
    return "tarsil: " + files(tally.refused_unknown) + " with no license found\n";
  }
  return "";
}

std::string summary_table(const Tally& tally, double seconds) {
  std::vector<std::pair<std::size_t, std::string>> rows;
  for (const auto& [license, count] : tally.per_license) rows.emplace_back(count, license);
  std::stable_sort(rows.begin(), rows.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  char time[32];
  std::snprintf(time, sizeof time, "%.2f", seconds);
  std::vector<std::pair<std::string, std::string>> lines;
  for (const auto& [count, license] : rows) lines.emplace_back(std::to_string(count), license);
  lines.emplace_back(std::to_string(tally.no_answer), "no license found");
  lines.emplace_back(std::to_string(tally.files), "files");
  lines.emplace_back(time, "seconds");
  std::size_t width = 0;
  for (const auto& line : lines) width = std::max(width, line.first.size());
  std::string table;
  for (const auto& [number, label] : lines) {
    table.append(width - number.size(), ' ').append(number).append("  ").append(label) += '\n';
  }
  return table;
}

}  // namespace tarsil
