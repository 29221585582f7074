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
    case MatchKind::kReference:
      return "reference";
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

// Appends `text` to `out` as a JSON string.
void append_quoted(std::string& out, std::string_view text) {
  out += '"';
  out += json_escape(text);
  out += '"';
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
  std::string out = "{\"path\":";
  append_quoted(out, record.path);
  out += ",\"license\":";
  if (verdict) {
    append_quoted(out, record.license);
  } else {
    out += "null";
  }
  out += ",\"score\":";
  out += score_text(record);
  out += ",\"rule\":";
  if (record.match == MatchKind::kText) {
    append_quoted(out, record.rule);
  } else {
    out += "null";
  }
  out += ",\"match\":\"";
  out += match_name(record.match);
  out += '"';
  if (copyrights) {
    out += ",\"copyrights\":[";
    for (std::size_t i = 0; i < record.copyrights.size(); ++i) {
      if (i > 0) out += ',';
      append_quoted(out, record.copyrights[i]);
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
