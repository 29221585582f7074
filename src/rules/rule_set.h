// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The rule set of a run: the only code that knows its layout on disk.
//
//   <root>/licenses.d/<ID>/<file>  reference texts of license <ID>
//   <root>/strings.d/<ID>/<file>   string rules of license <ID>, one per line
//   <root>/exceptions.txt          SPDX exception ids, one per line ('#': comment)
//
// Contract:
// - `load_rule_set(licensedir, stringdir, engine)` reads everything once, in
//   the file system's listing order, names beginning with "." ignored at
//   every level (except as tag names, below): every reference text and every
//   string-rule line, normalized, and the exception list beside licensedir.
//   It writes nothing and never fails. A file that cannot be opened is
//   remembered as such (its `readable` / `opened` flag), so that the pass
//   that reaches it reports it then. Directories that cannot be listed or
//   entered are passed over as the license and string passes pass them over.
// - The texts of all reference texts, then of all string-rule lines, are the
//   rule set's numbered "units" (unit_text); the fast engine's chunk index
//   covers them all (built only for Engine::kFast).
// - Listings and contents are taken as they were at loading time: the rule
//   set is assumed not to change during a run. The value is immutable once
//   loaded and shared by every thread.
// - Names for SPDX tags: `has_license_directory` tells whether licensedir
//   holds a directory of exactly that name (hidden ones too, as stat would
//   say); `license_spelling` and `exception_spelling` find a non-hidden
//   license directory, or a listed exception, without regard to case (the
//   same spelling when listed, else the first in byte order), "" when none.
#ifndef TARSIL_RULES_RULE_SET_H_
#define TARSIL_RULES_RULE_SET_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "match/chunk_index.h"

namespace tarsil {

// kFast scores every rule with the chunk index, one pass per file;
// kReference scores each rule on its own with chunk_match_score (the tests'
// and benchmarks' yardstick).
enum class Engine { kReference, kFast };

// licenses.d/<L>/<R>.
struct ReferenceText {
  std::string name{};  // R
  std::string path{};  // licensedir/L/R
  std::string text{};  // normalized; empty when unreadable
  bool readable = false;
  uint32_t unit = 0;
};

// licenses.d/<L>, a directory that could be opened.
struct LicenseRules {
  std::string name{};         // L
  bool proportional = false;  // scored in proportional mode (L starts with BSD or Apache)
  int32_t string_dir = -1;    // its strings.d/<L> in RuleSet::string_dirs, or -1
  std::vector<ReferenceText> references{};
};

// A regular file of string rules: its normalized lines, in file order.
struct StringRuleFile {
  std::string path{};
  bool opened = false;
  std::vector<std::string> lines{};
  uint32_t first_unit = 0;  // the lines are units first_unit, first_unit + 1, ...
};

// strings.d/<name>; `usable` when it is a directory that could be opened.
struct StringRuleDir {
  std::string name{};
  bool usable = false;
  std::vector<StringRuleFile> files{};
};

// Names matched without regard to case.
struct NameSet {
  std::set<std::string> spellings{};
  std::map<std::string, std::string> by_lower{};  // lower case -> first spelling in byte order
};

struct RuleSet {
  std::string licensedir{};
  std::string stringdir{};
  Engine engine = Engine::kFast;

  bool licenses_open = false;  // licensedir could be listed
  std::vector<LicenseRules> licenses{};
  bool strings_open = false;              // stringdir could be listed
  std::vector<int32_t> string_listing{};  // stringdir's entries, in listing order
  std::vector<StringRuleDir> string_dirs{};

  // Per reference unit (0 .. reference_units() - 1): its license and its
  // position among that license's references.
  std::vector<std::pair<uint32_t, uint32_t>> reference_of_unit{};
  // The first unreadable reference's unit; reference_units() when none.
  uint32_t first_unreadable_unit = 0;
  std::vector<std::string_view> units{};  // every unit's normalized text

  std::set<std::string> license_directories{};  // every directory of licensedir, hidden too
  NameSet license_names{};                      // the non-hidden ones
  NameSet exception_names{};

  std::optional<ChunkIndex> index{};  // kFast only

  uint32_t reference_units() const { return static_cast<uint32_t>(reference_of_unit.size()); }
  const ReferenceText& reference(uint32_t unit) const {
    const auto [l, r] = reference_of_unit[unit];
    return licenses[l].references[r];
  }
};

// Reads the rule set under the two directories; never fails (see above).
// `minbytes` and `minwords` cut the chunk index's chunks.
std::unique_ptr<const RuleSet> load_rule_set(const std::string& licensedir,
                                             const std::string& stringdir, Engine engine,
                                             int minbytes, int minwords);

// The rule a verdict of the string rules names.
inline constexpr std::string_view kStringRulesName = "strings.d";

// True for names the rule set ignores.
inline bool is_hidden_name(std::string_view name) {
  return !name.empty() && name[0] == '.';
}

// True when licensedir holds a directory named `name` exactly.
bool has_license_directory(const RuleSet& rules, const std::string& name);

std::string license_spelling(const RuleSet& rules, std::string_view name);
std::string exception_spelling(const RuleSet& rules, std::string_view name);

}  // namespace tarsil

#endif  // TARSIL_RULES_RULE_SET_H_
