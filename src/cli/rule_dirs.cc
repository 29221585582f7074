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

Status resolve_rule_dir(const RuleCandidates& candidates, const std::string& name,
                        const std::string& program_dir, DebugLog* log, std::string* out) {
  for (const std::string& candidate : candidates) {
    if (is_directory(candidate)) {
      *out = candidate;
      return {};
    }
    debug_log(log, SETTING_DEBUG, "%s is not a valid directory\n", candidate.c_str());
  }
  std::string cwd;
  if (!current_directory(&cwd)) return error_status(StatusCode::kNoWorkingDirectory, "");
  std::vector<std::string> fallbacks = {cwd + "/../etc/tarsil_rules/" + name};
  if (!program_dir.empty()) fallbacks.push_back(program_dir + "/../etc/tarsil_rules/" + name);
  for (std::size_t i = 0; i < fallbacks.size(); ++i) {
    if (is_directory(fallbacks[i])) {
      *out = fallbacks[i];
      return {};
    }
    if (i + 1 < fallbacks.size()) {
      debug_log(log, SETTING_DEBUG, "%s is not a valid directory\n", fallbacks[i].c_str());
    }
  }
  return error_status(StatusCode::kRuleDirNotFound, name);
}

Status resolve_rule_dirs(const RuleCandidates& string_candidates,
                         const RuleCandidates& license_candidates, const std::string& program_dir,
                         RunSettings* settings, DebugLog* log) {
  if (settings->stringdir.empty()) {
    const Status status =
        resolve_rule_dir(string_candidates, "strings.d", program_dir, log, &settings->stringdir);
    if (!status.ok()) return status;
  }
  if (settings->licensedir.empty()) {
    return resolve_rule_dir(license_candidates, "licenses.d", program_dir, log,
                            &settings->licensedir);
  }
  return {};
}

std::string program_directory() {
  std::string path(256, '\0');
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n < 0) return "";
    if (static_cast<std::size_t>(n) < path.size()) {
      path.resize(static_cast<std::size_t>(n));
      break;
    }
    path.assign(path.size() * 2, '\0');
  }
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? "" : path.substr(0, slash);
}

}  // namespace tarsil
