// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "match/string_rules.h"

#include <sys/types.h>

#include <cstdio>

#include "match/chunk_score.h"
#include "match/handles.h"
#include "match/text.h"

namespace tarsil {

bool read_rule_line(std::FILE* file, std::string* line) {
  line->clear();
  bool any = false;
  for (int c; (c = getc_unlocked(file)) != EOF;) {
    any = true;
    if (line->size() < kMaxTextBytes) line->push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return any;
}

RunError string_file_error(const std::string& path) {
  return RunError{"ERROR: Cannot open " + path + " during string detection\n", Stream::kStderr};
}

bool match_string_dir(const std::string& dir, std::string_view target, const RunSettings& settings,
                      DebugLog* log, std::optional<RunError>* error) {
  if (!is_directory(dir)) return false;
  DirPtr listing(opendir(dir.c_str()));
  if (!listing) return false;
  bool matched = false;
  while (const dirent* entry = readdir(listing.get())) {
    if (is_hidden_name(entry->d_name)) continue;
    const std::string path = dir + "/" + entry->d_name;
    if (!is_regular_file(path)) continue;
    FilePtr file(std::fopen(path.c_str(), "r"));
    if (!file) {
      *error = string_file_error(path);
      return false;
    }
    std::string line;
    while (read_rule_line(file.get(), &line)) {
      const std::string rule = normalize_text(line);
      debug_log(log, SETTING_VERBOSE, "Comparing against %s: %s\n", path.c_str(), rule.c_str());
      if (chunk_match_score(rule, target, false, settings) == 100.0f) matched = true;
      if (matched) {
        debug_log(log, SETTING_VERBOSE, "Matched licensedir\n");
        break;
      }
    }
  }
  return matched;
}

}  // namespace tarsil
