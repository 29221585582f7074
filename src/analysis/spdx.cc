// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/spdx.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "match/handles.h"
#include "match/text.h"

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

// The text with ASCII letters in lower case.
std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Names to be matched without regard to case.
struct NameSet {
  std::set<std::string> spellings;
  std::map<std::string, std::string> by_lower;  // lower case -> first spelling in byte order
};

// The set of `spellings`, indexed by their lower-case forms.
NameSet make_name_set(std::set<std::string> spellings) {
  NameSet names{std::move(spellings), {}};
  for (const std::string& name : names.spellings) names.by_lower.emplace(lower(name), name);
  return names;
}

// The spelling of `name` in `names`: the same spelling when listed, else the
// first in byte order equal but for case; "" when none.
std::string find_name(const NameSet& names, std::string_view name) {
  if (names.spellings.contains(std::string(name))) return std::string(name);
  const auto it = names.by_lower.find(lower(name));
  return it == names.by_lower.end() ? "" : it->second;
}

// The license directory names and exception ids of one licensedir.
struct KnownNames {
  std::string licensedir;
  NameSet licenses;
  NameSet exceptions;
};

// Lists the non-hidden directories of licensedir and reads the exception list
// beside it; what cannot be read lists nothing.
KnownNames load_known_names(const std::string& licensedir) {
  std::set<std::string> licenses, exceptions;
  if (DirPtr dir{opendir(licensedir.c_str())}) {
    while (const dirent* entry = readdir(dir.get())) {
      if (is_hidden_name(entry->d_name)) continue;
      if (is_directory(licensedir + "/" + entry->d_name)) licenses.insert(entry->d_name);
    }
  }
  const std::size_t slash = licensedir.rfind('/');
  const std::string root = slash == std::string::npos ? "." : licensedir.substr(0, slash);
  if (FilePtr file{std::fopen((root + "/exceptions.txt").c_str(), "r")}) {
    LineBuffer line;
    ssize_t length;
    while ((length = getline(&line.data, &line.capacity, file.get())) >= 0) {
      std::string id(line.data, static_cast<std::size_t>(length));
      trim_whitespace(&id);
      if (!id.empty() && id[0] != '#') exceptions.insert(id);
    }
  }
  return {licensedir, make_name_set(std::move(licenses)), make_name_set(std::move(exceptions))};
}

// The known names of `licensedir`, read on first need and kept until another
// licensedir is asked for; safe to call from several threads.
std::shared_ptr<const KnownNames> known_names(const std::string& licensedir) {
  static std::mutex mutex;
  static std::shared_ptr<const KnownNames> known;
  const std::lock_guard<std::mutex> lock(mutex);
  if (!known || known->licensedir != licensedir) {
    known = std::make_shared<const KnownNames>(load_known_names(licensedir));
  }
  return known;
}

// True for user-defined references ("LicenseRef-...", "DocumentRef-...", any case),
// which never name a known license.
bool is_reference(std::string_view name) {
  const std::string l = lower(name);
  return l.starts_with("licenseref-") || l.starts_with("documentref-");
}

// The rule set's spelling of a license name with an optional trailing '+',
// or "" when it is unknown.
std::string license_spelling(const NameSet& licenses, std::string_view name) {
  if (is_reference(name)) return "";
  if (std::string spelled = find_name(licenses, name); !spelled.empty()) return spelled;
  if (!name.ends_with('+')) return "";
  name.remove_suffix(1);
  if (name.ends_with('+')) return "";
  const std::string spelled = find_name(licenses, name);
  return spelled.empty() ? "" : spelled + "+";
}

// Splits at white space; each parenthesis is a token of its own.
std::vector<std::string_view> tokenize(std::string_view text) {
  std::vector<std::string_view> tokens;
  std::size_t k = 0;
  while (k < text.size()) {
    const char c = text[k];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++k;
    } else if (c == '(' || c == ')') {
      tokens.push_back(text.substr(k++, 1));
    } else {
      const std::size_t start = k;
      while (k < text.size() && !std::isspace(static_cast<unsigned char>(text[k])) &&
             text[k] != '(' && text[k] != ')') {
        ++k;
      }
      tokens.push_back(text.substr(start, k - start));
    }
  }
  return tokens;
}

// The upper-case operator a token spells ("AND", "OR", "WITH"; also in lower
// case), or "".
std::string_view operator_of(std::string_view token) {
  if (token == "AND" || token == "and") return "AND";
  if (token == "OR" || token == "or") return "OR";
  if (token == "WITH" || token == "with") return "WITH";
  return "";
}

// The rewritten expression, or "" when `value` is not one (see spdx.h).
std::string rewrite_expression(std::string_view value, const KnownNames& known) {
  // What the next token may be: an operand (after "(", AND, OR and at the
  // start), an exception (after WITH), or, after a license, ")" and an
  // operator (WITH only right after a license).
  enum class Want { kOperand, kException, kAfterLicense, kAfterOperand };
  Want want = Want::kOperand;
  int depth = 0;
  std::string out;
  const auto append = [&out](std::string_view token) {
    if (!out.empty() && out.back() != '(' && token != ")") out += ' ';
    out += token;
  };
  for (const std::string_view token : tokenize(value)) {
    const std::string_view op = operator_of(token);
    if (want == Want::kOperand) {
      if (token == "(") {
        ++depth;
        append(token);
        continue;
      }
      if (!op.empty() || token == ")") return "";
      const std::string spelled = license_spelling(known.licenses, token);
      if (spelled.empty()) return "";
      append(spelled);
      want = Want::kAfterLicense;
    } else if (want == Want::kException) {
      const std::string spelled = find_name(known.exceptions, token);
      if (spelled.empty()) return "";
      append(spelled);
      want = Want::kAfterOperand;
    } else if (token == ")") {
      if (depth == 0) return "";
      --depth;
      append(token);
      want = Want::kAfterOperand;
    } else if (op == "WITH" && want == Want::kAfterLicense) {
      append(op);
      want = Want::kException;
    } else if (op == "AND" || op == "OR") {
      append(op);
      want = Want::kOperand;
    } else {
      return "";
    }
  }
  const bool complete = want == Want::kAfterLicense || want == Want::kAfterOperand;
  return complete && depth == 0 ? out : "";
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

std::optional<std::string> find_spdx_identifier(std::string_view content,
                                                const RunSettings& settings) {
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
  if (!is_directory(settings.licensedir + "/" + value)) return std::nullopt;
  return value;
}

std::optional<std::string> find_spdx_expression(std::string_view content,
                                                const RunSettings& settings) {
  const std::optional<std::string_view> rest = after_tag(content);
  if (!rest) return std::nullopt;
  std::string value(rest->substr(0, rest->find('\n')));
  clean_value(&value);
  std::string expression = rewrite_expression(value, *known_names(settings.licensedir));
  if (expression.empty()) return std::nullopt;
  return expression;
}

}  // namespace tarsil
