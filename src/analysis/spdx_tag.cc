// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/spdx_tag.h"

#include <cctype>

namespace tarsil {
namespace {

constexpr std::string_view kTag = "SPDX-License-Identifier:";

// The text after the first tag (up to the first NUL byte); nothing without a tag.
std::optional<std::string_view> after_tag(std::string_view content) {
  content = content.substr(0, content.find('\0'));
  const std::size_t tag = content.find(kTag);
  if (tag == std::string_view::npos) return std::nullopt;
  return content.substr(tag + kTag.size());
}

// Trims the value, drops one trailing comment closer and trims again.
void clean_value(std::string* value) {
  trim_whitespace(value);
  for (const std::string_view closer : {"*/", "-->", "*)"}) {
    if (value->ends_with(closer)) {
      value->resize(value->size() - closer.size());
      trim_whitespace(value);
      break;
    }
  }
}

// True for user-defined references ("LicenseRef-...", "DocumentRef-...", any
// case), which never name a known license.
bool is_user_reference(std::string_view name) {
  const auto starts = [name](std::string_view prefix) {
    if (name.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(name[i])) != prefix[i]) return false;
    }
    return true;
  };
  return starts("licenseref-") || starts("documentref-");
}

// The rule set's spelling of a license name with an optional trailing '+',
// or "" when it is unknown.
std::string tag_license_spelling(const RuleSet& rules, std::string_view name) {
  if (is_user_reference(name)) return "";
  if (std::string spelled = license_spelling(rules, name); !spelled.empty()) return spelled;
  if (!name.ends_with('+')) return "";
  name.remove_suffix(1);
  if (name.ends_with('+')) return "";
  const std::string spelled = license_spelling(rules, name);
  return spelled.empty() ? "" : spelled + "+";
}

}  // namespace

void trim_whitespace(std::string* text) {
  std::size_t begin = 0;
  while (begin < text->size() && std::isspace(static_cast<unsigned char>((*text)[begin]))) {
    ++begin;
  }
  std::size_t end = text->size();
  while (end > begin + 1 && std::isspace(static_cast<unsigned char>((*text)[end - 1]))) --end;
  *text = text->substr(begin, end - begin);
}

std::optional<std::string> find_spdx_identifier(std::string_view content, const RuleSet& rules) {
  static constexpr std::size_t kMaxValue = 25;
  const std::optional<std::string_view> rest = after_tag(content);
  if (!rest) return std::nullopt;
  // The first character always belongs to the value, even a newline.
  std::size_t length = rest->empty() ? 0 : kMaxValue;
  for (std::size_t k = 1; k < kMaxValue && !rest->empty(); ++k) {
    if (k >= rest->size() || (*rest)[k] == '\n') {
      length = k;
      break;
    }
  }
  std::string value(rest->substr(0, length));
  clean_value(&value);
  // An identifier never holds a slash; one that did could name a directory
  // outside the rule set.
  if (value.size() <= 2 || value.find('/') != std::string::npos) return std::nullopt;
  if (!has_license_directory(rules, value)) return std::nullopt;
  return value;
}

std::optional<Expression> find_spdx_expression(std::string_view content, const RuleSet& rules) {
  const std::optional<std::string_view> rest = after_tag(content);
  if (!rest) return std::nullopt;
  std::string value(rest->substr(0, rest->find('\n')));
  clean_value(&value);
  const ExpressionNames names{
      .license = [&rules](std::string_view n) { return tag_license_spelling(rules, n); },
      .exception = [&rules](std::string_view n) { return exception_spelling(rules, n); },
  };
  return parse_expression(value, names);
}

}  // namespace tarsil
