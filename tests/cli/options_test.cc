#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_util.h"

namespace tarsil::testing {
namespace {

TEST(CommandLine, NoArgument) {
  const RunResult r = run_tarsil({});
  EXPECT_EQ("", r.out);
  EXPECT_EQ("ERROR: Missing path. Maybe you can use some --help\n", r.err);
  EXPECT_EQ(1, r.status);
}

TEST(CommandLine, NobodyCannotReadUnreadableFile) {
  TempDir dir;
  write_rule_set(dir / "rules", {});
  write_file(dir / "secret.c", "x\n");
  chmod((dir / "secret.c").c_str(), 0);
  const RunResult r = run_tarsil({"-r", dir / "rules", dir / "secret.c"}, as_nobody());
  EXPECT_EQ("ERROR: Cannot read " + (dir / "secret.c") + "\n", r.out);
  EXPECT_EQ(1, r.status);
  EXPECT_EQ("", json_lines_error("{\"a\":1}\n"));
  EXPECT_NE("", json_lines_error("{\"a\":1\n"));
}

}  // namespace
}  // namespace tarsil::testing
