// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/spdx.h"

#include <gtest/gtest.h>

#include "core/settings.h"
#include "test_util.h"

namespace tarsil {
namespace {

TEST(SpdxIdentifier, FirstTagNamesALicenseDirectory) {
  testing::TempDir dir;
  for (const char* id : {"GPL-2.0-only", "MIT", "GP", "GPL-2.0-with-classpath-e", "sub/dir"}) {
    testing::make_dirs(dir / "licenses.d/" + id);
  }
  RunSettings settings = default_run_settings();
  settings.licensedir = dir / "licenses.d";
  const struct {
    std::string text, want;  // want "" = no identifier
  } cases[] = {
      {"// SPDX-License-Identifier: GPL-2.0-only\nint x;\n", "GPL-2.0-only"},
      {"// SPDX-License-Identifier: GPL-2.0-or-later\n", ""},  // no such directory
      {"SPDX-License-Identifier:MIT", "MIT"},
      {"SPDX-License-Identifier:\tMIT \t\n", "MIT"},
      // One trailing comment closer goes, with the blanks before it.
      {"/* SPDX-License-Identifier: MIT */\n", "MIT"},
      {"<!-- SPDX-License-Identifier: MIT -->\r\n", "MIT"},
      {"(* SPDX-License-Identifier: MIT*) *)\n", ""},           // "MIT*)" is no directory
      {"/* SPDX-License-Identifier: GPL-2.0-only */ x\n", ""},  // not last
      {"/* SPDX-License-Identifier: */\n", ""},
      {"# SPDX-License-Identifier: MIT OR Apache-2.0\n", ""},
      // The value is cut 25 characters after the colon.
      {"SPDX-License-Identifier: GPL-2.0-with-classpath-exception\n", "GPL-2.0-with-classpath-e"},
      {"SPDX-License-Identifier:GPL-2.0-with-classpath-exception\n", ""},  // ...-ex
      {"SPDX-License-Identifier: GP\n", ""},  // three characters at least
      {"spdx-license-identifier: MIT\n", ""},
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
    EXPECT_EQ(c.want, find_spdx_identifier(c.text, settings).value_or("")) << c.text;
  }
}

TEST(SpdxExpression, KnownLicensesAndExceptions) {
  testing::TempDir dir;
  for (const char* id : {"MIT", "Apache-2.0", "BSD-3-Clause", "GPL-2.0+", "GPL-2.0-only",
                         "GPL-3.0-only", "GP", "mit", ".Hidden", "LicenseRef-x"}) {
    testing::make_dirs(dir / "licenses.d/" + id);
  }
  testing::write_file(dir / "licenses.d/Plain", "a file\n");
  testing::write_file(dir / "exceptions.txt", "# list\nLLVM-exception\nClasspath-exception-2.0\n");
  testing::make_dirs(dir / "bare/licenses.d/MIT");  // no exceptions.txt
  RunSettings settings = default_run_settings();
  const std::string tag = "// SPDX-License-Identifier:";
  const std::string llvm = "Apache-2.0 WITH LLVM-exception";
  const struct {
    std::string text, want;  // want "" = falls through
  } cases[] = {
      {tag + " MIT\n", "MIT"},
      {tag + " mit OR Mit\n", "mit OR MIT"},  // exact spelling, else first in byte order
      {"/* SPDX-License-Identifier: Mit OR apache-2.0 */\n", "MIT OR Apache-2.0"},
      {"<!-- SPDX-License-Identifier: MIT and Apache-2.0-->\r\n", "MIT AND Apache-2.0"},
      {"(* SPDX-License-Identifier:(MIT) *)\n", "(MIT)"},
      {tag + "  ( mIT\tor  APACHE-2.0 )AND bsd-3-clause  \r\n",
       "(MIT OR Apache-2.0) AND BSD-3-Clause"},
      {tag + " ((MIT OR (gpl-2.0+)) and Apache-2.0 with llvm-exception)\n",
       "((MIT OR (GPL-2.0+)) AND " + llvm + ")"},
      {tag + " GPL-2.0-only+ WITH CLASSPATH-EXCEPTION-2.0\n",
       "GPL-2.0-only+ WITH Classpath-exception-2.0"},
      {tag + " gpl-3.0-only+ OR GP\n", "GPL-3.0-only+ OR GP"},
      {tag + " MIT OR " + llvm + " OR GPL-2.0-only OR BSD-3-Clause\nMIT",
       "MIT OR " + llvm + " OR GPL-2.0-only OR BSD-3-Clause"},
      {"SPDX-License-Identifier: MIT\nSPDX-License-Identifier: Apache-2.0 OR\n", "MIT"},
      // Everything else falls through.
      {tag + "\nMIT\n", ""},
      {tag + " MIT OR\n", ""},
      {tag + " OR MIT\n", ""},
      {tag + " MIT Apache-2.0\n", ""},
      {tag + " MIT Or Apache-2.0\n", ""},
      {tag + " (MIT OR Apache-2.0\n", ""},
      {tag + " MIT OR Apache-2.0)\n", ""},
      {tag + " ()\n", ""},
      {tag + " MIT WITH Apache-2.0\n", ""},
      {tag + " MIT WITH Foo-exception\n", ""},
      {tag + " MIT WITH\n", ""},
      {tag + " (MIT) WITH LLVM-exception\n", ""},
      {tag + " MIT WITH LLVM-exception WITH LLVM-exception\n", ""},
      {tag + " LLVM-exception\n", ""},
      {tag + " Unknown-1.0 OR MIT\n", ""},
      {tag + " LicenseRef-x\n", ""},
      {tag + " DocumentRef-x:LicenseRef-y OR MIT\n", ""},
      {tag + " MIT++\n", ""},
      {tag + " +\n", ""},
      {tag + " Plain\n", ""},
      {tag + " .Hidden\n", ""},
      {tag + " MIT */ OR Apache-2.0\n", ""},
      {"spdx-license-identifier: MIT\n", ""},
  };
  settings.licensedir = dir / "licenses.d";
  for (const auto& c : cases) {
    EXPECT_EQ(c.want, find_spdx_expression(c.text, settings).value_or("")) << c.text;
  }
  // Another rule set is read afresh; without an exception list, WITH never matches.
  settings.licensedir = dir / "bare/licenses.d";
  EXPECT_EQ("MIT", find_spdx_expression(tag + " mit\n", settings).value_or(""));
  EXPECT_EQ("", find_spdx_expression(tag + " MIT WITH LLVM-exception\n", settings).value_or(""));
}

}  // namespace
}  // namespace tarsil
