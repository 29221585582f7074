// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/spdx_tag.h"

#include <gtest/gtest.h>

#include <sstream>

#include "test_util.h"

namespace tarsil {
using namespace std::string_literals;

// The printed expression, or "" for none.
static std::string print(const std::optional<Expression>& expression) {
  return expression ? print_expression(*expression) : "";
}

// Tags read as one license directory's name, then as license expressions.
TEST(SpdxTags, IdentifiersAndExpressions) {
  testing::TempDir dir;
  const std::string classpath = "GPL-2.0-with-classpath-e";
  for (const char* id :
       {"MIT", "Apache-2.0", "BSD-3-Clause", "GPL-2.0+", "GPL-2.0-only", "GPL-3.0-only", "GP",
        "mit", ".Hidden", "LicenseRef-x", "GPL-2.0-with-classpath-e", "sub/dir"}) {
    testing::make_dirs(dir / "licenses.d/" + id);
  }
  testing::write_file(dir / "licenses.d/Plain", "a file\n");
  testing::write_file(dir / "exceptions.txt", "# list\nLLVM-exception\nClasspath-exception-2.0\n");
  testing::make_dirs(dir / "bare/licenses.d/MIT");  // no exceptions.txt
  const auto load = [&dir](const std::string& root) {
    return load_rule_set(root + "/licenses.d", root + "/strings.d", Engine::kReference, 20, 2);
  };
  std::unique_ptr<const RuleSet> rules = load(dir.path());
  const std::pair<std::string, std::string> identifiers[] = {
      {"// SPDX-License-Identifier: GPL-2.0-only\nint x;\n", "GPL-2.0-only"},
      {"SPDX-License-Identifier:MIT", "MIT"},
      {"SPDX-License-Identifier:\tMIT \t\n", "MIT"},
      // One trailing comment closer goes, with the blanks before it.
      {"/* SPDX-License-Identifier: MIT */\n", "MIT"},
      {"<!-- SPDX-License-Identifier: MIT -->\r\n", "MIT"},
      // The value is cut 25 characters after the colon.
      {"SPDX-License-Identifier: GPL-2.0-with-classpath-exception\n", classpath},
      // The first character after the colon, even a newline, belongs to the value.
      {"SPDX-License-Identifier:\nMIT\nint x;\n", "MIT"},
      {"SPDX-License-Identifier:\nGPL-2.0-with-classpath-exception\n", classpath},
      {std::string("SPDX-License-Identifier: MIT\0", 29) + "more", "MIT"},
  };
  for (const auto& [text, want] : identifiers)
    EXPECT_EQ(want, find_spdx_identifier(text, *rules).value_or("")) << text;
  // No identifier (texts separated by "|"): no such directory, a closer not
  // last, no value, cut short, a second tag, after a NUL, a path.
  std::istringstream none(
      "// SPDX-License-Identifier: GPL-2.0-or-later\n|(* SPDX-License-Identifier: MIT*) *)\n|"
      "/* SPDX-License-Identifier: GPL-2.0-only */ x\n|/* SPDX-License-Identifier: */\n|"
      "# SPDX-License-Identifier: MIT OR Apache-2.0\n|"
      "SPDX-License-Identifier:GPL-2.0-with-classpath-exception\n|SPDX-License-Identifier: GP\n|"
      "spdx-license-identifier: MIT\n|int x; // SPDX-License-Identifier:|"
      "SPDX-License-Identifier:\n\nMIT\n|"
      "SPDX-License-Identifier: nothing\nSPDX-License-Identifier: MIT\n|"
      "\0SPDX-License-Identifier: MIT\n|SPDX-License-Identifier: sub/dir\n"s);
  for (std::string text; std::getline(none, text, '|');)
    EXPECT_EQ(std::nullopt, find_spdx_identifier(text, *rules)) << text;

  const std::string tag = "// SPDX-License-Identifier:";
  const std::string llvm = "Apache-2.0 WITH LLVM-exception";
  const std::pair<std::string, std::string> expressions[] = {
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
      {"spdx-license-identifier: MIT\n", ""},
  };
  for (const auto& [text, want] : expressions)
    EXPECT_EQ(want, print(find_spdx_expression(text, *rules))) << text;
  // Every other value falls through (values separated by ",").
  std::istringstream others(
      "\nMIT, MIT OR, OR MIT, MIT Apache-2.0, MIT Or Apache-2.0, (MIT OR Apache-2.0, MIT OR "
      "Apache-2.0), (), MIT WITH Apache-2.0, MIT WITH Foo-exception, MIT WITH, (MIT) WITH "
      "LLVM-exception, MIT WITH LLVM-exception WITH LLVM-exception, LLVM-exception, Unknown-1.0 OR "
      "MIT, LicenseRef-x, DocumentRef-x:LicenseRef-y OR MIT, MIT++, +, Plain, .Hidden, MIT */ OR "
      "Apache-2.0");
  for (std::string value; std::getline(others, value, ',');)
    EXPECT_EQ("", print(find_spdx_expression(tag + value + "\n", *rules))) << value;
  // Without an exception list, WITH never matches.
  rules = load(dir / "bare");
  EXPECT_EQ("MIT", print(find_spdx_expression(tag + " mit\n", *rules)));
  EXPECT_EQ("", print(find_spdx_expression(tag + " MIT WITH LLVM-exception\n", *rules)));
}

}  // namespace tarsil
