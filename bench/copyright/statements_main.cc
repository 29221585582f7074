// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// tarsil_statements: the copyright statement extractor on whole files, for
// bench/copyright/run. A benchmark tool only: built next to tarsil, never
// installed.
//
//   tarsil_statements [--bytes N] [--repeat R] FILE...
//
// Prints one JSON line per readable file, in argument order:
//   {"path":...,"copyrights":[{"text":...,"holder":...,"start_line":N,"end_line":N}],
//    "authors":[...]}
// (the keys tarsil's jsonl records carry). --bytes N reads only the first N
// bytes of each file (default: all of it). --repeat R runs the extractor R
// times on each file and prints to stderr the extractor's processor time per
// file and per MB (files are read before the clock starts).
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/copyright_statements.h"
#include "output/json.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

bool read_file(const char* path, std::size_t limit, std::string* out) {
  const std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path, "rb"));
  if (!f) return false;
  char buffer[65536];
  while (out->size() < limit) {
    const std::size_t want = std::min(sizeof buffer, limit - out->size());
    const std::size_t got = std::fread(buffer, 1, want, f.get());
    out->append(buffer, got);
    if (got < want) break;
  }
  return true;
}

std::string quoted(std::string_view s) {
  return "\"" + tarsil::json_escape(s) + "\"";
}

// The process's processor time: steadier than the wall clock on a shared machine.
double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t limit = static_cast<std::size_t>(-1);
  int repeat = 0;
  std::vector<const char*> paths;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--bytes") == 0 && i + 1 < argc) {
      limit = std::strtoull(argv[++i], nullptr, 10);
    } else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
      repeat = std::atoi(argv[++i]);
    } else {
      paths.push_back(argv[i]);
    }
  }
  std::vector<std::string> contents(paths.size());
  std::vector<bool> ok(paths.size());
  for (std::size_t k = 0; k < paths.size(); ++k) ok[k] = read_file(paths[k], limit, &contents[k]);
  if (repeat > 0) {
    std::size_t bytes = 0, files = 0, statements = 0;
    const double start = cpu_seconds();
    for (int r = 0; r < repeat; ++r) {
      for (std::size_t k = 0; k < paths.size(); ++k) {
        if (!ok[k]) continue;
        statements += tarsil::find_copyright_statements(contents[k]).statements.size();
        bytes += contents[k].size();
        ++files;
      }
    }
    const double seconds = cpu_seconds() - start;
    std::fprintf(stderr, "%zu files, %.1f MB, %.3f s: %.2f us per file, %.1f us per MB (%zu)\n",
                 files, bytes / 1e6, seconds, 1e6 * seconds / (files ? files : 1),
                 1e6 * seconds / (bytes ? bytes / 1e6 : 1), statements);
    return 0;
  }
  std::string out;
  for (std::size_t k = 0; k < paths.size(); ++k) {
    if (!ok[k]) {
      std::fprintf(stderr, "tarsil_statements: cannot read %s\n", paths[k]);
      continue;
    }
    const tarsil::CopyrightFindings found = tarsil::find_copyright_statements(contents[k]);
    out = "{\"path\":" + quoted(paths[k]) + ",\"copyrights\":[";
    for (std::size_t s = 0; s < found.statements.size(); ++s) {
      const tarsil::CopyrightStatement& st = found.statements[s];
      out += (s ? ",{\"text\":" : "{\"text\":") + quoted(st.text) +
             ",\"holder\":" + quoted(st.holder) +
             ",\"start_line\":" + std::to_string(st.start_line) +
             ",\"end_line\":" + std::to_string(st.end_line) + "}";
    }
    out += "],\"authors\":[";
    for (std::size_t a = 0; a < found.authors.size(); ++a) {
      out += (a ? "," : "") + quoted(found.authors[a]);
    }
    out += "]}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
  }
  return 0;
}
