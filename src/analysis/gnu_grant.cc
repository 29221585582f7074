// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/gnu_grant.h"

#include <array>
#include <optional>

namespace tarsil {
namespace {

// Words after a name within which its version must stand, and after the
// version within which "any later version" must stand.
constexpr std::size_t kVersionWindow = 14;
constexpr std::size_t kLaterWindow = 10;

struct Word {
  std::string_view text;
  uint32_t begin, end;
};

// The words of normalized[begin, end): runs of characters other than '|'
// and the '.' of parts set aside.
std::vector<Word> words_of(std::string_view normalized, uint32_t begin, uint32_t end) {
  std::vector<Word> words;
  uint32_t at = begin;
  while (at < end) {
    while (at < end && (normalized[at] == '|' || normalized[at] == '.')) ++at;
    const uint32_t from = at;
    while (at < end && normalized[at] != '|' && normalized[at] != '.') ++at;
    if (at > from) words.push_back(Word{normalized.substr(from, at - from), from, at});
  }
  return words;
}

enum class Family { kGpl, kLgpl, kLibrary, kAgpl };

// A license name starting at words[i]: its family, the words it takes, and
// a version written in its last word ("GPLV2"), if any.
struct Name {
  Family family;
  std::size_t length;
  std::string_view version;  // "2", "21", "3" or ""
};

std::optional<Name> name_at(const std::vector<Word>& w, std::size_t i) {
  const auto is = [&w](std::size_t k, std::string_view text) {
    return k < w.size() && w[k].text == text;
  };
  const std::size_t j = is(i, "GNU") ? i + 1 : i;
  const std::size_t gnu = j - i;
  struct Long {
    std::string_view first;
    Family family;
  };
  for (const Long& l : {Long{"LESSER", Family::kLgpl}, Long{"LIBRARY", Family::kLibrary},
                        Long{"AFFERO", Family::kAgpl}}) {
    if (is(j, l.first) && is(j + 1, "GENERAL") && is(j + 2, "PUBLIC") && is(j + 3, "LICENSE")) {
      return Name{l.family, gnu + 4, ""};
    }
  }
  if (is(j, "GENERAL") && is(j + 1, "PUBLIC") && is(j + 2, "LICENSE")) {
    return Name{Family::kGpl, gnu + 3, ""};
  }
  if (j >= w.size()) return std::nullopt;
  // GPL, LGPL, AGPL, with or without a version in the word ("GPLV2", "LGPL3").
  std::string_view text = w[j].text;
  Family family = Family::kGpl;
  if (text.starts_with("LGPL")) {
    family = Family::kLgpl;
    text.remove_prefix(4);
  } else if (text.starts_with("AGPL")) {
    family = Family::kAgpl;
    text.remove_prefix(4);
  } else if (text.starts_with("GPL")) {
    text.remove_prefix(3);
  } else {
    return std::nullopt;
  }
  if (text.starts_with('V')) text.remove_prefix(1);
  if (!text.empty() && text != "1" && text != "2" && text != "3") return std::nullopt;
  // "LGPLv2.1": the minor number is the next word.
  std::string_view version = text;
  std::size_t length = gnu + 1;
  if (version == "2" && is(j + 1, "1")) {
    version = "21";
    ++length;
  }
  return Name{family, length, version};
}

// The version written at words[k] ("VERSION|2|1", "V3", "2"): its digits
// and the words it takes; nothing when none stands there.
std::optional<std::pair<std::string_view, std::size_t>> version_at(const std::vector<Word>& w,
                                                                   std::size_t k) {
  std::size_t n = k;
  if (w[n].text == "VERSION" || w[n].text == "V") ++n;
  if (n >= w.size()) return std::nullopt;
  std::string_view number = w[n].text;
  if (n == k) {  // "V2" or a bare number right after the name
    if (number.starts_with('V')) number.remove_prefix(1);
  }
  if (number != "1" && number != "2" && number != "3") return std::nullopt;
  if (number == "2" && n + 1 < w.size() && w[n + 1].text == "1") {
    return std::pair{std::string_view("21"), n + 2 - k};
  }
  if (n + 1 < w.size() && w[n + 1].text == "0") return std::pair{number, n + 2 - k};
  return std::pair{number, n + 1 - k};
}

std::string grant_id(Family family, std::string_view version, bool later) {
  std::string id;
  switch (family) {
    case Family::kGpl:
      id = "GPL-";
      break;
    case Family::kAgpl:
      id = "AGPL-";
      break;
    case Family::kLgpl:
    case Family::kLibrary:
      id = "LGPL-";
      break;
  }
  if (version == "21") {
    if (family != Family::kLgpl) return "";
    id += "2.1";
  } else {
    if (family == Family::kLibrary && version != "2") return "";
    if (family == Family::kLgpl && version == "1") return "";
    id += std::string(version) + ".0";
  }
  return id + (later ? "-or-later" : "-only");
}

}  // namespace

std::vector<GnuGrant> gnu_grants(std::string_view normalized, uint32_t begin, uint32_t end) {
  const std::vector<Word> w = words_of(normalized, begin, end);
  std::vector<GnuGrant> grants;
  for (std::size_t i = 0; i < w.size();) {
    const std::optional<Name> name = name_at(w, i);
    if (!name) {
      ++i;
      continue;
    }
    std::size_t last = i + name->length - 1;  // the clause's last word so far
    std::string_view version = name->version;
    if (version.empty()) {
      for (std::size_t k = last + 1; k < w.size() && k <= last + kVersionWindow; ++k) {
        if (name_at(w, k)) break;  // another license's name: no version for this one
        if (w[k].text != "VERSION" && w[k].text != "V" && !(k == last + 1)) continue;
        if (const auto found = version_at(w, k)) {
          version = found->first;
          last = k + found->second - 1;
          break;
        }
      }
    }
    if (version.empty()) {
      i += name->length;
      continue;
    }
    bool later = false;
    for (std::size_t k = last + 1; k < w.size() && k <= last + kLaterWindow; ++k) {
      if (name_at(w, k)) break;
      const std::string_view t = w[k].text;
      if (t == "LATER" || t == "HIGHER" || t == "NEWER") {
        later = true;
        last = k + (k + 1 < w.size() && w[k + 1].text == "VERSION" ? 1 : 0);
        break;
      }
    }
    if (std::string id = grant_id(name->family, version, later); !id.empty()) {
      grants.push_back(GnuGrant{std::move(id), w[i].begin, w[last].end});
    }
    i = last + 1;
  }
  return grants;
}

}  // namespace tarsil
