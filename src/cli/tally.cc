// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "cli/tally.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace tarsil {
namespace {

std::string files(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " file" : " files");
}

}  // namespace

void count_file(const LicenseGate& gate, const Expression* expression, const std::string& license,
                bool per_license, Tally* tally) {
  ++tally->files;
  if (expression == nullptr) {
    ++tally->no_answer;
    if (gate.fail_on_unknown) ++tally->refused_unknown;
    return;
  }
  if (per_license) ++tally->per_license[license];
  if (refuses(gate, *expression)) ++tally->refused;
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
