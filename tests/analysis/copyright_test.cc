// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/copyright.h"

#include <gtest/gtest.h>

namespace tarsil {
namespace {

// The pretty and JSON objects of `entries`, each "<index>, <statement>".
std::string pretty_object(const std::vector<std::string>& entries) {
  std::string out = "\t\t{";
  for (const std::string& e : entries) out += "\n\t\t\t" + e;
  return out + "\n\t\t}";
}
std::string json_object(const std::vector<std::string>& entries) {
  std::string out;
  for (const std::string& e : entries) {
    const std::size_t comma = e.find(", ");
    out += (out.empty() ? "\"" : ",\"") + e.substr(0, comma) + "\":\"" + e.substr(comma + 2) + "\"";
  }
  return "{" + out + "}";
}

TEST(ExtractCopyrights, BothForms) {
  const std::string a89(89, 'a');
  // Eleven statements: only the first ten occurrences are examined.
  std::string eleven;
  std::vector<std::string> ten;
  for (int i = 0; i < 11; ++i) {
    const std::string statement = "Copyright 20" + std::to_string(10 + i) + " Author";
    eleven += statement + "\n";
    if (i < 10) ten.push_back(std::to_string(i) + ", " + statement);
  }
  const struct {
    std::string text;
    std::vector<std::string> entries;
    std::string json = "";  // when not json_object(entries)
  } cases[] = {
      {"int main() { return 0; }\n", {}},
      {"/*\n * Copyright (C) 2019 Example Project contributors\n */\n",
       {"0, Copyright (C) 2019 Example Project contributors"}},
      // 13 characters: too short for entry 0 in JSON form, enough when pretty.
      {"Copyright (C)\nCopyright (C) 2020 Jane Doe\n",
       {"0, Copyright (C)", "1, Copyright (C) 2020 Jane Doe"},
       "{\"1\":\"Copyright (C) 2020 Jane Doe\"}"},
      // Kept from 14 (entry 0) and 13 (later) characters in JSON form, 12 pretty.
      {"Copyright 2019\nCopyright 20\nCopyright 201\nCopyright 2\n",
       {"0, Copyright 2019", "1, Copyright 20", "2, Copyright 201"},
       "{\"0\":\"Copyright 2019\",\"2\":\"Copyright 201\"}"},
      {"This is copyrighted by Jane Doe.\n", {"0, copyrighted by Jane Doe."}},
      // A UTF-8 sign (bytes of 0x80 and above) ends the entry; so does NUL.
      {"Copyright 2019 Jane \xc2\xa9\n", {"0, Copyright 2019 Jane"}},
      {std::string("Copyright 2019 Jane Doe\0Copyright 2020 John Roe\n", 48),
       {"0, Copyright 2019 Jane Doe"}},
      // Cut after 99 characters; the next search starts right there.
      {"Copyright " + a89 + "Copyright Jane Doe\n",
       {"0, Copyright " + a89, "1, Copyright Jane Doe"}},
      // Dropped blanks count among the 99.
      {"Copyright" + std::string(20, ' ') + std::string(80, 'x') + "\n",
       {"0, Copyright " + std::string(70, 'x')}},
      {"Copyright \t \"Jane\"  Doe\tand\t\tothers \t\n", {"0, Copyright Jane Doe and others"}},
      {"Copyright 2019 C:\\dir\\\n",
       {"0, Copyright 2019 C:\\dir\\"},
       "{\"0\":\"Copyright 2019 C:\\\\dir\\\\\"}"},
      // The length test counts the file's characters, not their escapes.
      {"Copyright 20\\\n", {"0, Copyright 20\\"}, "{}"},
      {eleven, ten},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.json.empty() ? json_object(c.entries) : c.json, extract_copyrights(c.text, false))
        << c.text;
    EXPECT_EQ(pretty_object(c.entries), extract_copyrights(c.text, true)) << c.text;
  }
}

}  // namespace
}  // namespace tarsil
