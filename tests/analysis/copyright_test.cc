#include "analysis/copyright.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace tarsil {
namespace {

// The pretty object of `entries` ("0, text" each).
std::string pretty_object(std::initializer_list<std::string> entries) {
  std::string out = "\t\t{";
  for (const std::string& e : entries) out += "\n\t\t\t" + e;
  return out + "\n\t\t}";
}

TEST(ExtractCopyrights, BothForms) {
  const std::string a89(89, 'a');
  // Eleven statements: only the first ten occurrences are examined.
  std::string eleven, eleven_json = "{", eleven_pretty = "\t\t{";
  for (int i = 0; i < 11; ++i) {
    const std::string statement = "Copyright 20" + std::to_string(10 + i) + " Author";
    eleven += statement + "\n";
    if (i == 10) break;
    eleven_json += (i ? ",\"" : "\"") + std::to_string(i) + "\":\"" + statement + "\"";
    eleven_pretty += "\n\t\t\t" + std::to_string(i) + ", " + statement;
  }
  eleven_json += "}";
  eleven_pretty += "\n\t\t}";
  const struct {
    std::string text, json, pretty;
  } cases[] = {
      {"", "{}", pretty_object({})},
      {"int main() { return 0; }\n", "{}", pretty_object({})},
      {"/*\n * Copyright (C) 2019 Example Project contributors\n */\n",
       "{\"0\":\"Copyright (C) 2019 Example Project contributors\"}",
       pretty_object({"0, Copyright (C) 2019 Example Project contributors"})},
      // 13 characters: too short for entry 0 in JSON form, enough when pretty.
      {"Copyright (C)\nCopyright (C) 2020 Jane Doe\n", "{\"1\":\"Copyright (C) 2020 Jane Doe\"}",
       pretty_object({"0, Copyright (C)", "1, Copyright (C) 2020 Jane Doe"})},
      // Kept from 14 (entry 0) and 13 (later) characters in JSON form, 12 pretty.
      {"Copyright 2019\nCopyright 20\nCopyright 201\nCopyright 2\n",
       "{\"0\":\"Copyright 2019\",\"2\":\"Copyright 201\"}",
       pretty_object({"0, Copyright 2019", "1, Copyright 20", "2, Copyright 201"})},
      {"This is copyrighted by Jane Doe.\n", "{\"0\":\"copyrighted by Jane Doe.\"}",
       pretty_object({"0, copyrighted by Jane Doe."})},
      {"THE COPYRIGHT HOLDERS AND CONTRIBUTORS\n", "{\"0\":\"COPYRIGHT HOLDERS AND CONTRIBUTORS\"}",
       pretty_object({"0, COPYRIGHT HOLDERS AND CONTRIBUTORS"})},
      // A UTF-8 sign (bytes of 0x80 and above) ends the entry; so do CR and NUL.
      {"Copyright \xc2\xa9 2019 Jane Doe\n", "{}", pretty_object({})},
      {"Copyright 2019 Jane \xc2\xa9\n", "{\"0\":\"Copyright 2019 Jane\"}",
       pretty_object({"0, Copyright 2019 Jane"})},
      {"Copyright 2019 Jane Doe\r\n", "{\"0\":\"Copyright 2019 Jane Doe\"}",
       pretty_object({"0, Copyright 2019 Jane Doe"})},
      {std::string("Copyright 2019 Jane Doe\0Copyright 2020 John Roe\n", 48),
       "{\"0\":\"Copyright 2019 Jane Doe\"}", pretty_object({"0, Copyright 2019 Jane Doe"})},
      // Cut after 99 characters; the next search starts right there.
      {"Copyright " + a89 + "Copyright Jane Doe\n",
       "{\"0\":\"Copyright " + a89 + "\",\"1\":\"Copyright Jane Doe\"}",
       pretty_object({"0, Copyright " + a89, "1, Copyright Jane Doe"})},
      // Dropped blanks count among the 99.
      {"Copyright" + std::string(20, ' ') + std::string(80, 'x') + "\n",
       "{\"0\":\"Copyright " + std::string(70, 'x') + "\"}",
       pretty_object({"0, Copyright " + std::string(70, 'x')})},
      {"Copyright \t \"Jane\"  Doe\tand\t\tothers \t\n",
       "{\"0\":\"Copyright Jane Doe and others\"}",
       pretty_object({"0, Copyright Jane Doe and others"})},
      {"Copyright 2019 A\x7f"
       "B\n",
       "{\"0\":\"Copyright 2019 A\x7f"
       "B\"}",
       pretty_object({"0, Copyright 2019 A\x7f"
                      "B"})},
      {"Copyright 2019 C:\\dir\\\n", "{\"0\":\"Copyright 2019 C:\\\\dir\\\\\"}",
       pretty_object({"0, Copyright 2019 C:\\dir\\"})},
      // The length test counts the file's characters, not their escapes.
      {"Copyright 20\\\n", "{}", pretty_object({"0, Copyright 20\\"})},
      {eleven, eleven_json, eleven_pretty},
  };
  std::string objects;
  for (const auto& c : cases) {
    EXPECT_EQ(c.json, extract_copyrights(c.text, false)) << c.text;
    EXPECT_EQ(c.pretty, extract_copyrights(c.text, true)) << c.text;
    objects += extract_copyrights(c.text, false) + "\n";
  }
  EXPECT_EQ("", testing::json_lines_error(objects));
}

}  // namespace
}  // namespace tarsil
