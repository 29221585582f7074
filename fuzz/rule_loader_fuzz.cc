// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Fuzz target: the rule-set loader and both scoring engines on a rule set
// generated from the input: the fast engine gives the records of the
// reference engine, byte for byte, on rule sets with odd names (newlines, quotes, backslashes,
// invalid UTF-8, hidden), empty, binary and huge (sparse, 1 MB: a single line far past what is
// read) files, links to files and directories, dangling links, link loops, FIFOs and nested
// directories.
//
// Input: bytes 0-2 give minbytes, minwords and the threshold; then a list of
// operations, each one byte of kind followed by a name and, for files, a
// content (a length byte and that many bytes).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/identify.h"
#include "core/settings.h"
#include "fs/handles.h"
#include "output/records.h"

namespace {

namespace fs = std::filesystem;

struct Input {
  const uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
  bool done() const { return at >= size; }
  uint8_t byte() { return at < size ? data[at++] : 0; }
  std::string bytes(std::size_t n) {
    n = std::min(n, size - std::min(at, size));
    std::string out(reinterpret_cast<const char*>(data) + at, n);
    at += n;
    return out;
  }
};

// A file name from the input: never empty, ".", ".." or holding '/' or NUL.
std::string name_from(Input& in) {
  std::string name = in.bytes(1 + in.byte() % 8);
  for (char& c : name) {
    if (c == '/' || c == '\0') c = '_';
  }
  if (name == "." || name == "..") name += "_";
  return name;
}

// A name already taken by a FIFO is opened without blocking (and, with no
// reader, not at all), so the input cannot hang on it.
void write_file(const std::string& path, const std::string& content, bool huge) {
  const tarsil::FdHandle file(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK, 0644));
  if (file.fd < 0) return;  // a name taken by a directory, a link or a FIFO
  if (::write(file.fd, content.data(), content.size()) < 0) std::abort();
  if (huge && ::ftruncate(file.fd, off_t{1} << 20) != 0) std::abort();
}

// A symbolic link; a failure (a name already taken) just leaves it out.
void make_link(const std::string& to, const std::string& path) {
  if (symlink(to.c_str(), path.c_str()) != 0) return;
}

// What a run writes for `target` under `rules`: standard output, then the
// run-ending error's message, if any.
std::string run_one(const tarsil::RuleSet& rules, const tarsil::RunSettings& settings,
                    const std::string& target) {
  const std::unique_ptr<tarsil::Scorer> scorer = tarsil::make_scorer(rules, settings);
  const tarsil::FileResult result = tarsil::analyze(rules, settings, *scorer, "t", target);
  std::string out = result.log;
  if (result.error) return out + result.error->message;
  return out + (result.licenses_open ? tarsil::format_record(result, false) : "no folder");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tarsil;
  Input in{data, size};
  RunSettings settings = default_run_settings();
  settings.minbytes = in.byte() % 24;
  settings.minwords = in.byte() % 4;
  const uint8_t mode = in.byte();
  settings.threshold = static_cast<float>(mode % 3 * 40);  // 0, 40 or 80
  if ((mode & 4) != 0) settings.setting |= SETTING_COPYRIGHT;

  // A new directory per input, so that the cache loads each rule set anew.
  static unsigned generation = 0;
  const char* const tmp = std::getenv("TMPDIR");
  const std::string base =
      std::string(tmp != nullptr ? tmp : "/tmp") + "/tarsil-fuzz-rules-" + std::to_string(getpid());
  const std::string root = base + "/" + std::to_string(generation++);
  std::error_code ignored;
  fs::remove_all(base, ignored);
  fs::create_directories(root + "/licenses.d", ignored);
  fs::create_directories(root + "/strings.d", ignored);
  settings.licensedir = root + "/licenses.d";
  settings.stringdir = root + "/strings.d";

  std::string license = root + "/licenses.d/MIT";
  std::string strings = root + "/strings.d/MIT";
  fs::create_directories(license, ignored);
  std::vector<std::string> targets = {"Permission is hereby granted A B C"};
  while (!in.done() && targets.size() < 16) {
    const uint8_t kind = in.byte();
    const std::string name = name_from(in);
    switch (kind % 9) {
      case 0:  // a new license, and its strings directory
        license = root + "/licenses.d/" + name;
        strings = root + "/strings.d/" + name;
        fs::create_directories(license, ignored);
        fs::create_directories(strings, ignored);
        break;
      case 1:    // a reference text
      case 2:    // a huge one
      case 3: {  // a string-rule file
        const std::string content = in.bytes(in.byte());
        write_file((kind % 9 == 3 ? strings : license) + "/" + name, content, kind % 9 == 2);
        targets.push_back(content);
        break;
      }
      case 4:  // a link to a file or directory of the rule set, maybe dangling
        make_link(in.byte() % 2 == 0 ? "../MIT" : name, license + "/" + name + "-link");
        break;
      case 5:  // a link at the top of licenses.d or strings.d
        make_link(license, root + ((kind & 16) != 0 ? "/strings.d/" : "/licenses.d/") + name);
        break;
      case 6:  // an empty file
        write_file(license + "/" + name, "", false);
        break;
      case 7:  // a FIFO
        mkfifo((license + "/" + name).c_str(), 0644);
        break;
      case 8:  // a directory inside a license directory (not a reference)
        fs::create_directories(license + "/" + name, ignored);
        break;
    }
  }
  // Every text written is a target, each with both engines in turn.
  const auto load = [&settings](Engine engine) {
    return load_rule_set(settings.licensedir, settings.stringdir, engine, settings.minbytes,
                         settings.minwords);
  };
  const std::unique_ptr<const RuleSet> fast = load(Engine::kFast);
  const std::unique_ptr<const RuleSet> reference = load(Engine::kReference);
  for (const std::string& target : targets) {
    if (run_one(*fast, settings, target) != run_one(*reference, settings, target)) std::abort();
  }
  return 0;
}
