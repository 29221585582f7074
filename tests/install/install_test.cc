// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// What is installed and shipped: the install target, the Debian package, the
// man page and the bash completion against the options the program takes.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "cli/flags.h"
#include "test_util.h"

namespace tarsil::testing {
namespace {
namespace fs = std::filesystem;

const std::string kSource = TARSIL_SOURCE_DIR;
const std::string kCompletion = TARSIL_BUILD_DIR "/tarsil.bash-completion";

// The regular files below `root`, as paths relative to it, each prefixed with `prefix`.
std::set<std::string> files_below(const std::string& root, const std::string& prefix = "") {
  std::set<std::string> files;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(root))
    if (!e.is_directory()) files.insert(prefix + fs::relative(e.path(), root).string());
  return files;
}

// True when the regex `word` matches in `text` between no lower-case letters, '-' or '\\'.
bool has_word(const std::string& text, const std::string& word) {
  return std::regex_search(text, std::regex("(^|[^-a-z\\\\])" + word + "($|[^-a-z\\\\])"));
}

bool have(const std::string& program) {
  return run_program({"sh", "-c", "command -v " + program}).status == 0;
}

// Checks that `argv` (tarsil and options) finds Apache-2.0 in a source file's tag.
void expect_reads_own_license(std::vector<std::string> argv, Str cwd = "") {
  argv.push_back(kSource + "/src/cli/main.cc");
  const RunResult r = run_program(argv, {.cwd = cwd});
  EXPECT_EQ(spdx_json("Apache-2.0", argv.back()), r.out) << r.err;
}

TEST(Install, PrefixKelmorGivesTheStandAloneLayout) {
  TempDir dest;
  const RunResult r = run_program({"DESTDIR=" + dest.path(), TARSIL_CMAKE, "--install",
                                   TARSIL_BUILD_DIR, "--prefix", "/kelmor"});
  ASSERT_EQ(0, r.status) << r.out << r.err;
  std::set<std::string> want =
      files_below(kSource + "/etc/tarsil_rules", "kelmor/etc/tarsil_rules/");
  want.insert({"kelmor/bin/tarsil", "kelmor/share/man/man1/tarsil.1",
               "kelmor/share/bash-completion/completions/tarsil"});
  EXPECT_EQ(want, files_below(dest.path()));
  // From P/bin the working-directory fallback finds P/etc/tarsil_rules.
  expect_reads_own_license({dest / "kelmor/bin/tarsil"}, dest / "kelmor/bin");
  // Under any prefix the program finds the rules beside itself, from any directory.
  ASSERT_EQ(0, run_program({"DESTDIR=" + dest.path(), TARSIL_CMAKE, "--install", TARSIL_BUILD_DIR,
                            "--prefix", "/usr/local"})
                   .status);
  expect_reads_own_license({dest / "usr/local/bin/tarsil"}, "/");
}

TEST(Install, DebianPackage) {
  if (!have(TARSIL_CPACK) || !have("dpkg-deb") || !have("dpkg-shlibdeps") || !have("file"))
    GTEST_SKIP() << "cpack, dpkg-deb, dpkg-shlibdeps or file missing: the package is not built";
  TempDir dir;
  RunResult r = run_program({TARSIL_CPACK, "-G", "DEB", "--config",
                             TARSIL_BUILD_DIR "/CPackConfig.cmake", "-B", dir.path()});
  ASSERT_EQ(0, r.status) << r.out << r.err;
  std::string deb;  // tarsil_<version>_<architecture>.deb
  for (Str name : listing(dir.path()))
    if (name.starts_with("tarsil_" TARSIL_VERSION "_")) deb = dir / name;
  ASSERT_NE("", deb) << r.out;
  const std::string root = dir / "root";
  ASSERT_EQ(0, run_program({"dpkg-deb", "-x", deb, root}).status);
  ASSERT_EQ(0, run_program({"dpkg-deb", "-e", deb, dir / "control"}).status);

  const std::string rules = "etc/kelmor/tarsil_rules/";
  const std::set<std::string> rule_files = files_below(kSource + "/etc/tarsil_rules", rules);
  std::set<std::string> want = rule_files;
  want.insert({"usr/bin/tarsil", "usr/share/man/man1/tarsil.1.gz", "usr/share/doc/tarsil/copyright",
               "usr/share/doc/tarsil/changelog.gz",
               "usr/share/bash-completion/completions/tarsil"});
  EXPECT_EQ(want, files_below(root));
  std::string conffiles;
  for (const std::string& file : rule_files) conffiles += "/" + file + "\n";
  EXPECT_EQ(conffiles, read_file(dir / "control/conffiles"));

  // The name and version are in the file's name and the changelog's first line.
  const std::string control = read_file(dir / "control/control");
  const std::size_t depends = control.find("\nDepends: ");
  EXPECT_LT(control.find("libc6 (>= ", depends), control.find('\n', depends + 1)) << control;
  r = run_program(
      {"sh", "-c", "zcat \"$0\" | head -1", root + "/usr/share/doc/tarsil/changelog.gz"});
  EXPECT_EQ("tarsil (" TARSIL_VERSION ") unstable; urgency=medium\n", r.out);
  EXPECT_EQ(0, read_file(root + "/usr/share/doc/tarsil/copyright").find("Format: https://"));

  r = run_program({"ldd", root + "/usr/bin/tarsil"});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ(std::string::npos, r.out.find("not found")) << r.out;
  expect_reads_own_license({root + "/usr/bin/tarsil", "-r", root + "/" + rules});
}

// Every option of the table is in the man page, each word of the page that
// names an option is in the table, and the completion offers each one that
// works.
TEST(Install, ManPageAndCompletionCoverEveryOption) {
  const std::string page = read_file(kSource + "/doc/tarsil.1");
  const std::string completion = read_file(kCompletion);
  std::set<std::string> options;
  for (const Flag& flag : kFlags) {
    for (const std::string& option : {flag.letter ? "-" + std::string(1, flag.letter) : "",
                                      flag.name.empty() ? "" : "--" + std::string(flag.name)}) {
      if (option.empty()) continue;
      options.insert(option);
      const std::string roff = std::regex_replace(option, std::regex("-"), "\\\\-");  // \- each
      EXPECT_TRUE(has_word(page, roff)) << option << " is not in doc/tarsil.1";
      if (flag.offered) {
        EXPECT_TRUE(has_word(completion, option)) << option << " is not completed";
      }
    }
  }
  EXPECT_GT(options.size(), 20u);
  // The ".TP" items of the OPTIONS section name options.
  const std::string section = page.substr(page.find(".SH OPTIONS"));
  const std::regex named("\\.TP\n\\.B[IR]? (\\\\-[a-z]|\\\\-\\\\-[-a-z\\\\]+)");
  for (std::sregex_iterator
           it(section.begin(), section.find(".SH \"RULE SET\"") + section.begin(), named),
       end;
       it != end; ++it) {
    const std::string option = std::regex_replace((*it)[1].str(), std::regex("\\\\"), "");
    EXPECT_TRUE(options.contains(option)) << option << " is not in the table";
  }
  if (!have("groff")) GTEST_SKIP() << "groff missing: the page is not checked for warnings";
  expect_same({"", "", 0}, run_program({"groff", "-man", "-ww", "-z", kSource + "/doc/tarsil.1"}),
              "groff");
}

TEST(Install, CompletionAnswers) {
  TempDir dir;
  write_rule_set(
      dir / "rules",
      {{"licenses.d/MIT/a", ""}, {"licenses.d/MIT-0/a", ""}, {"licenses.d/GPL-2.0-only/a", ""}});
  write_file(dir / "rules/file.txt", "");
  const std::pair<std::string, std::string> cases[] = {
      {"tarsil --fo", "--format"},
      {"tarsil --format ''", "records jsonl spdx-json cyclonedx-json csv"},
      {"tarsil --format = s", "spdx-json"},
      {"tarsil --format=c", "--format=cyclonedx-json --format=csv"},
      {"tarsil -r rules/", "rules/licenses.d rules/strings.d"},
      {"tarsil -r rules --fail-on MIT", "MIT-0 MIT"},
      {"tarsil --ruledir = rules --allow GPL-2.0-only,M", "GPL-2.0-only,MIT-0 GPL-2.0-only,MIT"},
      {"tarsil -d rules/f", "rules/file.txt"},
      {"tarsil --jobs ''", ""},
  };
  const std::string complete =
      "source \"$0\"; eval \"COMP_WORDS=($1)\"; "
      "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _tarsil; echo \"${COMPREPLY[*]}\"";
  for (const auto& [words, want] : cases) {
    const RunResult r = run_program({"env", "LC_ALL=C", "bash", "-c", complete, kCompletion, words},
                                    {.cwd = dir.path()});
    EXPECT_EQ(want + "\n", r.out) << words << "\n" << r.err;
  }
}

}  // namespace
}  // namespace tarsil::testing
