#include "match/string_rules.h"

#include <sys/types.h>

#include <cstdio>

#include "cli/settings.h"
#include "match/chunk_score.h"
#include "match/handles.h"
#include "match/text.h"

namespace tarsil {

bool match_string_dir(const std::string& dir, std::string_view target) {
  if (!is_directory(dir)) return false;
  DirPtr listing(opendir(dir.c_str()));
  if (!listing) return false;
  bool matched = false;
  while (const dirent* entry = readdir(listing.get())) {
    if (is_hidden_name(entry->d_name)) continue;
    const std::string path = dir + "/" + entry->d_name;
    if (!is_regular_file(path)) continue;
    FilePtr file(std::fopen(path.c_str(), "r"));
    if (!file) fatal_stderr("ERROR: Cannot open " + path + " during string detection\n");
    LineBuffer line;
    ssize_t length;
    while ((length = getline(&line.data, &line.capacity, file.get())) > 0) {
      const std::string rule = normalize_text(std::string_view(line.data, length));
      debug_log(SETTING_VERBOSE, "Comparing against %s: %s\n", path.c_str(), rule.c_str());
      if (chunk_match_score(rule, target, false) == 100.0f) matched = true;
      if (matched) {
        debug_log(SETTING_VERBOSE, "Matched licensedir\n");
        break;
      }
    }
  }
  return matched;
}

}  // namespace tarsil
