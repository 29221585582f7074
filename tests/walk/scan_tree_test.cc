// Directory targets, walked by the built binary.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "test_util.h"

namespace tarsil::testing {
namespace {

// The record of a file that matches nothing.
std::string none(const std::string& path) {
  return record("", "0.00", path, "");
}

TEST(ScanTree, Walks) {
  TempDir dir;
  const std::string rules = dir / "rules", t = dir / "t", u = dir / "u";
  write_rule_set(rules, {});
  for (const char* name : {"x.c", "sub/y.c", ".hidden.c"}) write_file(t + "/" + name, "text\n");
  make_dirs(t + "/empty");
  ASSERT_EQ(0, symlink("x.c", (t + "/link.c").c_str()));
  ASSERT_EQ(0, symlink("sub", (t + "/dirlink").c_str()));  // not followed
  ASSERT_EQ(0, symlink("missing", (t + "/dangling").c_str()));
  ASSERT_EQ(0, mkfifo((t + "/fifo").c_str(), 0644));
  std::map<std::string, std::string> records = {{"x.c", none(t + "/x.c")},
                                                {".hidden.c", none(t + "/.hidden.c")},
                                                {"link.c", none(t + "/link.c")},
                                                {"sub", none(t + "/sub/y.c")}};
  std::string want;  // depth first, in listing order
  for (const std::string& name : listing(t)) want += records[name];
  expect_run({"-r", rules, t}, want);
  ASSERT_EQ(0, symlink("t/sub", (dir / "sublink").c_str()));  // a link target is walked
  expect_run({"-r", rules, dir / "sublink"}, none(dir / "sublink/y.c"));

  // Paths are composed from the target as given.
  write_file(dir / "a/x.c", "text\n");
  make_dirs(dir / "empty");
  write_file(dir / "q\"b\\/t\tx.c", "text\n");
  const struct {
    std::string cwd, target, want;
  } cases[] = {
      {dir.path(), "a", none("a/x.c")}, {dir.path(), "a/", none("a//x.c")},
      {dir / "a", ".", none("./x.c")},  {dir / "a", "..//a", none("..//a/x.c")},
      {dir.path(), "empty", ""},        {dir.path(), "q\"b\\", none("q\\\"b\\\\/t\\u0009x.c")},
  };
  for (const auto& c : cases) expect_run({"-r", rules, c.target}, c.want, "", 0, {.cwd = c.cwd});

  // An unreadable directory is skipped without a word; an unreadable file
  // ends the run there, earlier records staying.
  write_file(dir / "a/locked/y.c", "text\n");
  chmod((dir / "a/locked").c_str(), 0);
  expect_run({"-r", rules, dir / "a"}, none(dir / "a/x.c"), "", 0, as_nobody());
  for (const char* name : {"a.c", "b.c", "c.c", "d.c", "e.c", "secret.c"}) {
    write_file(u + "/" + name, "text\n");
  }
  chmod((u + "/secret.c").c_str(), 0);
  const std::string error = "ERROR: Cannot read " + u + "/secret.c\n";
  want.clear();
  for (const std::string& name : listing(u)) {
    if (name == "secret.c") break;
    want += none(u + "/" + name);
  }
  expect_run({"-r", rules, u}, want + error, "", 1, as_nobody());
  expect_run({"-r", rules, u + "/secret.c"}, error, "", 1, as_nobody());  // a file target
}

}  // namespace
}  // namespace tarsil::testing
