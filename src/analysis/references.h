// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// License references: a file that names its license without quoting it
// ("Licensed under the Apache v2 License", a license URL, `"license":
// "MIT"`, `spdx-license-identifier: MIT`), read with the rule set's reference
// data (references.txt beside licenses.d, written by tools/gen_rules).
//
// Contract: pure functions, no I/O, no globals; the rules layer reads the
// data file and passes its bytes in.
//
// The data file: one entry a line, KIND <TAB> PATTERN <TAB> VALUE; lines
// that are blank or start with '#' are skipped. KIND is one of
//   name    PATTERN a license's name as words ("MIT License"), VALUE the
//           license (an SPDX id or expression);
//   alias   the same for a loose name ("GPLv2+", "New BSD");
//   family  PATTERN names a versioned family ("GNU General Public License"),
//           VALUE its id stem ("GPL"): the version written after the name
//           (within 12 words) picks the name or alias "<stem> <version>",
//           "<stem> <version> +" when "or later" words follow it, "<stem>
//           <version> only" when "only" does;
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
// (normalize_license_url). The first entry of a kind and key counts.
//
// Detections (find_references), each with its license and rule, and the
// first and last line (1-based) of the words that gave it:
//   rule "name"/"alias"/"family"/"any": a name in running text. A name
//     stands as a license reference only when its key holds "license" or
//     "licence" (or "licensed"), or names a GNU acronym with more (a version,
//     "GNU GPL"), or when a license word stands just around it: "licensed",
//     "license", "licence", "released", "distributed", "terms", "dual" at most
//     five words before it, or "license"/"licensed" right after it (a
//     "style", "like" or "type" between: "MIT-style license");
//   rule "url": a URL of the data, or under an idurl prefix naming a known id;
//   rule "tag": an SPDX tag in any letter case, "Licence" too, with or
//     without its colon, inside a string literal too (the pass runs only when
//     the tag reader gave nothing), its value read as below;
//   rule "field:<form>": a declared license value (declared.h lists the
//     forms), read as below.
// A declared value is read as a URL, an SPDX expression of known ids (an
// exception after WITH is not reported: "GPL-2.0 WITH Linux-syscall-note"
// gives GPL-2.0-only), a name or alias (also with a trailing "license"
// dropped), or a family name (without a version: weak, as "any" above).
// Every license reported is known to the rule set: `lookup` returns the rule
// set's spelling of an id (case-insensitive), "" when unknown; a deprecated
// GNU id is reported as its -only / -or-later form. A family named without a
// version ("any") is dropped when the file gives another detection. A file
// whose detections name three licenses or more (a list of licenses) gives
// none.
#ifndef TARSIL_ANALYSIS_REFERENCES_H_
#define TARSIL_ANALYSIS_REFERENCES_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarsil {

// The rule set's spelling of a license id, "" when it knows none.
using LicenseLookup = std::function<std::string(std::string_view)>;

struct ReferenceName {
  std::string license;  // id or expression as written in the data
  bool alias = false;
};

// The parsed data file.
struct ReferenceData {
  std::unordered_map<std::string, ReferenceName> names;   // key -> name or alias
  std::unordered_map<std::string, std::string> families;  // key -> id stem
  std::unordered_map<std::string, std::string> any;       // id stem key -> license
  std::unordered_map<std::string, std::string> urls;      // normalized URL -> license
  std::vector<std::string> id_url_prefixes;               // normalized
  // First token of a name or family key -> the most tokens such a key has.
  std::unordered_map<std::string, uint32_t> longest;
};

// The data, or the reason the file is malformed.
struct ReferenceDataResult {
  std::optional<ReferenceData> data;
  std::string error;  // "line <n>: <what>" when `data` is empty
};

struct ReferenceDetection {
  std::string license;
  std::string rule;
  uint32_t start_line = 0;
  uint32_t end_line = 0;
};

// Parses a references.txt; a line without three tab-separated fields, an
// unknown kind or an empty pattern or value makes the file malformed.
ReferenceDataResult parse_reference_data(std::string_view file_content);

// The key of a name (see above): its tokens joined by single blanks.
std::string reference_key(std::string_view text);

// The references `raw_text` holds (up to its first NUL byte), in text order.
std::vector<ReferenceDetection> find_references(std::string_view raw_text,
                                                const ReferenceData& data,
                                                const LicenseLookup& lookup);

// The license every detection names, "" when they disagree or there are none.
std::string reference_verdict(const std::vector<ReferenceDetection>& detections);

// A declared license value ("MIT", "GPL-2.0+", "Apache License, Version
// 2.0", a URL) as the license to report, "" when it names none.
std::string read_declared_value(std::string_view value, const ReferenceData& data,
                                const LicenseLookup& lookup);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_REFERENCES_H_
