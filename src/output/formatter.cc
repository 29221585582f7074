// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "output/formatter.h"

#include "output/lines.h"
#include "output/records.h"
#include "output/sbom.h"

namespace tarsil {

std::optional<OutputFormat> parse_format(std::string_view name) {
  if (name == "records") return OutputFormat::kRecords;
  if (name == "jsonl") return OutputFormat::kJsonl;
  if (name == "spdx-json") return OutputFormat::kSpdxJson;
  if (name == "cyclonedx-json") return OutputFormat::kCycloneDxJson;
  if (name == "csv") return OutputFormat::kCsv;
  return std::nullopt;
}

std::unique_ptr<Formatter> make_formatter(OutputFormat format, FormatOptions options) {
  switch (format) {
    case OutputFormat::kJsonl:
      return make_jsonl_formatter(options);
    case OutputFormat::kCsv:
      return make_csv_formatter(options);
    case OutputFormat::kSpdxJson:
      return make_spdx_formatter(options);
    case OutputFormat::kCycloneDxJson:
      return make_cyclonedx_formatter(options);
    case OutputFormat::kRecords:
      break;
  }
  return make_records_formatter(options);
}

}  // namespace tarsil
