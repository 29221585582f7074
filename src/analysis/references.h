// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// License references: a file that names its license without quoting it
// ("Licensed under the Apache v2 License", a license URL, `"license":
// "MIT"`, `spdx-license-identifier: MIT`), read with the rule set's reference
// data (references.txt beside licenses.d, written by tools/gen_rules).
//
// Contract: pure functions, no I/O, no globals; the data comes from the rule
// set (rules/reference_data.h, where its format is described).
//
// Detections (find_references), each with its license and rule, and the
// first and last line (1-based) of the words that gave it:
//   rule "name"/"alias"/"family"/"any": a name in running text. A name
//     stands as a license reference only when its key holds "license" or
//     "licence" (or "licensed"), or names a GNU acronym with more (a version,
//     "GNU GPL"), or when a license word stands just around it: "licensed",
//     "license", "licence", "released", "distributed", "terms", "dual",
//     "covered" at most five words before it, or "license"/"licensed" right
//     after it (a "style", "like" or "type" between: "MIT-style license").
//     A family's name takes the first version within 12 words after it that
//     makes a known name "<stem> <version>"; a name or family version
//     followed within ten words by "or later" words ("later", "newer",
//     "higher", "greater", "+") is "<stem> <version> +" where that is
//     known, by "only" "<stem> <version> only";
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
// whose detections name three licenses or more, or that lists licenses
// (below), gives none.
//
// `lists_licenses` tells a list of licenses (an SPDX id table in code, a
// license-list JSON, an allow list): four or more distinct license ids
// spelt as ids (any letter case), each holding a digit or a dash, so that
// words such as "MIT" or "Ruby" in prose never count.
#ifndef TARSIL_ANALYSIS_REFERENCES_H_
#define TARSIL_ANALYSIS_REFERENCES_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/reference_data.h"

namespace tarsil {

// The rule set's spelling of a license id, "" when it knows none.
using LicenseLookup = std::function<std::string(std::string_view)>;

struct ReferenceDetection {
  std::string license;
  std::string rule;
  uint32_t start_line = 0;
  uint32_t end_line = 0;
  std::size_t begin = 0, end = 0;  // the raw bytes [begin, end) that gave it
};

// The references `raw_text` holds (up to its first NUL byte), in text order.
std::vector<ReferenceDetection> find_references(std::string_view raw_text,
                                                const ReferenceData& data,
                                                const LicenseLookup& lookup);

bool lists_licenses(std::string_view raw_text, const LicenseLookup& lookup);

// The license every detection names, "" when they disagree or there are none.
std::string reference_verdict(const std::vector<ReferenceDetection>& detections);

// A declared license value ("MIT", "GPL-2.0+", "Apache License, Version
// 2.0", a URL) as the license to report, "" when it names none.
std::string read_declared_value(std::string_view value, const ReferenceData& data,
                                const LicenseLookup& lookup);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_REFERENCES_H_
