// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "output/records.h"

#include <cstdarg>
#include <cstdio>

#include "output/json.h"

namespace tarsil {
namespace {

// The printf-style text; never fails.
std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
  va_list args;
  va_start(args, pattern);
  va_list again;
  va_copy(again, args);
  char small[512];  // most records fit: one formatting pass
  const int length = std::vsnprintf(small, sizeof small, pattern, args);
  va_end(args);
  std::string out;
  if (length > 0 && static_cast<std::size_t>(length) < sizeof small) {
    out.assign(small, static_cast<std::size_t>(length));
  } else if (length > 0) {
    out.resize(static_cast<std::size_t>(length));
    std::vsnprintf(out.data(), out.size() + 1, pattern, again);
  }
  va_end(again);
  return out;
}

class RecordsFormatter final : public Formatter {
 public:
  explicit RecordsFormatter(bool pretty) : pretty_(pretty) {}
  bool log_on_stdout() const override { return true; }
  FormattedFile file(const FileResult& result, const FileContext&) const override {
    if (!result.licenses_open) return {};
    return FormattedFile{.text = format_record(result, pretty_)};
  }

 private:
  const bool pretty_;
};

}  // namespace

std::string format_record(const FileResult& result, bool pretty) {
  const Verdict& verdict = result.verdict;
  const char* const path = result.path.c_str();
  const char* const copyright = result.copyright_scan ? result.copyright_object.c_str() : "\"\"";
  if (verdict.match == MatchKind::kSpdxTag) {
    if (pretty) {
      return format(
          "{\n\tlicense\t\t: %s\n\tscore\t\t: 100.00\n\tpath\t\t: %s\n\trule\t\t: "
          "SPDX-License-Identifier\n\tcopyright\n%s\n}\n",
          verdict.license.c_str(), path, copyright);
    }
    return format(
        "{\"license\":\"%s\",\"score\":\"100\",\"path\":\"%s\", "
        "\"rule\":\"SPDX-License-Identifier\",\"copyright\":%s}\n",
        json_escape(verdict.license).c_str(), json_escape(result.path).c_str(), copyright);
  }
  const double score = verdict.score;
  if (pretty) {
    return format(
        "{\n\tlicense\t\t: %s\n\tscore\t\t: %.2f\n\tpath\t\t: %s\n\trule\t\t: %s\n\tcopyright\t: "
        "%s\n}\n",
        verdict.license.c_str(), score, path, verdict.rule.c_str(), copyright);
  }
  return format(
      "{\"license\":\"%s\",\"score\":\"%.2f\",\"path\":\"%s\", \" rule\":\"%s\","
      "\"copyright\":%s}\n",
      json_escape(verdict.license).c_str(), score, json_escape(result.path).c_str(),
      json_escape(verdict.rule).c_str(), copyright);
}

std::unique_ptr<Formatter> make_records_formatter(const FormatOptions& options) {
  return std::make_unique<RecordsFormatter>(options.pretty);
}

}  // namespace tarsil
