// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Rule directory resolution: which licenses.d and strings.d a run uses.
//
// Contract:
// - `set_rule_root(dir, settings)` (the -r option) sets licensedir to
//   dir + "/licenses.d" and stringdir to dir + "/strings.d", verbatim; when either is not a
//   directory it ends the run with usage_error kind 2 naming that path
//   (licenses.d checked first).
// - `resolve_rule_dir(candidates, name)` returns the first candidate that is
//   a directory, logging "%s is not a valid directory\n" (level 1) for each
//   one that is not; then <cwd>/../etc/tarsil_rules/<name>. It never returns
//   when that is missing too ("ERROR: Rule dir: %s not found\n", standard
//   error, exit 1) or when the working directory cannot be obtained
//   ("ERROR: CWD not obtained\n", standard error, exit 1).
// - `resolve_rule_dirs` fills whichever of stringdir and licensedir is still
//   unset in *settings, strings first.
// The installed program always uses the two fixed candidate lists below;
// tests pass their own lists.
#ifndef TARSIL_CLI_RULE_DIRS_H_
#define TARSIL_CLI_RULE_DIRS_H_

#include <string>
#include <vector>

#include "core/settings.h"

namespace tarsil {

using RuleCandidates = std::vector<std::string>;

extern const RuleCandidates kStringCandidates;   // stand-alone, then web application
extern const RuleCandidates kLicenseCandidates;  // stand-alone, then web application

void set_rule_root(const std::string& dir, RunSettings* settings);

// Logs at the level settings.setting chooses.
std::string resolve_rule_dir(const RuleCandidates& candidates, const std::string& name,
                             const RunSettings& settings);

void resolve_rule_dirs(const RuleCandidates& string_candidates,
                       const RuleCandidates& license_candidates, RunSettings* settings);

}  // namespace tarsil

#endif  // TARSIL_CLI_RULE_DIRS_H_
