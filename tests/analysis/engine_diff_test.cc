// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Whole runs of the fast engine with 1, 2 and 7 jobs and of the reference engine
// over generated rule sets, trees and path lists must be equal byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>

#include "test_util.h"

namespace tarsil::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kSentences = {
    "Permission is hereby granted, free of charge, to any person obtaining a copy",
    "THE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND",
    "Redistribution and use in source and binary forms, with or without modification",
    "Licensed under the Apache License, Version 2.0",
    "you may not use this file except in compliance with the License.",
    "This program is free software; you can redistribute it and/or modify it",
    "Neither the name of the copyright holder nor the names of its contributors",
    "The above copyright notice and this permission notice shall be included",
    "sublicense, and/or sell copies of the Software",
    "int main(void) { return 0; }",
    "#include <stdio.h>",
    "Copyright (c) 2021 Example Project contributors",
    "static const char* name = \"licensed\";",
    "A B C D E F G H"};

std::string sentences(std::mt19937& rng, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += kSentences[rng() % kSentences.size()];
    text += rng() % 4 == 0 ? "\n" : " ";
  }
  return text;
}

// A rule set of licenses whose texts share sentences (so ties, boosts and
// proportional scores happen), with hidden files, string rules with and
// without final newlines, a string-only license, and entries whose type only
// stat tells: links to directories and files, dangling links, a FIFO.
void write_random_rules(const std::string& root, std::mt19937& rng) {
  std::vector<std::pair<std::string, std::string>> files = {
      {"licenses.d/MIT/.hidden", "Permission is hereby granted"},
      {"strings.d/Only-Strings/s.txt", "int main(void)\n"},
      {"strings.d/.hidden/s.txt", "int main(void)\n"},
      {"licenses.d/Not-A-Dir", kSentences[0]},
      {"strings.d/Filed", kSentences[0]}};  // a file where a directory would be
  for (const std::string id :
       {"MIT", "BSD-3-Clause", "Apache-2.0", "GPL-2.0", "bsd-x", "Zlib", "ISC"}) {
    for (int r = 0, n = 1 + rng() % 3; r < n; ++r) {
      std::string text = sentences(rng, 2 + rng() % 6);
      if (rng() % 3 == 0) text.pop_back();  // often ends in a word: no final bar
      files.emplace_back("licenses.d/" + id + "/text" + std::to_string(r) + ".txt", text);
    }
    if (rng() % 2 == 0) {
      std::string lines;
      for (int l = 0, n = rng() % 3; l < n; ++l) lines += kSentences[rng() % 6] + "\n";
      lines += kSentences[rng() % kSentences.size()];  // maybe without newline
      if (rng() % 2 == 0) lines += "\n";
      files.emplace_back("strings.d/" + id + "/strings.txt", lines);
      files.emplace_back("strings.d/" + id + "/more.txt", rng() % 2 ? "" : kSentences[rng() % 9]);
    }
  }
  files.emplace_back("licenses.d/Filed/text.txt", kSentences[rng() % kSentences.size()]);
  write_rule_set(root, files);
  const std::pair<const char*, const char*> links[] = {
      {"MIT", "licenses.d/Linked"},
      {"Only-Strings", "strings.d/Linked"},
      {"text0.txt", "licenses.d/MIT/link.txt"},
      {"missing", "licenses.d/MIT/dangling"},
      {"missing", "licenses.d/Dangling"},
      {"s.txt", "strings.d/Only-Strings/link.txt"}};
  for (const auto& [to, link] : links) fs::create_symlink(to, root + "/" + link);
  mkfifo((root + "/licenses.d/Zlib/fifo").c_str(), 0644);
}

// A tree of `count` files made of the same sentences, some tagged, one empty,
// one with a NUL byte, in nested directories, with links to a file and a
// directory, a dangling link and a FIFO (the walk passes over the last three).
void write_random_tree(const std::string& root, std::mt19937& rng, int count = 14) {
  for (int f = 0; f < count; ++f) {
    std::string text = sentences(rng, rng() % 9);
    if (rng() % 7 == 0) text = "// SPDX-License-Identifier: MIT\n" + text;
    const std::string dir = root + "/d" + std::to_string(f % 3) + (f % 5 == 4 ? "/e" : "");
    write_file(dir + "/f" + std::to_string(f) + ".c", text);
  }
  write_file(root + "/empty.txt", "");
  write_file(root + "/nul.bin", std::string("Permission is hereby\0granted", 28));
  fs::create_symlink("d1/f1.c", root + "/link.c");
  fs::create_symlink("d0", root + "/d2/dirlink");
  fs::create_symlink("missing", root + "/d1/dangling");
  mkfifo((root + "/d0/fifo").c_str(), 0644);
}

// The reference engine with one job against the fast one with 1, 2 and 7,
// each run as nobody with `-r rules` and `words` (split at its blanks).
void expect_same_runs(const std::string& words, const std::string& rules) {
  std::vector<std::string> args = {"--jobs", "1", "-r", rules};
  std::istringstream in(words);
  for (std::string word; in >> word;) args.push_back(word);
  std::vector<std::string> argv = args;
  argv.insert(argv.begin(), runnable_by_nobody(TARSIL_REFERENCE_BINARY));
  const RunResult want = run_program(argv, kNobody);
  for (const char* jobs : {"1", "2", "7"}) {
    args[1] = jobs;
    expect_same(want, run_tarsil(args, kNobody), words + " --jobs " + jobs);
  }
}

// Trees, single files and path lists, as nobody (an unreadable directory is passed
// over; an unreadable file ends the run or, with --keep-going, gives a notice). The
// option sets try the fast engine's passes (zero scores skipped; every comparison
// logged under -dd or a threshold of 0), chunks of one word to a whole text, the
// full analysis of the structured formats, the rest.
TEST(EngineDiffTest, GeneratedTreesAndPathListsGiveIdenticalRuns) {
  for (const unsigned seed : {1u, 2u, 3u, 4u}) {
    std::mt19937 rng(seed);
    TempDir dir;
    write_random_rules(dir / "rules", rng);
    write_random_tree(dir / "tree", rng, 60);
    write_random_tree(dir / "other", rng, 20);
    chmod((dir / "tree/d1/e").c_str(), 0);
    chmod((dir / "other/d2/f2.c").c_str(), 0);
    std::string lines = dir / "tree/d0\n" + dir / "missing\n" + dir / "tree/link.c\n" +
                        dir / "tree/d0/fifo\n\n" + dir / "tree\n" + dir / "other\n" +
                        dir / "tree/d0\n";
    write_file(dir / "list", lines);
    std::replace(lines.begin(), lines.end(), '\n', '\0');
    write_file(dir / "nulls", lines);
    for (const char* options :
         {"--format jsonl", "-d -s 50 -p", "-d -d -y", "-s 0 -y --format text", "-w 0 -b 0",
          "-s 100 -b 3 -w 1", "-b 1000 -d -d --spdx-expressions"}) {
      for (Str targets :
           {dir / "tree", dir / "tree/d1/f1.c", dir / "other",
            "--null --files-from " + dir / "nulls", "--keep-going --files-from " + dir / "list"}) {
        expect_same_runs(std::string(options) + " " + targets, dir / "rules");
      }
    }
  }
}

TEST(EngineDiffTest, UnreadableRulesEndRunsAtTheSamePoint) {
  // Each case makes one part of the rule set unreadable for nobody.
  const std::pair<const char*, mode_t> cases[] = {
      {"licenses.d/MIT/text0.txt", 0},   // "ERROR: Cannot read", standard output
      {"strings.d/MIT/strings.txt", 0},  // "... during string detection", standard error
      {"licenses.d", 0},                 // "Can't open license folder" per file
      {"strings.d", 0111},               // no string pass, confirmations still work
      {"licenses.d/GPL-2.0", 0},         // skipped silently
      // Listed but not searchable: the entries show, stat fails on them.
      {"licenses.d", 0444},
      {"licenses.d/MIT", 0444},
      {"strings.d", 0444},
      {"strings.d/MIT", 0444},
  };
  for (const auto& [path, mode] : cases) {
    std::mt19937 rng(11);
    TempDir dir;
    write_random_rules(dir / "rules", rng);
    write_file(dir / "rules/strings.d/MIT/strings.txt", kSentences[0] + "\n");
    write_file(dir / "rules/licenses.d/MIT/text0.txt", kSentences[0] + "\n" + kSentences[7]);
    write_random_tree(dir / "tree", rng);
    write_file(dir / "tree/d0/mit.c", kSentences[0] + "\n" + kSentences[7] + "\n");
    write_file(dir / "tree/d0/main.c", kSentences[9] + "\n");
    ASSERT_EQ(0, chmod((dir / "rules/" + path).c_str(), mode)) << path;
    SCOPED_TRACE(path);
    for (const char* options : {"", "-d --format jsonl", "-d -d -y", "-s 0 --keep-going"})
      expect_same_runs(std::string(options) + " " + dir / "tree", dir / "rules");
  }
}

}  // namespace
}  // namespace tarsil::testing
