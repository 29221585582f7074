// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "output/fields.h"

#include <cstdio>

namespace tarsil {

const char* kind_name(DetectionKind kind) {
  switch (kind) {
    case DetectionKind::kTag:
      return "tag";
    case DetectionKind::kText:
      return "text";
    case DetectionKind::kNotice:
      return "notice";
    case DetectionKind::kReference:
      return "reference";
    case DetectionKind::kString:
      break;
  }
  return "string";
}

std::string score_text(float score) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(score));
  return text;
}

std::string file_license(const FileResult& result) {
  return result.file_expression ? print_expression(*result.file_expression) : "";
}

}  // namespace tarsil
