// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "output/lines.h"

#include "output/fields.h"
#include "output/json.h"

namespace tarsil {
namespace {

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
  explicit CsvFormatter(bool copyrights) : copyrights_(copyrights) {}
  std::string begin() const override { return csv_header(copyrights_); }
  FormattedFile file(const FileResult& result, const FileContext&) const override {
    if (!result.licenses_open) return {};
    return FormattedFile{.text = csv_line(result, copyrights_)};
  }

 private:
  const bool copyrights_;
};

}  // namespace

std::string jsonl_line(const FileResult& result, bool copyrights) {
  std::string out = "{\"path\":";
  append_quoted(out, result.path);
  // A name that is not UTF-8 cannot be written exactly as a JSON string.
  if (!is_valid_utf8(result.path)) out += ",\"path_bytes\":\"" + base64(result.path) + '"';
  out += ",\"license\":";
  append_quoted(out, file_license(result));
  out += ",\"detections\":[";
  for (std::size_t i = 0; i < result.detections.size(); ++i) {
    const Detection& d = result.detections[i];
    out += i > 0 ? ",{\"license\":" : "{\"license\":";
    append_quoted(out, d.license);
    out += ",\"match\":\"" + std::string(kind_name(d.kind)) +
           "\",\"score\":" + score_text(d.score) +
           ",\"start_line\":" + std::to_string(d.start_line) +
           ",\"end_line\":" + std::to_string(d.end_line) + ",\"rule\":";
    append_quoted(out, d.rule);
    out += '}';
  }
  out += ']';
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

std::string csv_header(bool copyrights) {
  return copyrights ? "path,license,detections,copyrights\r\n" : "path,license,detections\r\n";
}

std::string csv_line(const FileResult& result, bool copyrights) {
  std::string detections;
  for (const Detection& d : result.detections) {
    if (!detections.empty()) detections += "; ";
    detections += d.license + " (" + kind_name(d.kind) + " " + score_text(d.score) + ", lines " +
                  std::to_string(d.start_line) + "-" + std::to_string(d.end_line) + ")";
  }
  std::string out;
  add_csv_field(result.path, &out);
  out += ',';
  add_csv_field(file_license(result), &out);
  out += ',';
  add_csv_field(detections, &out);
  if (copyrights) {
    std::string statements;
    for (const std::string& statement : result.copyrights) {
      statements += (statements.empty() ? "" : " / ") + statement;
    }
    out += ',';
    add_csv_field(statements, &out);
  }
  out += "\r\n";
  return out;
}

std::unique_ptr<Formatter> make_jsonl_formatter(const FormatOptions& options) {
  return std::make_unique<JsonlFormatter>(options.copyrights);
}

std::unique_ptr<Formatter> make_csv_formatter(const FormatOptions& options) {
  return std::make_unique<CsvFormatter>(options.copyrights);
}

}  // namespace tarsil
