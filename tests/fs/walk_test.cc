// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Directory targets, walked by the built binary.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <sstream>

#include "test_util.h"

namespace tarsil::testing {
namespace {

TEST(ScanTree, WalksAndExclusions) {
  TempDir dir;
  const std::string rules = dir / "rules", u = dir / "u";
  std::string t = dir / "t";
  write_rule_set(rules, {});
  for (const char* name : {"x.c", "sub/y.c", ".hidden.c"}) write_file(t + "/" + name, "text\n");
  make_dirs(t + "/empty");
  ASSERT_EQ(0, symlink("x.c", (t + "/link.c").c_str()));
  ASSERT_EQ(0, symlink("sub", (t + "/dirlink").c_str()));  // not followed
  std::string want;                                        // depth first, in listing order
  for (const std::string& name : listing(t)) {
    if (name != "empty" && name != "dirlink")
      want += unmatched(t + (name == "sub" ? "/sub/y.c" : "/" + name));
  }
  expect_run({{"-r", rules, t}, want});
  ASSERT_EQ(0, symlink("t/sub", (dir / "sublink").c_str()));  // a link target is walked
  expect_run({{"-r", rules, dir / "sublink"}, unmatched(dir / "sublink/y.c")});

  // Paths are composed from the target as given. An unreadable directory is
  // skipped without a word; an unreadable file ends the run there, earlier
  // records staying, or with --keep-going is a notice and the scan goes on.
  write_file(dir / "a/x.c", "text\n");
  write_file(dir / "a/locked/y.c", "text\n");
  chmod((dir / "a/locked").c_str(), 0);
  make_dirs(dir / "empty");
  write_file(dir / "q\"b\\/t\tx\n\xff.c", "text\n");  // odd bytes in names
  for (const char* name : {"a.c", "b.c", "c.c", "d.c", "e.c", "secret.c"})
    write_file(u + "/" + name, "x");
  chmod((u + "/secret.c").c_str(), 0);
  const std::string error = "ERROR: Cannot read " + u + "/secret.c\n";
  const std::string notice = "tarsil: " + u + "/secret.c: permission denied\n";
  std::string before, others;  // the records before secret.c, and all but its own
  for (const std::string& name : listing(u)) {
    if (name == "secret.c") before = others;
    if (name != "secret.c") others += unmatched(u + "/" + name);
  }
  const RunCase cases[] = {
      {{"."}, unmatched("./x.c")},
      {{"../a/"}, unmatched("../a//x.c")},
      {{"..//a"}, unmatched("..//a/x.c")},
      {{"../empty"}, ""},
      {{"../q\"b\\"}, unmatched("../q\\\"b\\\\/t\\u0009x\\u000a\\u00ff.c")},
      // The pretty form writes names as they are.
      {{"-p", "../q\"b\\"}, pretty_record("", "0.00", "../q\"b\\/t\tx\n\xff.c", "")},
      {{u}, before + error, "", 1},
      {{u + "/secret.c"}, error, "", 1},  // a file target
      {{"--keep-going", u}, others, notice, 2},
      {{"--keep-going", u + "/secret.c"}, "", notice, 2},
  };
  for (const RunCase& c : cases)
    expect_run(c, {.cwd = dir / "a", .as_nobody = true}, {"-r", rules, "--jobs", "3"});

  // --exclude: a glob matched against each entry's name and its path below the
  // walked directory; a matching directory is not entered. What is named (the
  // target, a listed path) is scanned all the same.
  t = dir / "x";
  const std::string all =
      "a.c b.min.js node_modules/x.c sub/node_modules/y.c sub/keep.c sub/gen/z.c .git/config";
  std::istringstream files(all);
  for (std::string name; files >> name;) write_file(t + "/" + name, "text\n");
  write_file(dir / "list", t + "/b.min.js\n" + t + "/sub\n");
  // The options, and the paths below t the run must give, in any order.
  const std::pair<std::vector<std::string>, std::string> excluded[] = {
      {{"--exclude", "node_modules", "--exclude=.git", t}, "a.c b.min.js sub/keep.c sub/gen/z.c"},
      {{"--exclude", "sub/gen", "--exclude", "*.js", t},
       "a.c node_modules/x.c sub/node_modules/y.c sub/keep.c .git/config"},
      {{"--exclude", "sub/*", "--exclude", "[.n]*", t}, "a.c b.min.js"},  // "*" spans "/"
      // "./" and a trailing "/" come off; the "/" then matches directories only.
      {{"--exclude", "node_modules/", "--exclude", "./sub/gen", "--exclude=a.c/", t},
       "a.c b.min.js sub/keep.c .git/config"},
      {{"--exclude", "./node_modules", "--exclude", "/*", t},  // paths never start with "/"
       "a.c b.min.js sub/keep.c sub/gen/z.c .git/config"},
      {{"--exclude", "x", "--exclude", "*.js", t + "/b.min.js"}, "b.min.js"},
      {{"--exclude", "x", "--exclude", "*.c", t}, "b.min.js .git/config"},
      // Relative to each listed directory: "sub/keep.c" is "keep.c" there.
      {{"--exclude", "*.js", "--exclude", "keep.c", "--exclude", "sub/*", "--files-from",
        dir / "list"},
       "b.min.js sub/node_modules/y.c sub/gen/z.c"},
  };
  for (const auto& [options, paths] : excluded) {
    std::vector<std::string> args = {"-r", rules};
    args.insert(args.end(), options.begin(), options.end());
    std::multiset<std::string> want, got;
    std::istringstream in(paths);
    for (std::string path; in >> path;) want.insert(unmatched(t + "/" + path));
    const RunResult r = run_tarsil(args);
    for (std::size_t at = 0; at < r.out.size(); at = r.out.find('\n', at) + 1)
      got.insert(r.out.substr(at, r.out.find('\n', at) + 1 - at));
    EXPECT_EQ(want, got) << options[1];
    expect_same({"", "", 0}, {"", r.err, r.status}, options[1]);
  }
}

// A deep tree (beyond the open-file limit, which the run lowers) with paths
// far longer than PATH_MAX loses no file: each of 150 levels holds files "a"
// and "z" and the next level's directory, of a 100-byte name.
TEST(ScanTree, WalksAnyDepthAndPathLength) {
  TempDir dir;
  write_rule_set(dir / "rules", {});
  const std::string name(100, 'd'), root = dir / "t";
  make_dirs(root);
  const std::string levels =
      "for i in {1..150}; do touch a z && mkdir \"$0\" && cd \"$0\" || exit 1; done";
  ASSERT_EQ(0, run_program({"bash", "-c", levels, name}, {.cwd = root}).status);
  // Each level: its files listed before its directory, the levels below, its files after.
  std::string want, tail, path = root;
  const std::vector<std::string> order = listing(root);  // the same at every level
  for (int level = 0; level < 150; ++level, path += "/" + name) {
    std::string after, *to = &want;
    for (const std::string& entry : order) {
      if (entry == name) to = &after;
      if (entry != name) *to += unmatched(path + "/" + entry);
    }
    tail.insert(0, after);
  }
  want += tail;
  const RunResult r =
      run_program({"prlimit", "--nofile=32", TARSIL_BINARY, "-r", dir / "rules", root});
  EXPECT_TRUE(want == r.out) << r.out.size() << " bytes of " << want.size();
  EXPECT_EQ("", r.err);
  EXPECT_EQ(0, r.status);
  run_program({"rm", "-rf", root});  // beyond what std::filesystem removes
}

}  // namespace
}  // namespace tarsil::testing
