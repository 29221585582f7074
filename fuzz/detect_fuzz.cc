// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Fuzz target: the full analysis (every license of a file) on texts built
// from several reference texts, cut, repeated and mixed with noise, choice
// words and tags. Both engines must give the same detections and
// expression; every detection's lines lie in the text, in order; the file's
// expression reads back as itself.
//
// Input: byte 0 picks the threshold (80, 50 or 100); then operations, one
// byte each, with an argument byte: append a reference text (argument: which,
// and how much of it), a noise word, a choice word, a tag line, a newline.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/identify.h"
#include "core/settings.h"
#include "rules/rule_set.h"
#include "rules/scoring.h"

namespace {

namespace fs = std::filesystem;
using namespace tarsil;

// Sentence n of a reference: ten words of its own.
std::string sentence(int n) {
  std::string words;
  for (int i = 0; i < 10; ++i) words += "w" + std::to_string(n) + "x" + std::to_string(i) + " ";
  return words + "end.\n";
}

struct Reference {
  const char* license;
  const char* file;
  std::string text;
};

const std::vector<Reference>& references() {
  static const std::vector<Reference> refs = [] {
    std::vector<Reference> r;
    const auto sentences = [](int from, int to) {
      std::string text;
      for (int n = from; n < to; ++n) text += sentence(n);
      return text;
    };
    r.push_back({"MIT", "license.txt", sentences(0, 5)});
    r.push_back({"X11", "license.txt", sentences(0, 5) + sentences(40, 42)});
    r.push_back({"BSD-2-Clause", "license.txt", sentences(10, 15)});
    r.push_back({"Apache-2.0", "notice-header.txt", sentences(20, 23)});
    r.push_back(
        {"LGPL-3.0-or-later", "notice.txt",
         "the GNU Lesser General Public License as published by the Free Software "
         "Foundation either version 3 of the License or at your option any later version\n"});
    r.push_back({"GPL-2.0-or-later", "notice.txt",
                 "the GNU General Public License as published by the Free Software Foundation "
                 "either version 2 of the License or at your option any later version\n"});
    return r;
  }();
  return refs;
}

// The rule set, written once per process.
std::string rule_root() {
  static const std::string root = [] {
    const char* const tmp = std::getenv("TMPDIR");
    const std::string dir = std::string(tmp != nullptr ? tmp : "/tmp") + "/tarsil-fuzz-detect-" +
                            std::to_string(getpid());
    for (const Reference& r : references()) {
      fs::create_directories(dir + "/licenses.d/" + r.license);
      std::ofstream(dir + "/licenses.d/" + r.license + "/" + r.file) << r.text;
    }
    fs::create_directories(dir + "/licenses.d/GPL-2.0-only");
    fs::create_directories(dir + "/strings.d/MIT");
    std::ofstream(dir + "/strings.d/MIT/strings.txt") << sentence(3);
    std::ofstream(dir + "/exceptions.txt") << "Classpath-exception-2.0\n";
    return dir;
  }();
  return root;
}

// Everything the full analysis says of a file, as one text.
std::string analysis_of(const RuleSet& rules, const RunSettings& settings,
                        const std::string& text) {
  const std::unique_ptr<Scorer> scorer = make_scorer(rules, settings);
  const FileResult r = analyze(rules, settings, *scorer, "f", text);
  std::string out = r.file_expression ? print_expression(*r.file_expression) : "-";
  for (const Detection& d : r.detections) {
    out += "|" + d.license + " " + std::to_string(static_cast<int>(d.kind)) + " " +
           std::to_string(d.score) + " " + std::to_string(d.start_line) + "-" +
           std::to_string(d.end_line) + " " + d.rule;
  }
  return out;
}

void check(const RuleSet& rules, const RunSettings& settings, const std::string& text) {
  const std::unique_ptr<Scorer> scorer = make_scorer(rules, settings);
  const FileResult r = analyze(rules, settings, *scorer, "f", text);
  const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  uint32_t begin = 0;
  for (const Detection& d : r.detections) {
    if (d.start_line < 1 || d.end_line < d.start_line || d.end_line > lines) std::abort();
    if (d.begin < begin) std::abort();
    begin = d.begin;
  }
  if (r.file_expression.has_value() != !r.detections.empty()) std::abort();
  if (r.file_expression) {
    const std::string printed = print_expression(*r.file_expression);
    const std::optional<Expression> again = parse_expression(printed);
    if (!again || print_expression(*again) != printed) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static constexpr float kThresholds[] = {80, 50, 100, 80};
  RunSettings settings = default_run_settings();
  settings.threshold = kThresholds[data[0] & 3];
  settings.full_analysis = true;
  settings.spdx_expressions = (data[0] & 4) != 0;
  const std::string root = rule_root();
  const auto load = [&](Engine engine) {
    return load_rule_set(root + "/licenses.d", root + "/strings.d", engine, settings.minbytes,
                         settings.minwords);
  };
  static const std::unique_ptr<const RuleSet> fast_rules = load(Engine::kFast);
  static const std::unique_ptr<const RuleSet> reference_rules = load(Engine::kReference);

  static const char* const kWords[] = {"or",
                                       "dual licensed",
                                       "either",
                                       "at your option",
                                       "alternatively",
                                       "and",
                                       "int x;",
                                       "(c) 2020",
                                       "/*",
                                       "*/"};
  static const char* const kTags[] = {"MIT", "MIT OR Apache-2.0",
                                      "GPL-2.0-only WITH Classpath-exception-2.0",
                                      "(BSD-2-Clause AND X11)", "Unknown-1.0"};
  const std::vector<Reference>& refs = references();
  std::string text;
  for (std::size_t i = 1; i + 1 < size && text.size() < 20000; i += 2) {
    const uint8_t op = data[i], arg = data[i + 1];
    switch (op % 5) {
      case 0: {  // a reference, whole or cut (arg's high bits: how much)
        const std::string& ref = refs[arg % refs.size()].text;
        const std::size_t keep = ref.size() * (1 + (arg >> 4)) / 16;
        text += ref.substr(0, keep) + "\n";
        break;
      }
      case 1:
        text += "noise" + std::to_string(arg) + " ";
        break;
      case 2:
        text += std::string(kWords[arg % std::size(kWords)]) + " ";
        break;
      case 3:
        text += "// SPDX-License-Identifier: " + std::string(kTags[arg % std::size(kTags)]) + "\n";
        break;
      case 4:
        text.append(1 + arg % 3, '\n');
        break;
    }
  }
  if (analysis_of(*fast_rules, settings, text) != analysis_of(*reference_rules, settings, text)) {
    std::abort();
  }
  check(*fast_rules, settings, text);
  return 0;
}
