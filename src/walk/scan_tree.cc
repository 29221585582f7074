#include "walk/scan_tree.h"

#include <sys/stat.h>

#include <cstring>

#include "analysis/identify.h"
#include "match/handles.h"
#include "match/text.h"

namespace tarsil {
namespace {

// True when the entry is a real directory (never a link to one).
bool is_listed_directory(const dirent& entry, const std::string& path) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_UNKNOWN) return false;
  // Some file systems never fill the entry type: ask without following links.
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

void scan_tree(const std::string& dir) {
  DirPtr listing(opendir(dir.c_str()));
  if (!listing) return;
  while (const dirent* entry = readdir(listing.get())) {
    const std::string path = dir + "/" + entry->d_name;
    if (is_listed_directory(*entry, path)) {
      if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
      scan_tree(path);
    } else if (is_regular_file(path)) {
      const std::string text = read_text_file(path);
      identify_license(path, text);
    }
  }
}

}  // namespace tarsil
