// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "cli/rule_dirs.h"

#include <unistd.h>

#include <cerrno>

#include "fs/file_type.h"

namespace tarsil {

const RuleCandidates kStringCandidates = {"/kelmor/etc/tarsil_rules/strings.d",
                                          "/etc/kelmor/tarsil_rules/strings.d"};
const RuleCandidates kLicenseCandidates = {"/kelmor/etc/tarsil_rules/licenses.d",
                                           "/etc/kelmor/tarsil_rules/licenses.d"};

namespace {

// The working directory, however long; false when it cannot be obtained.
bool current_directory(std::string* out) {
  std::string buffer(256, '\0');
  for (;;) {
    if (getcwd(buffer.data(), buffer.size()) != nullptr) {
      buffer.resize(buffer.find('\0'));
      *out = buffer;
      return true;
    }
    if (errno != ERANGE) return false;
    buffer.assign(buffer.size() * 2, '\0');
  }
}

}  // namespace

Status set_rule_root(const std::string& dir, RunSettings* settings) {
  settings->licensedir = dir + "/licenses.d";
  settings->stringdir = dir + "/strings.d";
  if (!is_directory(settings->licensedir)) {
    return error_status(StatusCode::kNotAccessible, settings->licensedir);
  }
  if (!is_directory(settings->stringdir)) {
    return error_status(StatusCode::kNotAccessible, settings->stringdir);
  }
  return {};
}

Status resolve_rule_dir(const RuleCandidates& candidates, const std::string& name, DebugLog* log,
                        std::string* out) {
  for (const std::string& candidate : candidates) {
    if (is_directory(candidate)) {
      *out = candidate;
      return {};
    }
    debug_log(log, SETTING_DEBUG, "%s is not a valid directory\n", candidate.c_str());
  }
  std::string cwd;
  if (!current_directory(&cwd)) return error_status(StatusCode::kNoWorkingDirectory, "");
  const std::string fallback = cwd + "/../etc/tarsil_rules/" + name;
  if (!is_directory(fallback)) return error_status(StatusCode::kRuleDirNotFound, name);
  *out = fallback;
  return {};
}

Status resolve_rule_dirs(const RuleCandidates& string_candidates,
                         const RuleCandidates& license_candidates, RunSettings* settings,
                         DebugLog* log) {
  if (settings->stringdir.empty()) {
    const Status status =
        resolve_rule_dir(string_candidates, "strings.d", log, &settings->stringdir);
    if (!status.ok()) return status;
  }
  if (settings->licensedir.empty()) {
    return resolve_rule_dir(license_candidates, "licenses.d", log, &settings->licensedir);
  }
  return {};
}

}  // namespace tarsil
