// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "cli/rule_dirs.h"

#include <unistd.h>

#include <cerrno>

#include "cli/output.h"
#include "match/text.h"

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

void set_rule_root(const std::string& dir, RunSettings* settings) {
  settings->licensedir = dir + "/licenses.d";
  settings->stringdir = dir + "/strings.d";
  if (!is_directory(settings->licensedir)) usage_error(2, 'r', settings->licensedir);
  if (!is_directory(settings->stringdir)) usage_error(2, 'r', settings->stringdir);
}

std::string resolve_rule_dir(const RuleCandidates& candidates, const std::string& name,
                             const RunSettings& settings) {
  for (const std::string& candidate : candidates) {
    if (is_directory(candidate)) return candidate;
    cli_log(settings, SETTING_DEBUG, "%s is not a valid directory\n", candidate.c_str());
  }
  std::string cwd;
  if (!current_directory(&cwd)) fatal_stderr("ERROR: CWD not obtained\n");
  const std::string fallback = cwd + "/../etc/tarsil_rules/" + name;
  if (!is_directory(fallback)) fatal_stderr("ERROR: Rule dir: " + name + " not found\n");
  return fallback;
}

void resolve_rule_dirs(const RuleCandidates& string_candidates,
                       const RuleCandidates& license_candidates, RunSettings* settings) {
  if (settings->stringdir.empty()) {
    settings->stringdir = resolve_rule_dir(string_candidates, "strings.d", *settings);
  }
  if (settings->licensedir.empty()) {
    settings->licensedir = resolve_rule_dir(license_candidates, "licenses.d", *settings);
  }
}

}  // namespace tarsil
