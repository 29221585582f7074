#include "analysis/spdx.h"

#include <cctype>

#include "cli/settings.h"
#include "match/text.h"

namespace tarsil {

void trim_whitespace(std::string* text) {
  std::size_t begin = 0;
  while (begin < text->size() && std::isspace(static_cast<unsigned char>((*text)[begin]))) {
    ++begin;
  }
  std::size_t end = text->size();
  while (end > begin + 1 && std::isspace(static_cast<unsigned char>((*text)[end - 1]))) --end;
  *text = text->substr(begin, end - begin);
}

std::optional<std::string> find_spdx_identifier(std::string_view content) {
  static constexpr std::string_view kTag = "SPDX-License-Identifier:";
  static constexpr std::size_t kMaxValue = 25;
  content = content.substr(0, content.find('\0'));
  const std::size_t tag = content.find(kTag);
  if (tag == std::string_view::npos) return std::nullopt;
  const std::string_view rest = content.substr(tag + kTag.size());
  // The first character always belongs to the value, even a newline.
  std::size_t length = rest.empty() ? 0 : kMaxValue;
  for (std::size_t k = 1; k < kMaxValue && !rest.empty(); ++k) {
    if (k >= rest.size() || rest[k] == '\n') {
      length = k;
      break;
    }
  }
  std::string value(rest.substr(0, length));
  trim_whitespace(&value);
  // An identifier never holds a slash; one that did could name a directory
  // outside the rule set.
  if (value.size() <= 2 || value.find('/') != std::string::npos) return std::nullopt;
  if (!is_directory(run_settings.licensedir + "/" + value)) return std::nullopt;
  return value;
}

}  // namespace tarsil
