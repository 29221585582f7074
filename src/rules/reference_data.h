// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The rule set's reference data: references.txt beside licenses.d, how files
// name a license without quoting it (written by tools/gen_rules; read by
// analysis/references.h).
//
// Contract: pure functions, no I/O, no globals; rule_set.cc reads the file
// and calls parse_reference_data once per run.
//
// The file: one entry a line, KIND <TAB> PATTERN <TAB> VALUE; lines that
// are blank or start with '#' are skipped. KIND is one of
//   name    PATTERN a license's name as words ("MIT License"), VALUE the
//           license (an SPDX id or expression);
//   alias   the same for a loose name ("GPLv2+", "New BSD");
//   family  PATTERN names a versioned family ("GNU General Public License"),
//           VALUE its id stem ("GPL"): the version written after the name
//           picks the name or alias "<stem> <version>" (see references.h);
//   any     PATTERN an id stem, VALUE the license of a family named without
//           a version ("GPL" -> GPL-1.0-or-later: the GNU licenses let any
//           version be chosen);
//   url     PATTERN a URL, VALUE the license it points to;
//   idurl   PATTERN a URL whose next path component is an SPDX id
//           ("spdx.org/licenses"), VALUE unused.
// Names are compared as keys (reference_key): lower-case tokens of letters,
// of digits and dots, or '+'; "gplv2" is "gpl v 2"; numbers lose trailing
// ".0"s and leading zeros ("2.0" is "2"); "v"/"version" before a number is
// dropped; "or later", "or any later", "or newer", "or higher", "or greater"
// and "and later" become "+". URLs are compared normalized
// (normalize_license_url). The first entry of a key counts (names and
// aliases share their keys). A line without three tab-separated fields, an
// unknown kind, or an empty pattern or value makes the file malformed: the
// result then holds no data and "line <n>: <what>".
#ifndef TARSIL_RULES_REFERENCE_DATA_H_
#define TARSIL_RULES_REFERENCE_DATA_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarsil {

struct ReferenceName {
  std::string license{};  // id or expression as written in the data
  bool alias = false;
};

struct ReferenceData {
  std::unordered_map<std::string, ReferenceName> names{};   // key -> name or alias
  std::unordered_map<std::string, std::string> families{};  // key -> id stem
  std::unordered_map<std::string, std::string> any{};       // id stem key -> license
  std::unordered_map<std::string, std::string> urls{};      // normalized URL -> license
  std::vector<std::string> id_url_prefixes{};               // normalized
  // First token of a name or family key -> the most tokens such a key has.
  std::unordered_map<std::string, uint32_t> longest{};
};

struct ReferenceDataResult {
  std::optional<ReferenceData> data{};
  std::string error{};  // "line <n>: <what>" when `data` is empty
};

ReferenceDataResult parse_reference_data(std::string_view file_content);

// One key token, with the offset of its first byte (plus `base`).
struct KeyToken {
  std::string word{};
  std::size_t offset = 0;
};

// The key tokens of `text` (see above), offsets counted from `base`.
std::vector<KeyToken> key_tokens(std::string_view text, std::size_t base = 0);

// The key of a name: its tokens joined by single blanks.
std::string reference_key(std::string_view text);

}  // namespace tarsil

#endif  // TARSIL_RULES_REFERENCE_DATA_H_
