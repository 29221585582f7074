#include "match/text.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "cli/settings.h"
#include "match/handles.h"

namespace tarsil {
namespace {

bool stat_mode(const std::string& path, mode_t* mode) {
  if (path.empty()) return false;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  *mode = st.st_mode;
  return true;
}

}  // namespace

bool try_read_text_file(const std::string& path, std::string* text) {
  text->clear();
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  text->resize(kMaxTextBytes);
  const std::size_t got = std::fread(text->data(), 1, kMaxTextBytes, file.get());
  text->resize(got);
  // Everything after the first NUL byte is invisible to the rest of the system.
  text->resize(std::strlen(text->c_str()));
  return true;
}

std::string read_text_file(const std::string& path) {
  std::string text;
  if (!try_read_text_file(path, &text)) fatal_stdout("ERROR: Cannot read " + path + "\n");
  return text;
}

std::string normalize_text(std::string_view text) {
  std::string out;
  const std::size_t n = std::min(text.size(), kMaxTextBytes);
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == 0) break;
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) {
      out.push_back(static_cast<char>(c));
    } else if (c >= 'a' && c <= 'z') {
      out.push_back(static_cast<char>(c - 32));
    } else if (!out.empty() && out.back() != '|') {
      out.push_back('|');
    }
  }
  return out;
}

std::string read_normalized_file(const std::string& path) {
  return normalize_text(read_text_file(path));
}

bool is_directory(const std::string& path) {
  mode_t mode;
  return stat_mode(path, &mode) && S_ISDIR(mode);
}

bool is_regular_file(const std::string& path) {
  mode_t mode;
  return stat_mode(path, &mode) && S_ISREG(mode);
}

int count_words(std::string_view normalized) {
  return static_cast<int>(std::count(normalized.begin(), normalized.end(), '|'));
}

}  // namespace tarsil
