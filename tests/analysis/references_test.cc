// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/references.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <strings.h>

#include <set>

#include "analysis/declared.h"
#include "match/license_url.h"
#include "test_util.h"

namespace tarsil {
namespace {

// The bundled rule set's reference data and license names.
struct Bundled {
  ReferenceData data;
  std::set<std::string> ids;
  LicenseLookup lookup;
};

const Bundled& bundled() {
  static const Bundled* const b = [] {
    auto* out = new Bundled;
    const std::string root = std::string(TARSIL_SOURCE_DIR) + "/etc/tarsil_rules";
    ReferenceDataResult parsed = parse_reference_data(testing::read_file(root + "/references.txt"));
    EXPECT_TRUE(parsed.data) << parsed.error;
    if (parsed.data) out->data = std::move(*parsed.data);
    if (DIR* dir = opendir((root + "/licenses.d").c_str())) {
      while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] != '.') out->ids.insert(e->d_name);
      }
      closedir(dir);
    }
    out->lookup = [ids = &out->ids](std::string_view name) -> std::string {
      for (const std::string& id : *ids) {
        if (strcasecmp(id.c_str(), std::string(name).c_str()) == 0) return id;
      }
      return "";
    };
    return out;
  }();
  return *b;
}

std::string verdict(const std::string& text) {
  const Bundled& b = bundled();
  return reference_verdict(find_references(text, b.data, b.lookup));
}

struct Case {
  std::string text, license;
};

void expect_verdicts(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(verdict(c.text), c.license) << c.text;
}

TEST(References, DataFileParsing) {
  const std::pair<std::string, std::string> bad[] = {
      {"name\tMIT License\n", "line 1: expected KIND<TAB>PATTERN<TAB>VALUE"},
      {"# c\n\nname\tA\tB\tC\n", "line 3: expected KIND<TAB>PATTERN<TAB>VALUE"},
      {"names\tMIT License\tMIT\n", "line 1: unknown kind 'names'"},
      {"name\t--\tMIT\n", "line 1: empty pattern"},
      {"url\thttp://x/\t\n", "line 1: empty value"},
  };
  for (const auto& [text, error] : bad) {
    const ReferenceDataResult r = parse_reference_data(text);
    EXPECT_FALSE(r.data) << text;
    EXPECT_EQ(r.error, error) << text;
  }
  const ReferenceDataResult r = parse_reference_data(
      "# comment\r\nname\tMIT License\tMIT\r\nname\tmit-LICENSE\tISC\nfamily\tGNU GPL\tGPL\n"
      "any\tgpl\tGPL-1.0-or-later\nurl\tHTTPS://www.X.org/a/\tMIT\nidurl\tspdx.org/licenses\t-\n");
  ASSERT_TRUE(r.data) << r.error;
  EXPECT_EQ(r.data->names.at("mit license").license, "MIT");  // the first entry of a key counts
  EXPECT_EQ(r.data->families.at("gnu gpl"), "GPL");
  EXPECT_EQ(r.data->urls.at("x.org/a"), "MIT");
  EXPECT_EQ(r.data->longest.at("gnu"), 2u);
  EXPECT_TRUE(find_references("Licensed under the MIT License", {}, bundled().lookup).empty());
}

TEST(References, KeysAndUrls) {
  const std::pair<std::string, std::string> keys[] = {
      {"GPLv2+", "gpl 2 +"},
      {"GPL-2.0-or-later", "gpl 2 +"},
      {"LGPL v2.1 or any later version", "lgpl 2.1 +"},
      {"Apache License, Version 2.0", "apache license 2"},
      {"BSD3", "bsd 3"},
      {"Version 02.10.0", "2.10"},
      {"dev2", "de 2"},
  };
  for (const auto& [text, key] : keys) EXPECT_EQ(reference_key(text), key) << text;
  const std::pair<std::string, std::string> urls[] = {
      {"https://www.gnu.org/licenses/gpl-3.0.html", "gnu.org/licenses/gpl-3.0"},
      {"http://gnu.org/licenses/old-licenses/gpl-2.0-standalone.html/",
       "gnu.org/licenses/old-licenses/gpl-2.0"},
      {"HTTPS://creativecommons.org/licenses/by-sa/4.0/deed.en_US",
       "creativecommons.org/licenses/by-sa/4.0"},
      {"http://creativecommons.org/licenses/by/3.0/legalcode#s1",
       "creativecommons.org/licenses/by/3.0"},
      {"opensource.org/licenses/mit-license.php", "opensource.org/licenses/mit-license"},
  };
  for (const auto& [url, normal] : urls) EXPECT_EQ(normalize_license_url(url), normal) << url;
  const std::vector<FoundUrl> found =
      find_license_urls("see <http://a.org/x>, (https://b.org/y). www.c.org/z; awww.d.org");
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].url, "http://a.org/x");
  EXPECT_EQ(found[1].url, "https://b.org/y");
  EXPECT_EQ(found[2].url, "www.c.org/z");
}

TEST(References, DeclaredFields) {
  struct Row {
    std::string text, form, value;
    uint32_t line;
  };
  const Row rows[] = {
      {"{\n  \"license\": \"MIT\",\n", "json", "MIT", 2},
      {"\"licenses\": [{\"type\": \"ISC\", \"url\": \"u\"}]", "json", "ISC", 1},
      {"\"license\" : {\"type\": \"BSD-3-Clause\"}", "json", "BSD-3-Clause", 1},
      {"'license' => 'GPL-2.0+',", "json", "GPL-2.0+", 1},
      {" * @license   http://x.org/l MIT License */", "@license", "http://x.org/l MIT License", 1},
      {"Name: x\nLicense:        GPLv2+\n", "License:", "GPLv2+", 2},
      {"-- License     : BSD3", "License:", "BSD3", 1},
      {"setup(name='x', license='MIT',", "license=", "MIT", 1},
      {"[metadata]\nlicense = Apache 2.0\n", "license=", "Apache 2.0", 2},
      {"  s.licenses = ['MIT']", "license=", "MIT", 1},
      {"license = {text = \"BSD-2-Clause\"}", "license=", "BSD-2-Clause", 1},
      {"__license__ = 'LGPL'", "license=", "LGPL", 1},
      {"  'License :: OSI Approved :: MIT License',", "classifier", "MIT License", 1},
      {"<license>\n <name>Apache 2</name>\n</license>", "<license>", "Apache 2", 2},
      {"MODULE_LICENSE(\"GPL v2\");", "MODULE_LICENSE", "GPL-2.0-only", 1},
      {"FILE_LICENCE ( GPL2_OR_LATER_OR_UBDL );", "FILE_LICENCE", "GPL-2.0-or-later", 1},
  };
  for (const Row& row : rows) {
    const std::vector<DeclaredValue> values = find_declared_values(row.text);
    ASSERT_EQ(values.size(), 1u) << row.text;
    EXPECT_EQ(values[0].form, row.form) << row.text;
    EXPECT_EQ(values[0].value, row.value) << row.text;
    EXPECT_EQ(values[0].line, row.line) << row.text;
  }
  for (const char* none : {"if (license == \"MIT\")", "the license: see below is", "license",
                           "MODULE_LICENSE(\"Dual BSD/GPL\");", "x = license(\"MIT\")"}) {
    EXPECT_TRUE(find_declared_values(none).empty()) << none;
  }
}

TEST(References, NamesInText) {
  expect_verdicts({
      {"/*\n * Licensed under the Apache v2 License\n */", "Apache-2.0"},
      {"/* MIT-style license (see LICENSE) */", "MIT"},
      {"This file is GPLv2 as found in COPYING", "GPL-2.0-only"},
      {" * libexif is LGPLv2.1", "LGPL-2.1-only"},
      {"// Microsoft Public License (Ms-PL)", "MS-PL"},
      {"GNU Lesser General Public License v3.0", "LGPL-3.0-only"},
      {"Eclipse Public License v2.0", "EPL-2.0"},
      {"the GNU Lesser General Public License as published by the Free Software\n"
       " * Foundation; either version 2.1 of License, or (at your option) any later version.",
       "LGPL-2.1-or-later"},
      {"Licensed under the MIT License (the \"License\"); you may not use this file", "MIT"},
      {"distributed under the same license as OpenSSL", "OpenSSL"},
      // Without a license word around it, a name is no reference.
      {"Copyright MIT; see Python 2 docs", ""},
      {"runs under Python 2", ""},
  });
}

TEST(References, GnuWithoutVersion) {
  expect_verdicts({
      {"under the terms of the GNU General Public License.", "GPL-1.0-or-later"},
      {"# released under the GPL", "GPL-1.0-or-later"},
      {"This library is covered by the LGPL, read LICENSE", "LGPL-2.0-or-later"},
      {"#ifdef GPL\n", ""},
      // A version named elsewhere wins over the family alone.
      {"GNU General Public License\nLicensed under GPLv3", "GPL-3.0-only"},
  });
}

TEST(References, UrlsFieldsAndTags) {
  expect_verdicts({
      {"// http://www.apache.org/licenses/LICENSE-2.0.html", "Apache-2.0"},
      {"// see https://opensource.org/licenses/MIT", "MIT"},
      {"<https://www.gnu.org/licenses/gpl-3.0.html>", "GPL-3.0-only"},
      {"https://spdx.org/licenses/bsd-2-clause.html", "BSD-2-Clause"},
      {"https://creativecommons.org/licenses/by-sa/4.0/", "CC-BY-SA-4.0"},
      {"https://www.gnu.org/licenses/", ""},
      {"{\n  \"license\": \"MIT OR Apache-2.0\"\n}", "MIT OR Apache-2.0"},
      {"\"license\": \"(mit or apache-2.0)\"", "(MIT OR Apache-2.0)"},
      {"<license><name>The Apache Software License, Version 2.0</name>"
       "<url>http://www.apache.org/licenses/LICENSE-2.0.txt</url></license>",
       "Apache-2.0"},
      {"license = \"GPL-2.0+\"", "GPL-2.0-or-later"},
      {"License: GPLv2+", "GPL-2.0-or-later"},
      {"MODULE_LICENSE(\"GPL\");", "GPL-2.0-only"},
      {" * @license GNU General Public License version 3 or later", "GPL-3.0-or-later"},
      {"/* spdx-license-identifier: MIT */", "MIT"},
      {"# SPDX-Licence-Identifier: Apache-2.0", "Apache-2.0"},
      {"h = \"spdx-license-identifier: BSD-3-Clause\";", "BSD-3-Clause"},
      {"-- Spdx-License-Identifier: LicenseRef-x", ""},
      // A tag the tag reader passed over; the exception is not reported.
      {"/* SPDX-License-Identifier: GPL-2.0 WITH Linux-syscall-note */", "GPL-2.0-only"},
      {"\"license\": \"SEE LICENSE IN LICENSE.md\"", ""},
  });
}

TEST(References, ListsGiveNothing) {
  expect_verdicts({
      {"MIT = \"MIT License\"\nAPACHE = \"Apache License 2.0\"\n"
       "GPL = \"GNU General Public License v3.0\"\n",
       ""},
      {"'License :: OSI Approved :: MIT License',\n'License :: OSI Approved :: ISC License "
       "(ISCL)',\n"
       "'License :: OSI Approved :: Apache Software License',\n",
       ""},
      // Two licenses: no verdict, though both are found.
      {"Dual licensed under the MIT License and the GNU GPL version 2", ""},
  });
  const Bundled& b = bundled();
  // A list of licenses: four ids or more, each spelt as an id with a digit or a dash.
  const std::pair<std::string, bool> lists[] = {
      {"[\"Apache-2.0\", \"bsd-3-clause\", \"EPL-2.0\", \"LGPL-2.1\"]", true},
      {"(MPL-1.1 OR GPL-2.0-or-later OR LGPL-2.1-or-later) AND MPL-1.1", false},
      {"MIT, ISC, Zlib, Ruby, Apache-2.0", false},  // words without a digit or a dash
  };
  for (const auto& [text, listed] : lists)
    EXPECT_EQ(lists_licenses(text, b.lookup), listed) << text;
  const std::vector<ReferenceDetection> two =
      find_references("line\nLicensed under the MIT License\n\nGPLv2\n", b.data, b.lookup);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].rule, "name");
  EXPECT_EQ(two[0].start_line, 2u);
  EXPECT_EQ(two[1].license, "GPL-2.0-only");
  EXPECT_EQ(two[1].start_line, 4u);
}

}  // namespace
}  // namespace tarsil

namespace tarsil {
namespace {

// The bundled rule set end to end: a reference verdict is written as a string
// rule's in the records format and as "reference" in jsonl; a notice naming
// another license than its boilerplate's is that license; a license text
// gives no reference verdict; ids in a list of licenses are data.
TEST(References, BundledRecords) {
  testing::TempDir dir;
  testing::write_file(dir / "a.c", "/* Licensed under the Apache v2 License */\n");
  testing::write_file(
      dir / "b.c",
      "// Licensed under the MIT License (the \"License\"); you may not use this file except\n"
      "// in compliance with the License. Unless required by applicable law or agreed to in\n"
      "// writing, software distributed under the License is distributed on an \"AS IS\"\n"
      "// BASIS, WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.\n"
      "// See the License for the specific language governing permissions and\n"
      "// limitations under the License.\n");
  const std::string rules = std::string(TARSIL_SOURCE_DIR) + "/etc/tarsil_rules";
  const struct {
    std::string file, license, match;
  } rows[] = {{"a.c", "Apache-2.0", "reference"}, {"b.c", "MIT", "string"}};
  // An id table: the records keep their verdict; the full analysis finds no license there.
  testing::write_file(dir / "ids.js",
                      "const ids = [\n  \"Apache-2.0\",\n  \"BSD-3-Clause\",\n  \"EPL-2.0\",\n"
                      "  \"LGPL-2.1\",\n];\n");
  EXPECT_NE(testing::run_tarsil({"-r", rules, dir / "ids.js"}).out.find("\"license\":\"LGPL-2.1"),
            std::string::npos);
  EXPECT_EQ(testing::run_tarsil({"-r", rules, "--format", "jsonl", dir / "ids.js"}).out,
            "{\"path\":\"" + dir / "ids.js" + "\",\"license\":\"\",\"detections\":[]}\n");
  for (const auto& row : rows) {
    const testing::RunResult records = testing::run_tarsil({"-r", rules, dir / row.file});
    EXPECT_EQ(records.out, "{\"license\":\"" + row.license + "\",\"score\":\"100.00\",\"path\":\"" +
                               dir / row.file +
                               "\", \" rule\":\"strings.d\",\"copyright\":\"\"}\n");
    const testing::RunResult jsonl =
        testing::run_tarsil({"-r", rules, "--format", "jsonl", dir / row.file});
    EXPECT_NE(jsonl.out.find("\"match\":\"" + row.match + "\""), std::string::npos) << jsonl.out;
  }
}

}  // namespace
}  // namespace tarsil
