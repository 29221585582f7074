// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Rule directory resolution: which licenses.d and strings.d a run uses.
//
// Contract:
// - `set_rule_root(dir, settings)` (the -r option) sets licensedir to
//   dir + "/licenses.d" and stringdir to dir + "/strings.d", verbatim; when
//   either is not a directory it fails with kNotAccessible naming that path
//   (licenses.d checked first).
// - `resolve_rule_dir(candidates, name, program_dir, log, out)` sets *out to
//   the first candidate that is a directory, logging "%s is not a valid
//   directory\n" (level 1) for each one that is not; then to
//   <cwd>/../etc/tarsil_rules/<name>; then, logged the same way when that is
//   missing, to <program_dir>/../etc/tarsil_rules/<name>, where an install
//   under any prefix puts the rules beside the program (program_dir: the
//   directory of the running executable; empty: not tried). It fails with
//   kRuleDirNotFound (naming `name`) when that is missing too, or
//   kNoWorkingDirectory when the working directory cannot be obtained.
// - `resolve_rule_dirs` fills whichever of stringdir and licensedir is still
//   unset in *settings, strings first, and stops at the first failure.
// The installed program uses the two fixed candidate lists below; tests pass
// their own. Nothing here writes: log lines go to *log.
#ifndef TARSIL_CLI_RULE_DIRS_H_
#define TARSIL_CLI_RULE_DIRS_H_

#include <string>
#include <vector>

#include "core/log.h"
#include "core/settings.h"
#include "core/status.h"

namespace tarsil {

using RuleCandidates = std::vector<std::string>;

extern const RuleCandidates kStringCandidates;   // stand-alone, then web application
extern const RuleCandidates kLicenseCandidates;  // stand-alone, then web application

Status set_rule_root(const std::string& dir, RunSettings* settings);

Status resolve_rule_dir(const RuleCandidates& candidates, const std::string& name,
                        const std::string& program_dir, DebugLog* log, std::string* out);

Status resolve_rule_dirs(const RuleCandidates& string_candidates,
                         const RuleCandidates& license_candidates, const std::string& program_dir,
                         RunSettings* settings, DebugLog* log);

// The directory of the running executable (from /proc/self/exe); empty when
// it cannot be told.
std::string program_directory();

}  // namespace tarsil

#endif  // TARSIL_CLI_RULE_DIRS_H_
