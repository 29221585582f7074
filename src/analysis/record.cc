#include "analysis/record.h"

#include <cerrno>
#include <cstdio>

#include "analysis/json.h"
#include "cli/settings.h"

namespace tarsil {
namespace {

bool pretty() {
  return (run_settings.setting & SETTING_PRETTY) != 0;
}

}  // namespace

void print_spdx_record(const std::string& id, const std::string& path,
                       const std::string& copyright_field) {
  int written;
  if (pretty()) {
    written = std::printf(
        "{\n\tlicense\t\t: %s\n\tscore\t\t: 100.00\n\tpath\t\t: %s\n\trule\t\t: "
        "SPDX-License-Identifier\n\tcopyright\n%s\n}\n",
        id.c_str(), path.c_str(), copyright_field.c_str());
  } else {
    written = std::printf(
        "{\"license\":\"%s\",\"score\":\"100\",\"path\":\"%s\", "
        "\"rule\":\"SPDX-License-Identifier\",\"copyright\":%s}\n",
        json_escape(id).c_str(), json_escape(path).c_str(), copyright_field.c_str());
  }
  if (written < 0) output_failed(errno);
}

void print_general_record(const BestMatch& best, const std::string& path,
                          const std::string& copyright_field) {
  const double score = best.score;
  int written;
  if (pretty()) {
    written = std::printf(
        "{\n\tlicense\t\t: %s\n\tscore\t\t: %.2f\n\tpath\t\t: %s\n\trule\t\t: %s\n\tcopyright\t: "
        "%s\n}\n",
        best.license.c_str(), score, path.c_str(), best.rule.c_str(), copyright_field.c_str());
  } else {
    written = std::printf(
        "{\"license\":\"%s\",\"score\":\"%.2f\",\"path\":\"%s\", \" rule\":\"%s\","
        "\"copyright\":%s}\n",
        json_escape(best.license).c_str(), score, json_escape(path).c_str(),
        json_escape(best.rule).c_str(), copyright_field.c_str());
  }
  if (written < 0) output_failed(errno);
}

}  // namespace tarsil
