// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The README's bad-input table, row by row, on the built binary.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include "test_util.h"

namespace tarsil::testing {
namespace {

const std::string kMit =
    "Permission is hereby granted, free of charge, to any person obtaining a copy of this "
    "software\n";

std::string mit(const std::string& path) {
  return record("MIT", "100.00", path, "t.txt");
}

// A rule set knowing MIT alone.
std::string mit_rules(const TempDir& dir) {
  write_rule_set(dir / "rules", {{"licenses.d/MIT/t.txt", kMit}});
  return dir / "rules";
}

TEST(BadInput, FileContentsAndSpecialFiles) {
  TempDir dir;
  const std::string rules = mit_rules(dir);
  std::string crlf = kMit;
  crlf.insert(crlf.size() - 1, "\r");
  const std::tuple<std::string, std::string, bool> cases[] = {
      {"empty", "", false},
      {"nul-first", std::string(1, '\0') + kMit, false},
      {"nul-after", kMit + std::string(1, '\0') + "x", true},
      {"nul-inside", kMit.substr(0, 30) + std::string(1, '\0') + kMit.substr(30), false},
      {"binary", "\177ELF\x01\x02\xfe\xff\x80" + kMit + "\x90\x91\xc3", true},
      {"long-line", kMit + std::string(10 << 20, 'x'), true},  // one 10 MB line
      {"late", std::string(10000, ' ') + kMit, false},         // past the 10000 bytes read
      {"invalid-utf8", "Permission\xff is\xc0 hereby\xed\xa0\x80" + kMit.substr(20), true},
      {"crlf", crlf, true},
  };
  for (const auto& [name, content, found] : cases) {
    write_file(dir / name, content);
    expect_run({{"-r", rules, dir / name}, found ? mit(dir / name) : unmatched(dir / name)});
  }
  // A sparse 1 GB file: only its head is read.
  write_file(dir / "sparse", kMit);
  ASSERT_EQ(0, truncate((dir / "sparse").c_str(), off_t{1} << 30));
  expect_run({{"-r", rules, dir / "sparse"}, mit(dir / "sparse")});

  // Special files and links: as targets, none is a file or a directory; in a
  // tree, they are passed over without a word.
  const std::string t = dir / "t";
  make_dirs(t);
  ASSERT_EQ(0, mkfifo((t + "/fifo").c_str(), 0644));
  const std::vector<std::pair<std::string, std::string>> links = {
      {"/dev/null", "device"}, {"missing", "dangling"}, {"loop", "loop"}};
  for (const auto& [to, name] : links) ASSERT_EQ(0, symlink(to.c_str(), (t + "/" + name).c_str()));
  for (const std::string& target :
       {t + "/fifo", std::string("/dev/null"), t + "/device", t + "/dangling", t + "/loop"}) {
    expect_run({{"-r", rules, target}, "", kInvalidTarget, 1});
  }
  write_file(t + "/a.c", kMit);
  expect_run({{"-r", rules, t}, mit(t + "/a.c")});
}

// Files removed or truncated after the listing, before their turn, while a full pipe
// holds the run up: with two jobs, the files in flight are read already (their records
// come first) or walked but not opened (passed over, as other removed ones are);
// those from the 1500th on are beyond the bounded read-ahead.
TEST(BadInput, FilesChangedDuringTheScan) {
  TempDir dir;
  const std::string rules = mit_rules(dir), t = dir / "t";
  for (int i = 0; i < 2000; ++i)
    write_file(t + "/" + std::to_string(i) + std::string(200, 'x'), kMit);
  const std::vector<std::string> order = listing(t);
  // The shell writes its pid, then becomes tarsil.
  FILE* const out =
      popen(("echo $$; exec " TARSIL_BINARY " --jobs 2 -r " + rules + " " + t).c_str(), "r");
  ASSERT_NE(nullptr, out);
  setvbuf(out, nullptr, _IONBF, 0);  // leave the pipe full
  int pid = 0;
  ASSERT_EQ(1, fscanf(out, "%d\n", &pid));
  // About 450 records (64 KB in the pipe, 64 KB in the buffer) hold the writer
  // in write(2); then the workers and the walk stop at their bounds.
  const std::string syscall = "/proc/" + std::to_string(pid) + "/syscall";
  for (int tries = 0; tries < 30000 && read_file(syscall).rfind("1 ", 0) != 0; ++tries)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::string head, tail;  // every file's record; the truncated files' records
  for (std::size_t i = 0; i < order.size(); ++i) {
    const std::string path = t + "/" + order[i];
    head += mit(path);
    ASSERT_EQ(0, i < 1500 || i % 2 == 0 ? unlink(path.c_str()) : truncate(path.c_str(), 0));
    if (i >= 1500 && i % 2 == 1) tail += unmatched(path);
  }
  std::string got;
  char buffer[1 << 16];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, out)) > 0;) got.append(buffer, n);
  const std::size_t early = got.size() - std::min(got.size(), tail.size());
  EXPECT_TRUE(got.ends_with(tail) && head.starts_with(got.substr(0, early)) && early > 0)
      << got.size() << " bytes, " << early << " of them before the truncated files' records";
  EXPECT_EQ(0, pclose(out));
}

TEST(BadInput, OddRuleSets) {
  TempDir dir;
  std::string lines;
  for (int i = 0; i < 100000; ++i) lines += "line " + std::to_string(i) + " word\n";
  write_rule_set(dir / "rules",
                 {{"licenses.d/Empty/empty.txt", ""},
                  {"licenses.d/Binary/bin", std::string("\177ELF\x02\x01\0\0\x03", 9)},
                  {"licenses.d/Big/big.txt", kMit + std::string(10 << 20, 'y')},
                  {"licenses.d/MIT/t.txt", kMit},
                  {"strings.d/Many/lines.txt", lines}});
  // No text wins or fails by being empty, binary or 10 MB long, and the last
  // of 100000 string rules is tried.
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {kMit, "MIT", "t.txt"},
      {"line 99999 word\n", "Many", "strings.d"},
      {"ELF\n", "Binary", "bin"}};
  for (const auto& [content, license, rule] : cases) {
    write_file(dir / "t.c", content);
    expect_run({{"-r", dir / "rules", dir / "t.c"}, record(license, "100.00", dir / "t.c", rule)});
  }
}

// Standard output on a full disk, or closed early by its reader (with SIGPIPE
// at its default or ignored): the run ends at its next write. Kernel trees
// end (a file that would block on read is not waited for): normally, or at a
// file even root may not open.
TEST(BadInput, BrokenOutputAndKernelTrees) {
  TempDir dir;
  const std::string rules = mit_rules(dir);
  for (int i = 0; i < 2000; ++i) write_file(dir / ("t/" + std::to_string(i) + ".c"), "text\n");
  const std::string first = unmatched(dir / ("t/" + listing(dir / "t").front()));
  const std::pair<std::string, RunResult> cases[] = {
      {"\"$0\" \"$@\" >/dev/full",
       {"", "ERROR: Cannot write output: No space left on device\n", 1}},
      {"\"$0\" \"$@\" | head -1; exit ${PIPESTATUS[0]}", {first, "", 128 + SIGPIPE}},
      {"trap '' PIPE; \"$0\" \"$@\" | head -1; exit ${PIPESTATUS[0]}", {first, "", 128 + SIGPIPE}},
  };
  for (const auto& [shell, want] : cases) {
    expect_same(want, run_program({"bash", "-c", shell, TARSIL_BINARY, "-r", rules, dir / "t"}),
                shell);
  }
  for (const char* tree : {"/proc/self", "/sys/kernel"}) {
    const RunResult r = run_program({"timeout", "300", TARSIL_BINARY, "-r", rules, tree});
    const bool ended = r.status == 0 ||
                       (r.status == 1 && r.out.find("\nERROR: Cannot read ") != std::string::npos);
    EXPECT_TRUE(ended) << tree << ": status " << r.status << "\n" << r.err;
    EXPECT_EQ("", json_lines_error(r.out)) << tree;
  }
}

}  // namespace
}  // namespace tarsil::testing
