#include "analysis/identify.h"

#include <cstring>
#include <optional>

#include "analysis/copyright.h"
#include "analysis/record.h"
#include "analysis/spdx.h"
#include "cli/settings.h"
#include "match/chunk_score.h"
#include "match/handles.h"
#include "match/string_rules.h"
#include "match/text.h"

namespace tarsil {
namespace {

bool starts_with(const char* name, const char* prefix) {
  return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

// Scores one reference text and applies the selection rules to `best`.
void consider_reference(const std::string& license, const std::string& name,
                        const std::string& path, std::string_view target, BestMatch* best) {
  const std::string rule = read_normalized_file(path);
  debug_log(SETTING_VERBOSE, "Comparing against %s: %s\n", path.c_str(), rule.c_str());
  const double rule_length = static_cast<double>(rule.size());
  const bool proportional =
      starts_with(license.c_str(), "BSD") || starts_with(license.c_str(), "Apache");
  const float score = chunk_match_score(rule, target, proportional);
  if (score >= run_settings.threshold &&
      (score > best->score || (score == best->score && rule_length > best->rule_length))) {
    *best = BestMatch{license, score, name, rule_length};
    if (match_string_dir(run_settings.stringdir + "/" + license, target)) {
      best->score = (100.0f + best->score) / 2.0f;
    }
  }
  if (score != 0) {
    debug_log(SETTING_DEBUG, "score %.2f (%.2f) %s\t: %s\n", score, best->score,
              proportional ? "(x)" : "", license.c_str());
  }
}

// The license pass; false when the license directory cannot be opened.
bool license_pass(std::string_view target, BestMatch* best) {
  const std::string& root = run_settings.licensedir;
  DirPtr licenses(opendir(root.c_str()));
  if (!licenses) return false;
  while (const dirent* license_entry = readdir(licenses.get())) {
    if (is_hidden_name(license_entry->d_name)) continue;
    const std::string license = license_entry->d_name;
    const std::string license_path = root + "/" + license;
    if (!is_directory(license_path)) continue;
    DirPtr references(opendir(license_path.c_str()));
    if (!references) continue;
    while (const dirent* entry = readdir(references.get())) {
      if (is_hidden_name(entry->d_name)) continue;
      const std::string path = license_path + "/" + entry->d_name;
      if (!is_regular_file(path)) continue;
      consider_reference(license, entry->d_name, path, target, best);
    }
  }
  return true;
}

// The string pass: the first strings.d/<S> whose rules match.
void string_pass(std::string_view target, BestMatch* best) {
  debug_log(SETTING_DEBUG, "Tarsil analyzing string\n");
  *best = BestMatch{};
  const std::string& root = run_settings.stringdir;
  DirPtr strings(opendir(root.c_str()));
  if (!strings) return;
  while (const dirent* entry = readdir(strings.get())) {
    if (is_hidden_name(entry->d_name)) continue;
    if (match_string_dir(root + "/" + entry->d_name, target)) {
      *best = BestMatch{entry->d_name, 100, "strings.d", 0};
      return;
    }
  }
}

}  // namespace

void identify_license(const std::string& path, std::string_view content) {
  const bool copyright_scan = (run_settings.setting & SETTING_COPYRIGHT) != 0;
  const std::string copyright =
      copyright_scan ? extract_copyrights(content, (run_settings.setting & SETTING_PRETTY) != 0)
                     : "\"\"";
  if (const std::optional<std::string> id = find_spdx_identifier(content)) {
    print_spdx_record(*id, path, copyright);
    return;
  }
  const std::string target = normalize_text(content);
  debug_log(SETTING_VERBOSE, "Target: %s\n", target.c_str());
  debug_log(SETTING_DEBUG, "Tarsil analyzing license\n");

  BestMatch best;
  if (!license_pass(target, &best)) {
    std::printf("Can't open license folder: %s\n", run_settings.licensedir.c_str());
    return;
  }
  const float threshold = run_settings.threshold;
  if (best.license.empty() || threshold > best.score) string_pass(target, &best);
  if ((best.license.empty() || threshold > best.score) && copyright_scan) {
    best = BestMatch{"None", 0, "", 0};
  }
  debug_log(SETTING_DEBUG, "Analysis concluded\n");
  print_general_record(best, path, copyright);
}

}  // namespace tarsil
