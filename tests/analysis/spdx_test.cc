#include "analysis/spdx.h"

#include <gtest/gtest.h>

#include "cli/settings.h"
#include "test_util.h"

namespace tarsil {
namespace {

TEST(SpdxIdentifier, FirstTagNamesALicenseDirectory) {
  testing::TempDir dir;
  for (const char* id : {"GPL-2.0-only", "MIT", "GP", "X", "GPL-2.0-with-classpath-e", "sub/dir"}) {
    testing::make_dirs(dir / "licenses.d/" + id);
  }
  reset_run_settings();
  run_settings.licensedir = dir / "licenses.d";
  const struct {
    std::string text, want;  // want "" = no identifier
  } cases[] = {
      {"// SPDX-License-Identifier: GPL-2.0-only\nint x;\n", "GPL-2.0-only"},
      {"// SPDX-License-Identifier: GPL-2.0-or-later\n", ""},  // no such directory
      {"SPDX-License-Identifier:MIT", "MIT"},
      {"SPDX-License-Identifier: MIT\r\n", "MIT"},
      {"SPDX-License-Identifier:\tMIT \t\n", "MIT"},
      {"/* SPDX-License-Identifier: MIT */\n", ""},
      {"# SPDX-License-Identifier: MIT OR Apache-2.0\n", ""},
      // The value is cut 25 characters after the colon.
      {"SPDX-License-Identifier: GPL-2.0-with-classpath-exception\n", "GPL-2.0-with-classpath-e"},
      {"SPDX-License-Identifier:GPL-2.0-with-classpath-exception\n", ""},  // ...-ex
      {"SPDX-License-Identifier: GP\n", ""},
      {"SPDX-License-Identifier: X\n", ""},
      {"spdx-license-identifier: MIT\n", ""},
      {"SPDX-License-Identifier: MIT", "MIT"},
      {"int x; // SPDX-License-Identifier:", ""},
      // The first character after the colon, even a newline, belongs to the value.
      {"SPDX-License-Identifier:\nMIT\nint x;\n", "MIT"},
      {"SPDX-License-Identifier:\n\nMIT\n", ""},
      {"SPDX-License-Identifier:\nGPL-2.0-with-classpath-exception\n", "GPL-2.0-with-classpath-e"},
      {"SPDX-License-Identifier: nothing\nSPDX-License-Identifier: MIT\n", ""},
      {std::string("SPDX-License-Identifier: MIT\0", 29) + "more", "MIT"},
      {std::string("\0SPDX-License-Identifier: MIT\n", 30), ""},
      {"SPDX-License-Identifier: sub/dir\n", ""},  // never a path
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.want, find_spdx_identifier(c.text).value_or("")) << c.text;
  }
  reset_run_settings();
}

}  // namespace
}  // namespace tarsil
