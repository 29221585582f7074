// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "output/text.h"

#include "output/fields.h"

namespace tarsil {
namespace {

class TextFormatter final : public Formatter {
 public:
  FormattedFile file(const FileResult& result, const FileContext&) const override {
    if (!result.licenses_open) return {};
    return FormattedFile{.text = text_block(result)};
  }
};

}  // namespace

std::string text_block(const FileResult& result) {
  const std::string license = file_license(result);
  std::string out = result.path + ": " + (license.empty() ? "no license found" : license) + "\n";
  for (const Detection& d : result.detections) {
    out += "  " + d.license + "  " + kind_name(d.kind) + "  " + score_text(d.score) + "  lines " +
           std::to_string(d.start_line) + "-" + std::to_string(d.end_line) + "  " + d.rule + "\n";
  }
  return out;
}

std::unique_ptr<Formatter> make_text_formatter(const FormatOptions&) {
  return std::make_unique<TextFormatter>();
}

}  // namespace tarsil
