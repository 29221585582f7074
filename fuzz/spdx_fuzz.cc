// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Fuzz target: both readings of the SPDX tag, against a rule set holding a
// few license directories and an exception list; neither reads past the text
// (it lies in a buffer of exactly its size).
// - The default reading equals a plain reading of its contract.
// - The expression reading returns only expressions made of the rule set's
//   names and upper-case operators, with balanced parentheses, which read
//   back as themselves.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/spdx_tag.h"
#include "fs/handles.h"
#include "rules/rule_set.h"

namespace {

const char* const kLicenses[] = {"MIT",        "mit", "GPL-2.0-only", "GPL-2.0+",
                                 "Apache-2.0", "A B", "BSD-3-Clause"};
const char* const kExceptions[] = {"Classpath-exception-2.0", "LLVM-exception"};

// Makes a licenses.d with the directories above, once, and loads it.
const tarsil::RuleSet& rule_set() {
  static std::unique_ptr<const tarsil::RuleSet> rules;
  if (rules) return *rules;
  const char* const tmp = std::getenv("TMPDIR");
  const std::string root =
      std::string(tmp != nullptr ? tmp : "/tmp") + "/tarsil-fuzz-spdx-" + std::to_string(getpid());
  mkdir(root.c_str(), 0755);
  mkdir((root + "/licenses.d").c_str(), 0755);
  for (const char* id : kLicenses) mkdir((root + "/licenses.d/" + id).c_str(), 0755);
  if (const tarsil::FilePtr list{std::fopen((root + "/exceptions.txt").c_str(), "w")}) {
    std::fputs("# exceptions\n\n", list.get());
    for (const char* id : kExceptions) std::fprintf(list.get(), "%s\n", id);
  }
  rules = tarsil::load_rule_set(root + "/licenses.d", root + "/strings.d",
                                tarsil::Engine::kReference, 20, 2);
  return *rules;
}

// The printed expression of a tag's reading, or nothing.
std::optional<std::string> expression_of(std::string_view text, const tarsil::RuleSet& rules) {
  const std::optional<tarsil::Expression> tree = tarsil::find_spdx_expression(text, rules);
  if (!tree) return std::nullopt;
  return tarsil::print_expression(*tree);
}

// Trims as trim_whitespace does: the first character left is never removed.
void trim(std::string* value) {
  const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  std::size_t begin = 0;
  while (begin < value->size() && space((*value)[begin])) ++begin;
  std::size_t end = value->size();
  while (end > begin + 1 && space((*value)[end - 1])) --end;
  *value = value->substr(begin, end - begin);
}

// The first tag; the value is the next character and those after it up to a
// newline, 25 at most; trimmed (the first character kept), one comment closer
// dropped and trimmed again; more than two characters, no slash, a license
// directory.
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
  trim(&value);
  for (const std::string closer : {"*/", "-->", "*)"}) {
    if (value.size() >= closer.size() &&
        value.compare(value.size() - closer.size(), closer.size(), closer) == 0) {
      value.resize(value.size() - closer.size());
      trim(&value);
      break;
    }
  }
  if (value.size() <= 2 || value.find('/') != std::string::npos) return std::nullopt;
  for (const char* id : kLicenses) {
    if (value == id) return value;
  }
  return std::nullopt;
}

// True when `expression` is made of known names (a license possibly with a
// '+'), "AND", "OR", "WITH" and balanced parentheses, one blank between
// tokens and none inside parentheses.
bool is_written_expression(const std::string& expression) {
  int depth = 0;
  std::string token;
  const auto known = [](const std::string& word) {
    for (const char* id : kLicenses) {
      if (word == id || word == std::string(id) + "+") return true;
    }
    for (const char* id : kExceptions) {
      if (word == id) return true;
    }
    return word == "AND" || word == "OR" || word == "WITH";
  };
  for (std::size_t i = 0; i <= expression.size(); ++i) {
    const char c = i < expression.size() ? expression[i] : ' ';
    if (c == '(' || c == ')' || c == ' ') {
      if (!token.empty() && !known(token)) return false;
      token.clear();
      depth += c == '(' ? 1 : c == ')' ? -1 : 0;
      if (depth < 0) return false;
      if (c == ' ' && i > 0 && i < expression.size() &&
          (expression[i - 1] == ' ' || expression[i - 1] == '(' || expression[i + 1] == ')')) {
        return false;
      }
    } else {
      token.push_back(c);
    }
  }
  return depth == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const tarsil::RuleSet& rules = rule_set();
  const std::unique_ptr<char[]> copy(new char[size]);
  std::copy(data, data + size, copy.get());
  const std::string_view text(copy.get(), size);
  if (tarsil::find_spdx_identifier(text, rules) != plain_reader(text)) std::abort();
  if (const std::optional<std::string> expression = expression_of(text, rules)) {
    if (!is_written_expression(*expression)) std::abort();
    const std::string again = "SPDX-License-Identifier: " + *expression;
    if (expression_of(again, rules) != expression) std::abort();
  }
  return 0;
}
