// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The rule set's reference data, read once per run: references.txt beside
// licenses.d, and the license directory names its ids are looked up in.
//
// Contract: `reference_rules(licensedir)` reads, on the first call for a
// licensedir, the file "references.txt" in the directory holding licensedir,
// parses it (references.h) and lists the non-hidden directories of
// licensedir; later calls return the same value (shared by all threads).
// A missing file gives no data: a rule set without it behaves as before. A
// malformed one gives no data and the error, which ends the run.
#ifndef TARSIL_ANALYSIS_REFERENCE_RULES_H_
#define TARSIL_ANALYSIS_REFERENCE_RULES_H_

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "analysis/references.h"
#include "core/error.h"

namespace tarsil {

struct ReferenceRules {
  std::string licensedir;
  std::optional<ReferenceData> data;
  std::optional<RunError> error;
  std::set<std::string> licenses;               // directory names
  std::map<std::string, std::string> by_lower;  // lower case -> first spelling in byte order
  LicenseLookup lookup;                         // over `licenses`
};

std::shared_ptr<const ReferenceRules> reference_rules(const std::string& licensedir);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_REFERENCE_RULES_H_
