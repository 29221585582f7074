// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The full analysis: every license of a file, where it stands, and the one
// expression they make, through the built binary's text format; the gate
// judging it in the records format; GNU grants read from notices.
#include <gtest/gtest.h>

#include "analysis/gnu_grant.h"
#include "test_util.h"

namespace tarsil::testing {
namespace {

// Sentence n: ten distinct words, so that each text below has chunks of its own.
std::string sentence(int n) {
  std::string words;
  for (int i = 0; i < 10; ++i) words += "w" + std::to_string(n) + "x" + std::to_string(i) + " ";
  return words + "end.\n";
}
std::string sentences(int from, int to) {
  std::string text;
  for (int n = from; n < to; ++n) text += sentence(n);
  return text;
}

TEST(Detect, TwoLicenseFiles) {
  TempDir dir;
  const std::string rules = dir / "rules";
  // X11's text holds MIT's whole text, and more.
  write_rule_set(rules, {{"licenses.d/MIT/license.txt", sentences(0, 6)},
                         {"licenses.d/X11/license.txt", sentences(0, 6) + sentences(40, 43)},
                         {"licenses.d/BSD-2-Clause/license.txt", sentences(10, 16)},
                         {"licenses.d/Apache-2.0/license.txt", sentences(20, 26)},
                         {"licenses.d/LGPL-3.0-or-later/notice.txt",
                          "the GNU Lesser General Public License as published by the Free "
                          "Software Foundation either version 3 of the License or at your option "
                          "any later version\n"},
                         {"licenses.d/GPL-2.0-or-later/notice.txt",
                          "the GNU General Public License as published by the Free Software "
                          "Foundation either version 2 of the License or at your option any later "
                          "version\n"}});
  const std::string nettle =
      "/* This file is free software: you can redistribute it\n"
      "   under the terms of either:\n"
      "   * the GNU Lesser General Public License as published by the Free\n"
      "     Software Foundation; either version 3 of the License, or (at your\n"
      "     option) any later version.\n"
      "   or\n"
      "   * the GNU General Public License as published by the Free\n"
      "     Software Foundation; either version 2 of the License, or (at your\n"
      "     option) any later version.\n"
      "   or both in parallel, as here. */\n";
  // The file's text, and what the text format writes for it.
  const std::pair<std::string, std::string> cases[] = {
      {"// header\n" + sentences(0, 6) + "\nint x;\n" + sentences(10, 16),
       ": MIT AND BSD-2-Clause\n  MIT  text  100.00  lines 2-7  license.txt\n"
       "  BSD-2-Clause  text  98.86  lines 10-15  license.txt\n"},  // proportional
      // The MIT grant inside X11's text does not count twice.
      {sentences(0, 6) + sentences(40, 43), ": X11\n  X11  text  100.00  lines 1-9  license.txt\n"},
      {"Dual licensed, at your choice:\n" + sentences(0, 6) + "or, alternatively,\n" +
           sentences(20, 26),
       ": MIT OR Apache-2.0\n  MIT  text  100.00  lines 2-7  license.txt\n"
       "  Apache-2.0  text  97.84  lines 9-14  license.txt\n"},
      {nettle,
       ": LGPL-3.0-or-later OR GPL-2.0-or-later\n"
       "  LGPL-3.0-or-later  notice  100.00  lines 3-5  notice.txt\n"
       "  GPL-2.0-or-later  notice  100.00  lines 7-9  notice.txt\n"},
      // A tag beside a text, and a tag's own choice holding the text's license.
      {"// SPDX-License-Identifier: BSD-2-Clause\n" + sentences(0, 6),
       ": BSD-2-Clause AND MIT\n  BSD-2-Clause  tag  100.00  lines 1-1  SPDX-License-Identifier\n"
       "  MIT  text  100.00  lines 2-7  license.txt\n"},
      {"// SPDX-License-Identifier: (MIT OR Apache-2.0)\n" + sentences(0, 6),
       ": (MIT OR Apache-2.0)\n"
       "  (MIT OR Apache-2.0)  tag  100.00  lines 1-1  SPDX-License-Identifier\n"
       "  MIT  text  100.00  lines 2-7  license.txt\n"},
      {"int x;\n", ": no license found\n"},
  };
  int n = 0;
  for (const auto& [text, want] : cases) {
    const std::string file = dir / ("f" + std::to_string(n++) + ".c");
    write_file(file, text);
    expect_run({{"-r", rules, "--format", "text", file}, file + want});
  }
  // The gate judges every license, in the records format too: the record stays MIT's.
  const std::string both = dir / "f0.c";
  expect_run({{"-r", rules, "--fail-on", "BSD-*", both},
              record("MIT", "100.00", both, "license.txt"),
              "tarsil: 1 file with a disallowed license\n",
              3});
  expect_run({{"-r", rules, "--fail-on", "MIT", dir / "f2.c"},
              record("MIT", "100.00", dir / "f2.c", "license.txt")});  // Apache-2.0 offered
}

TEST(Detect, GnuGrants) {
  const std::pair<std::string, std::string> cases[] = {
      {"GNU|LESSER|GENERAL|PUBLIC|LICENSE|AS|PUBLISHED|BY|THE|FREE|SOFTWARE|FOUNDATION|EITHER|"
       "VERSION|2|1|OF|THE|LICENSE|OR|AT|YOUR|OPTION|ANY|LATER|VERSION|",
       "LGPL-2.1-or-later"},
      {"GNU|GENERAL|PUBLIC|LICENSE|VERSION|2|AS|PUBLISHED|BY|THE|FREE|SOFTWARE|FOUNDATION|",
       "GPL-2.0-only"},
      {"GNU|LIBRARY|GENERAL|PUBLIC|LICENSE|VERSION|2|OR|LATER|", "LGPL-2.0-or-later"},
      {"LICENSED|UNDER|GPLV3|OR|HIGHER|AND|LGPLV2|1|", "GPL-3.0-or-later LGPL-2.1-only"},
      {"AFFERO|GENERAL|PUBLIC|LICENSE|V3|", "AGPL-3.0-only"},
      {"SEE|THE|GNU|GENERAL|PUBLIC|LICENSE|FOR|MORE|DETAILS|", ""},
      {"GPL|2|0|", "GPL-2.0-only"},
      {"GNU|LESSER|GENERAL|PUBLIC|LICENSE|VERSION|1|", ""},  // no such license
  };
  for (const auto& [text, want] : cases) {
    std::string got;
    for (const GnuGrant& g : gnu_grants(text, 0, static_cast<uint32_t>(text.size()))) {
      got += (got.empty() ? "" : " ") + g.id;
    }
    EXPECT_EQ(want, got) << text;
  }
}

}  // namespace
}  // namespace tarsil::testing
