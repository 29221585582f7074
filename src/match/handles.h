// RAII owners for C stdio streams and directory streams.
//
// Contract: a FilePtr / DirPtr closes its handle when it goes out of scope;
// a null handle (failed open) is never closed.
#ifndef TARSIL_MATCH_HANDLES_H_
#define TARSIL_MATCH_HANDLES_H_

#include <dirent.h>

#include <cstdio>
#include <memory>

namespace tarsil {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

// True for names the rule set and the license passes ignore.
inline bool is_hidden_name(const char* name) {
  return name[0] == '.';
}

}  // namespace tarsil

#endif  // TARSIL_MATCH_HANDLES_H_
