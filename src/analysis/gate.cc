// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/gate.h"

#include <fnmatch.h>

#include <algorithm>

namespace tarsil {
namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
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

bool refuses_id(const LicenseGate& gate, const std::string& id) {
  return matches_any(gate.fail_on, id) || (gate.allow_given && !matches_any(gate.allow, id));
}

bool refuses(const LicenseGate& gate, const Expression& expression) {
  return !satisfiable(expression, [&gate](const std::string& id) { return refuses_id(gate, id); });
}

}  // namespace tarsil
