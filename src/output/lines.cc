// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "output/lines.h"

#include <cstdio>

#include "output/json.h"

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
std::string score_text(const Verdict& verdict) {
  const double score = verdict.match == MatchKind::kSpdxTag ? 100.0
                       : verdict.match == MatchKind::kNone  ? 0.0
                                                            : static_cast<double>(verdict.score);
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

class JsonlFormatter final : public Formatter {
 public:
  explicit JsonlFormatter(bool copyrights) : copyrights_(copyrights) {}
  FormattedFile file(const FileResult& result, const FileContext&) const override {
    if (!result.licenses_open) return {};
    return FormattedFile{.text = jsonl_line(result, copyrights_)};
  }

 private:
  const bool copyrights_;
};

class CsvFormatter final : public Formatter {
 public:
  std::string begin() const override { return csv_header(); }
  FormattedFile file(const FileResult& result, const FileContext&) const override {
    if (!result.licenses_open) return {};
    return FormattedFile{.text = csv_line(result)};
  }
};

}  // namespace

std::string jsonl_line(const FileResult& result, bool copyrights) {
  const Verdict& verdict = result.verdict;
  const bool found = verdict.match != MatchKind::kNone;
  std::string out = "{\"path\":";
  append_quoted(out, result.path);
  // A name that is not UTF-8 cannot be written exactly as a JSON string.
  if (!is_valid_utf8(result.path)) out += ",\"path_bytes\":\"" + base64(result.path) + '"';
  out += ",\"license\":";
  if (found) {
    append_quoted(out, verdict.license);
  } else {
    out += "null";
  }
  out += ",\"score\":";
  out += score_text(verdict);
  out += ",\"rule\":";
  if (verdict.match == MatchKind::kText) {
    append_quoted(out, verdict.rule);
  } else {
    out += "null";
  }
  out += ",\"match\":\"";
  out += match_name(verdict.match);
  out += '"';
  if (copyrights) {
    out += ",\"copyrights\":[";
    for (std::size_t i = 0; i < result.copyrights.size(); ++i) {
      if (i > 0) out += ',';
      append_quoted(out, result.copyrights[i]);
    }
    out += ']';
  }
  out += "}\n";
  return out;
}

std::string csv_header() {
  return "path,license,score,rule,match\r\n";
}

std::string csv_line(const FileResult& result) {
  const Verdict& verdict = result.verdict;
  const bool found = verdict.match != MatchKind::kNone;
  std::string out;
  add_csv_field(result.path, &out);
  out += ',';
  add_csv_field(found ? verdict.license : "", &out);
  out += ',' + score_text(verdict) + ',';
  add_csv_field(verdict.match == MatchKind::kText ? verdict.rule : "", &out);
  out += ',';
  out += match_name(verdict.match);
  out += "\r\n";
  return out;
}

std::unique_ptr<Formatter> make_jsonl_formatter(const FormatOptions& options) {
  return std::make_unique<JsonlFormatter>(options.copyrights);
}

std::unique_ptr<Formatter> make_csv_formatter(const FormatOptions&) {
  return std::make_unique<CsvFormatter>();
}

}  // namespace tarsil
