// Fuzz target: the SPDX tag reader equals a plain reading of its contract,
// against a rule set holding a few license directories, and never reads past
// the text.
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/spdx.h"
#include "cli/settings.h"

namespace {

const char* const kLicenses[] = {"MIT", "GPL-2.0-only", "Apache-2.0", "A B", "BSD-3-Clause"};

// Makes a licenses.d with the directories above, once.
void make_rule_set() {
  static bool made = false;
  if (made) return;
  made = true;
  const char* const tmp = std::getenv("TMPDIR");
  const std::string root =
      std::string(tmp != nullptr ? tmp : "/tmp") + "/tarsil-fuzz-spdx-" + std::to_string(getpid());
  mkdir(root.c_str(), 0755);
  for (const char* id : kLicenses) mkdir((root + "/" + id).c_str(), 0755);
  tarsil::run_settings.licensedir = root;
}

// The first tag; the value is the next character and those after it up to a
// newline, 25 at most; trimmed (the first character kept), more than two
// characters, no slash, a license directory.
std::optional<std::string> plain_reader(std::string_view text) {
  const std::string_view tag = "SPDX-License-Identifier:";
  text = text.substr(0, text.find('\0'));
  std::size_t at = text.find(tag);
  if (at == std::string_view::npos) return std::nullopt;
  at += tag.size();
  std::string value;
  for (std::size_t k = 0; k < 25 && at + k < text.size(); ++k) {
    if (k > 0 && text[at + k] == '\n') break;
    value.push_back(text[at + k]);
  }
  const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  std::size_t begin = 0;
  while (begin < value.size() && space(value[begin])) ++begin;
  std::size_t end = value.size();
  while (end > begin + 1 && space(value[end - 1])) --end;
  value = value.substr(begin, end - begin);
  if (value.size() <= 2 || value.find('/') != std::string::npos) return std::nullopt;
  for (const char* id : kLicenses) {
    if (value == id) return value;
  }
  return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  make_rule_set();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (tarsil::find_spdx_identifier(text) != plain_reader(text)) std::abort();
  return 0;
}
