// Directory targets, walked by the built binary.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "test_util.h"

namespace tarsil::testing {
namespace {

// Names in `dir` in the order the file system lists them, "." and ".." left out.
std::vector<std::string> listing(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  while (const dirent* e = d ? readdir(d) : nullptr) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  if (d) closedir(d);
  return names;
}

// The record of a file that matches nothing, for a path needing no escapes.
std::string record(const std::string& path) {
  return "{\"license\":\"\",\"score\":\"0.00\",\"path\":\"" + path +
         "\", \" rule\":\"\",\"copyright\":\"\"}\n";
}

class ScanTree : public ::testing::Test {
 protected:
  void SetUp() override { write_rule_set(rules_, {}); }
  // Runs on `target` and checks the whole output, no error and the status;
  // the JSON-form records are kept for one parser run per test.
  void expect_run(const std::string& target, const std::string& want, int status = 0,
                  RunOptions options = {}) {
    const RunResult r = run_tarsil({"-r", rules_, target}, options);
    EXPECT_EQ(want, r.out) << target;
    EXPECT_EQ("", r.err) << target;
    EXPECT_EQ(status, r.status) << target;
    records_ += r.out.substr(0, r.out.find("ERROR: "));
  }
  void TearDown() override {
    if (!records_.empty()) {
      EXPECT_EQ("", json_lines_error(records_));
    }
  }
  std::string records_;
  TempDir dir_;
  const std::string rules_ = dir_ / "rules";
};

TEST_F(ScanTree, DepthFirstInListingOrder) {
  const std::string t = dir_ / "t";
  for (const char* name : {"x.c", "sub/y.c", "sub/deeper/z.c", ".hidden.c", ".hid/h.c"}) {
    write_file(t + "/" + name, "text\n");
  }
  make_dirs(t + "/empty");
  ASSERT_EQ(0, symlink("x.c", (t + "/link.c").c_str()));
  ASSERT_EQ(0, symlink("sub", (t + "/dirlink").c_str()));
  ASSERT_EQ(0, symlink("missing", (t + "/dangling").c_str()));
  ASSERT_EQ(0, mkfifo((t + "/fifo").c_str(), 0644));

  std::map<std::string, std::string> sub = {{"y.c", record(t + "/sub/y.c")},
                                            {"deeper", record(t + "/sub/deeper/z.c")}};
  std::map<std::string, std::string> top = {{"x.c", record(t + "/x.c")},
                                            {".hidden.c", record(t + "/.hidden.c")},
                                            {".hid", record(t + "/.hid/h.c")},
                                            {"link.c", record(t + "/link.c")},
                                            {"sub", ""}};
  for (const std::string& name : listing(t + "/sub")) top["sub"] += sub[name];
  std::string want;
  for (const std::string& name : listing(t)) want += top[name];
  expect_run(t, want);

  // A target that is a link to a directory is walked.
  ASSERT_EQ(0, symlink("t/sub", (dir_ / "sublink").c_str()));
  std::string via_link;
  for (const std::string& name : listing(t + "/sub")) {
    via_link += record(dir_ / (name == "y.c" ? "sublink/y.c" : "sublink/deeper/z.c"));
  }
  expect_run(dir_ / "sublink", via_link);
}

TEST_F(ScanTree, PathsComposedFromTheTargetAsGiven) {
  write_file(dir_ / "a/x.c", "text\n");
  make_dirs(dir_ / "empty");
  const struct {
    std::string cwd, target, want;
  } cases[] = {
      {dir_.path(), "a", record("a/x.c")},       {dir_.path(), "a/", record("a//x.c")},
      {dir_ / "a", ".", record("./x.c")},        {dir_ / "a", "..//a", record("..//a/x.c")},
      {"/", dir_ / "a", record(dir_ / "a/x.c")}, {dir_.path(), "empty", ""},
  };
  for (const auto& c : cases) {
    const RunResult r = run_tarsil({"-r", rules_, c.target}, in_directory(c.cwd));
    EXPECT_EQ(c.want, r.out) << c.target;
    EXPECT_EQ(0, r.status) << c.target;
    records_ += r.out;
  }
}

TEST_F(ScanTree, PathsWithQuotesBackslashesAndControlBytes) {
  write_file(dir_ / "d\"q\\b/t\tx.c", "Copyright 2019 \"Jane\" C:\\x\n");
  const RunResult r = run_tarsil({"-y", "-r", rules_, dir_ / "d\"q\\b"});
  EXPECT_EQ("{\"license\":\"None\",\"score\":\"0.00\",\"path\":\"" + dir_.path() +
                "/d\\\"q\\\\b/t\\u0009x.c\", \" rule\":\"\",\"copyright\":{\"0\":\"Copyright "
                "2019 Jane C:\\\\x\"}}\n",
            r.out);
  records_ += r.out;
  const RunResult pretty = run_tarsil({"-p", "-r", rules_, dir_ / "d\"q\\b"});
  EXPECT_NE(std::string::npos, pretty.out.find("\tpath\t\t: " + dir_.path() + "/d\"q\\b/t\tx.c\n"))
      << pretty.out;
}

TEST_F(ScanTree, UnreadableEntriesAsNobody) {
  // An unreadable directory is skipped without a word.
  const std::string t = dir_ / "t";
  write_file(t + "/x.c", "text\n");
  write_file(t + "/locked/y.c", "text\n");
  chmod((t + "/locked").c_str(), 0);
  expect_run(t, record(t + "/x.c"), 0, as_nobody());

  // An unreadable file ends the run there; earlier records stay.
  const std::string u = dir_ / "u";
  for (const char* name : {"a.c", "b.c", "c.c", "d.c", "e.c", "secret.c"}) {
    write_file(u + "/" + name, "text\n");
  }
  chmod((u + "/secret.c").c_str(), 0);
  std::string want;
  for (const std::string& name : listing(u)) {
    if (name == "secret.c") {
      want += "ERROR: Cannot read " + u + "/secret.c\n";
      break;
    }
    want += record(u + "/" + name);
  }
  expect_run(u, want, 1, as_nobody());
}

}  // namespace
}  // namespace tarsil::testing
