// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// JSON Lines and CSV: one line per file (contract in formats.h).
#include <cstdio>

#include "analysis/json.h"
#include "cli/formats.h"

namespace tarsil {
namespace {

const char* match_name(MatchKind match) {
  switch (match) {
    case MatchKind::kText:
      return "text";
    case MatchKind::kString:
      return "string";
    case MatchKind::kSpdxTag:
      return "spdx-tag";
    case MatchKind::kNone:
      break;
  }
  return "none";
}

// The score with two decimals: 100 for a tag, 0 without a verdict.
std::string score_text(const FileRecord& record) {
  const double score = record.match == MatchKind::kSpdxTag ? 100.0
                       : record.match == MatchKind::kNone  ? 0.0
                                                           : static_cast<double>(record.score);
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", score);
  return text;
}

// One CSV field, quoted when it must be.
void add_csv_field(std::string_view field, std::string* out) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    out->append(field);
    return;
  }
  out->push_back('"');
  for (const char c : field) {
    if (c == '"') out->push_back('"');
    out->push_back(c);
  }
  out->push_back('"');
}

}  // namespace

std::optional<OutputFormat> parse_format(std::string_view name) {
  if (name == "records") return OutputFormat::kRecords;
  if (name == "jsonl") return OutputFormat::kJsonl;
  if (name == "spdx-json") return OutputFormat::kSpdxJson;
  if (name == "cyclonedx-json") return OutputFormat::kCycloneDxJson;
  if (name == "csv") return OutputFormat::kCsv;
  return std::nullopt;
}

std::string jsonl_line(const FileRecord& record, bool copyrights) {
  const bool verdict = record.match != MatchKind::kNone;
  std::string out = "{\"path\":\"" + json_escape(record.path) + "\",\"license\":";
  out += verdict ? "\"" + json_escape(record.license) + "\"" : "null";
  out += ",\"score\":" + score_text(record) + ",\"rule\":";
  out += record.match == MatchKind::kText ? "\"" + json_escape(record.rule) + "\"" : "null";
  out += ",\"match\":\"";
  out += match_name(record.match);
  out += '"';
  if (copyrights) {
    out += ",\"copyrights\":[";
    for (std::size_t i = 0; i < record.copyrights.size(); ++i) {
      out += (i > 0 ? ",\"" : "\"") + json_escape(record.copyrights[i]) + "\"";
    }
    out += ']';
  }
  out += "}\n";
  return out;
}

std::string csv_header() {
  return "path,license,score,rule,match\r\n";
}

std::string csv_line(const FileRecord& record) {
  const bool verdict = record.match != MatchKind::kNone;
  std::string out;
  add_csv_field(record.path, &out);
  out += ',';
  add_csv_field(verdict ? record.license : "", &out);
  out += ',' + score_text(record) + ',';
  add_csv_field(record.match == MatchKind::kText ? record.rule : "", &out);
  out += ',';
  out += match_name(record.match);
  out += "\r\n";
  return out;
}

}  // namespace tarsil
