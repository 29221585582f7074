// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Whole runs of the fast engine (tarsil) with 1, 2 and 7 jobs and of the
// reference engine (tarsil_reference, one job) over generated rule sets,
// trees and path lists: standard output, standard error and exit status must
// be equal byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

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
    "A B C D E F G H",
};

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
// without final newlines, and a string-only license.
void write_random_rules(const std::string& root, std::mt19937& rng) {
  const std::vector<std::string> licenses = {"MIT",   "BSD-3-Clause", "Apache-2.0", "GPL-2.0",
                                             "bsd-x", "Zlib",         "ISC"};
  std::vector<std::pair<std::string, std::string>> files;
  for (const std::string& id : licenses) {
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
  files.emplace_back("licenses.d/MIT/.hidden", "Permission is hereby granted");
  files.emplace_back("strings.d/Only-Strings/s.txt", "int main(void)\n");
  files.emplace_back("strings.d/.hidden/s.txt", "int main(void)\n");
  files.emplace_back("licenses.d/Filed/text.txt", kSentences[rng() % kSentences.size()]);
  files.emplace_back("licenses.d/Not-A-Dir", kSentences[0]);
  files.emplace_back("strings.d/Filed", kSentences[0]);  // a file where a directory would be
  write_rule_set(root, files);
  // Entries whose type only stat tells: links to directories and files,
  // dangling links, and a FIFO among the reference texts.
  const fs::path rules(root);
  fs::create_directory_symlink("MIT", rules / "licenses.d/Linked");
  fs::create_directory_symlink("Only-Strings", rules / "strings.d/Linked");
  fs::create_symlink("text0.txt", rules / "licenses.d/MIT/link.txt");
  fs::create_symlink("missing", rules / "licenses.d/MIT/dangling");
  fs::create_symlink("missing", rules / "licenses.d/Dangling");
  fs::create_symlink("s.txt", rules / "strings.d/Only-Strings/link.txt");
  mkfifo((rules / "licenses.d/Zlib/fifo").c_str(), 0644);
}

// A tree of `count` files made of the same sentences, some tagged, one
// empty, one with a NUL byte, in nested directories, with links to files and
// directories, a dangling link and a FIFO (the walk passes over the last
// three).
void write_random_tree(const std::string& root, std::mt19937& rng, int count = 14) {
  for (int f = 0; f < count; ++f) {
    std::string text = sentences(rng, rng() % 9);
    if (rng() % 7 == 0) text = "// SPDX-License-Identifier: MIT\n" + text;
    write_file(root + "/d" + std::to_string(f % 3) + (f % 5 == 4 ? "/e" : "") + "/f" +
                   std::to_string(f) + ".c",
               text);
  }
  write_file(root + "/empty.txt", "");
  write_file(root + "/nul.bin", std::string("Permission is hereby\0granted", 28));
  const fs::path tree(root);
  fs::create_symlink("d1/f1.c", tree / "link.c");
  fs::create_directory_symlink("d0", tree / "d2/dirlink");
  fs::create_symlink("missing", tree / "d1/dangling");
  mkfifo((tree / "d0/fifo").c_str(), 0644);
}

const std::vector<std::vector<std::string>> kOptionSets = {
    {},
    {"-d"},
    {"-d", "-d"},
    {"-p"},
    {"-y"},
    {"-s", "0"},
    {"-s", "50"},
    {"-w", "0", "-b", "0"},
    {"-b", "3", "-w", "1", "-p", "-y"},
    {"-s", "100", "-d"},
    {"-b", "1000", "-d", "-d"},
    {"--spdx-expressions", "-y", "-d"},
};

std::string joined(const std::vector<std::string>& args) {
  std::string out;
  for (const std::string& a : args) out += a + " ";
  return out;
}

// A copy of the reference binary that nobody:nogroup can execute.
std::string reference_binary_for_nobody(const TempDir& dir) {
  const std::string path = dir / "tarsil_reference";
  fs::copy_file(TARSIL_REFERENCE_BINARY, path, fs::copy_options::overwrite_existing);
  chmod(path.c_str(), 0755);
  return path;
}

// The reference engine with one job against the fast one with 1, 2 and 7.
void expect_same_runs(const std::vector<std::string>& args, const RunOptions& options,
                      const std::string& reference = TARSIL_REFERENCE_BINARY) {
  std::vector<std::string> argv{reference, "--jobs", "1"};
  argv.insert(argv.end(), args.begin(), args.end());
  const RunResult want = run_program(argv, options);
  for (const char* jobs : {"1", "2", "7"}) {
    std::vector<std::string> with_jobs = {"--jobs", jobs};
    with_jobs.insert(with_jobs.end(), args.begin(), args.end());
    const RunResult got = run_tarsil(with_jobs, options);
    EXPECT_EQ(want.out, got.out) << joined(with_jobs);
    EXPECT_EQ(want.err, got.err) << joined(with_jobs);
    EXPECT_EQ(want.status, got.status) << joined(with_jobs);
  }
}

TEST(EngineDiffTest, GeneratedTreesGiveIdenticalRuns) {
  for (const unsigned seed : {1u, 2u, 3u, 4u}) {
    std::mt19937 rng(seed);
    TempDir dir;
    write_random_rules(dir / "rules", rng);
    write_random_tree(dir / "tree", rng, 60);
    for (const std::vector<std::string>& options : kOptionSets) {
      std::vector<std::string> args = options;
      args.insert(args.end(), {"-r", dir / "rules", dir / "tree"});
      expect_same_runs(args, {});
      args.back() = dir / "tree/d1/f1.c";  // single-file run
      expect_same_runs(args, {});
    }
  }
}

TEST(EngineDiffTest, UnreadableRulesEndRunsAtTheSamePoint) {
  // Each case makes one part of the rule set unreadable for nobody.
  const std::vector<std::pair<std::string, mode_t>> cases = {
      {"licenses.d/MIT/text0.txt", 0},  // "ERROR: Cannot read", standard output
      {"licenses.d/Zlib/text0.txt", 0},
      {"strings.d/MIT/strings.txt", 0},  // "... during string detection", standard error
      {"strings.d/Only-Strings/s.txt", 0},
      {"licenses.d", 0},          // "Can't open license folder" per file
      {"strings.d", 0111},        // no string pass, confirmations still work
      {"licenses.d/GPL-2.0", 0},  // skipped silently
      // Listed but not searchable: the entries show, stat fails on them.
      {"licenses.d", 0444},
      {"licenses.d/MIT", 0444},
      {"strings.d", 0444},
      {"strings.d/MIT", 0444},
  };
  TempDir bin;
  chmod(bin.path().c_str(), 0755);
  const std::string reference = reference_binary_for_nobody(bin);
  for (const auto& [path, mode] : cases) {
    std::mt19937 rng(11);
    TempDir dir;
    write_random_rules(dir / "rules", rng);
    write_file(dir / "rules/strings.d/MIT/strings.txt", kSentences[0] + "\n");
    write_file(dir / "rules/licenses.d/MIT/text0.txt", kSentences[0] + "\n" + kSentences[7]);
    write_random_tree(dir / "tree", rng);
    write_file(dir / "tree/d0/mit.c", kSentences[0] + "\n" + kSentences[7] + "\n");
    write_file(dir / "tree/d0/main.c", kSentences[9] + "\n");
    ASSERT_EQ(0, chmod((dir / ("rules/" + path)).c_str(), mode)) << path;
    for (const std::vector<std::string>& options : std::vector<std::vector<std::string>>{
             {}, {"-d"}, {"-d", "-d", "-y"}, {"-s", "0", "--keep-going"}}) {
      std::vector<std::string> args = options;
      args.insert(args.end(), {"-r", dir / "rules", dir / "tree"});
      SCOPED_TRACE(path);
      expect_same_runs(args, as_nobody(), reference);
    }
    chmod((dir / ("rules/" + path)).c_str(), 0755);  // let TempDir clean up
  }
}

TEST(EngineDiffTest, UnreadableEntriesAndPathListsEndRunsAtTheSamePoint) {
  TempDir bin;
  chmod(bin.path().c_str(), 0755);
  const std::string reference = reference_binary_for_nobody(bin);
  std::mt19937 rng(5);
  TempDir dir;
  write_random_rules(dir / "rules", rng);
  write_random_tree(dir / "tree", rng, 40);
  write_random_tree(dir / "other", rng, 20);
  // An unreadable directory is passed over; an unreadable file ends the run
  // (with --keep-going: a notice).
  chmod((dir / "tree/d1/e").c_str(), 0);
  chmod((dir / "other/d2/f2.c").c_str(), 0);
  const std::string list = dir / "list", nulls = dir / "nulls";
  const std::vector<std::string> paths = {
      dir / "tree/d0", dir / "missing", dir / "tree/link.c", dir / "tree/d0/fifo", "",
      dir / "tree",    dir / "other",   dir / "tree/d0"};
  std::string lines, nul_separated;
  for (const std::string& path : paths) {
    lines += path + "\n";
    nul_separated += path + '\0';
  }
  write_file(list, lines);
  write_file(nulls, nul_separated);
  for (const std::vector<std::string>& options : kOptionSets) {
    for (const std::vector<std::string>& target :
         std::vector<std::vector<std::string>>{{dir / "tree"},
                                               {dir / "other"},
                                               {"--files-from", list},
                                               {"--null", "--files-from", nulls},
                                               {"--files-from", dir / "nulls"},
                                               {"--keep-going", "--files-from", list}}) {
      std::vector<std::string> args = options;
      args.insert(args.end(), {"-r", dir / "rules"});
      args.insert(args.end(), target.begin(), target.end());
      expect_same_runs(args, as_nobody(), reference);
    }
  }
  chmod((dir / "tree/d1/e").c_str(), 0755);
}

}  // namespace
}  // namespace tarsil::testing
