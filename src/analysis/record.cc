// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/record.h"

#include <cstdarg>
#include <cstdio>

#include "analysis/json.h"

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

}  // namespace

std::string format_record(const FileRecord& record, bool pretty) {
  const char* const path = record.path.c_str();
  const char* const copyright = record.copyright.c_str();
  if (record.spdx) {
    if (pretty) {
      return format(
          "{\n\tlicense\t\t: %s\n\tscore\t\t: 100.00\n\tpath\t\t: %s\n\trule\t\t: "
          "SPDX-License-Identifier\n\tcopyright\n%s\n}\n",
          record.license.c_str(), path, copyright);
    }
    return format(
        "{\"license\":\"%s\",\"score\":\"100\",\"path\":\"%s\", "
        "\"rule\":\"SPDX-License-Identifier\",\"copyright\":%s}\n",
        json_escape(record.license).c_str(), json_escape(record.path).c_str(), copyright);
  }
  const double score = record.score;
  if (pretty) {
    return format(
        "{\n\tlicense\t\t: %s\n\tscore\t\t: %.2f\n\tpath\t\t: %s\n\trule\t\t: %s\n\tcopyright\t: "
        "%s\n}\n",
        record.license.c_str(), score, path, record.rule.c_str(), copyright);
  }
  return format(
      "{\"license\":\"%s\",\"score\":\"%.2f\",\"path\":\"%s\", \" rule\":\"%s\","
      "\"copyright\":%s}\n",
      json_escape(record.license).c_str(), score, json_escape(record.path).c_str(),
      json_escape(record.rule).c_str(), copyright);
}

}  // namespace tarsil
