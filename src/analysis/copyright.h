// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Copyright statement extraction: the copyright object of a result record.
//
// Contract: `extract_copyrights` scans the raw text for "COPYRIGHT" in any
// letter case and returns an object text, in JSON form ({"0":"...",...}) or
// in pretty form (tab-indented, one numbered entry per line):
// - at most 10 occurrences are examined; entry indices count every examined
//   occurrence from 0, kept or not, so kept indices may have gaps;
// - an entry is at most 99 examined characters starting at the occurrence;
//   tabs and '"' become blanks, runs of blanks fold into one, and the copy
//   ends before any byte below 32 or of 0x80 and above (DEL is copied); a
//   trailing blank is removed; the next search resumes right after the
//   examined characters;
// - an entry is kept when its text has at least 14 characters (index 0) or 13
//   (later indices) in JSON form, at least 12 in pretty form;
// - in JSON form a backslash is written as two, so the object is valid JSON;
//   the pretty form copies backslashes as they are.
// `copyright_entries` returns the kept entries themselves, in file order,
// with their indices and their texts before any escaping (the statements of
// the jsonl and SBOM formats: JSON-form thresholds, pretty false).
// Neither can fail.
#ifndef TARSIL_ANALYSIS_COPYRIGHT_H_
#define TARSIL_ANALYSIS_COPYRIGHT_H_

#include <string>
#include <string_view>
#include <vector>

namespace tarsil {

struct CopyrightEntry {
  int index = 0;     // among the examined occurrences
  std::string text;  // as found, tabs and quotes blanked, blanks folded
};

std::vector<CopyrightEntry> copyright_entries(std::string_view content, bool pretty);

std::string extract_copyrights(std::string_view content, bool pretty);

// The object text of `entries` (as copyright_entries gave them for `pretty`).
std::string copyright_object(const std::vector<CopyrightEntry>& entries, bool pretty);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_COPYRIGHT_H_
