#include "analysis/spdx.h"

#include <gtest/gtest.h>

#include "cli/settings.h"
#include "test_util.h"

namespace tarsil {
namespace {

using testing::TempDir;

TEST(TrimWhitespace, BothEnds) {
  const struct {
    std::string in, want;
  } cases[] = {
      {"", ""},          {"   ", ""},        {"\t\n\v\f\r ", ""},  {"MIT", "MIT"},
      {" MIT\r", "MIT"}, {"\nMIT\n", "MIT"}, {"a b", "a b"},       {"\t a b \r\n", "a b"},
      {"x", "x"},        {" x ", "x"},       {"MIT */", "MIT */"},
  };
  for (const auto& c : cases) {
    std::string text = c.in;
    trim_whitespace(&text);
    EXPECT_EQ(c.want, text) << '[' << c.in << ']';
  }
}

class SpdxIdentifier : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_run_settings();
    for (const char* id :
         {"GPL-2.0-only", "MIT", "GP", "X", "GPL-2.0-with-classpath-e", "sub/dir"}) {
      testing::make_dirs(dir_ / ("licenses.d/" + std::string(id)));
    }
    run_settings.licensedir = dir_ / "licenses.d";
  }
  void TearDown() override { reset_run_settings(); }
  TempDir dir_;
};

TEST_F(SpdxIdentifier, FirstTagNamesALicenseDirectory) {
  const struct {
    std::string text, want;  // want "" = no identifier
  } cases[] = {
      {"// SPDX-License-Identifier: GPL-2.0-only\nint x;\n", "GPL-2.0-only"},
      {"SPDX-License-Identifier:MIT", "MIT"},
      {"SPDX-License-Identifier: MIT\r\n", "MIT"},
      {"SPDX-License-Identifier:\tMIT \t\n", "MIT"},
      {"/* SPDX-License-Identifier: MIT */\n", ""},
      {"# SPDX-License-Identifier: MIT OR Apache-2.0\n", ""},
      {"# SPDX-License-Identifier: Apache-2.0\n", ""},  // no such directory
      {"SPDX-License-Identifier: GPL-2.0-with-classpath-exception\n", "GPL-2.0-with-classpath-e"},
      {"SPDX-License-Identifier:GPL-2.0-with-classpath-exception\n", ""},  // ...-ex
      {"SPDX-License-Identifier: GP\n", ""},
      {"SPDX-License-Identifier: X\n", ""},
      {"spdx-license-identifier: MIT\n", ""},
      {"SPDX-License-Identifier: MIT", "MIT"},
      {"int x; // SPDX-License-Identifier:", ""},
      {"SPDX-License-Identifier:", ""},
      {"SPDX-License-Identifier:\nMIT\nint x;\n", "MIT"},
      {"SPDX-License-Identifier:\n\nMIT\n", ""},
      {"SPDX-License-Identifier:\nGPL-2.0-with-classpath-exception\n", "GPL-2.0-with-classpath-e"},
      {"SPDX-License-Identifier: nothing\nSPDX-License-Identifier: MIT\n", ""},
      {std::string("SPDX-License-Identifier: MIT\0", 29) + "more", "MIT"},
      {std::string("\0SPDX-License-Identifier: MIT\n", 30), ""},
      {"SPDX-License-Identifier: sub/dir\n", ""},  // never a path
      {"SPDX-License-Identifier: ../licenses.d\n", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.want, find_spdx_identifier(c.text).value_or("")) << c.text;
  }
}

}  // namespace
}  // namespace tarsil
