// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The output formats beside records (tests/formats/validate checks the
// documents against their schemas and --jobs N against --jobs 1).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/sha1.h"
#include "output/lines.h"
#include "output/sbom.h"
#include "test_util.h"

namespace tarsil::testing {

namespace {

// A result with a verdict and, with -y, its statements.
FileResult result(MatchKind match, const std::string& license, float score, const std::string& rule,
                  const std::string& path, std::vector<std::string> copyrights = {}) {
  return FileResult{.path = path,
                    .verdict = {.match = match, .license = license, .score = score, .rule = rule},
                    .copyright_scan = true,
                    .copyrights = std::move(copyrights)};
}

}  // namespace

TEST(Formats, LinesPerFile) {
  const std::vector<std::string> statement = {"Copyright 2019 A \\ B"};
  const std::tuple<FileResult, std::string, std::string> cases[] = {
      {result(MatchKind::kText, "BSD-3-Clause", 120.5f, "license.txt", "src/a.c", statement),
       R"({"path":"src/a.c","license":"BSD-3-Clause","score":120.50,"rule":"license.txt","match":"text","copyrights":["Copyright 2019 A \\ B"]})",
       "src/a.c,BSD-3-Clause,120.50,license.txt,text\r\n"},
      {result(MatchKind::kSpdxTag, "(MIT OR Apache-2.0) AND BSD-3-Clause", 0, "", "a,b.c"),
       R"({"path":"a,b.c","license":"(MIT OR Apache-2.0) AND BSD-3-Clause","score":100.00,"rule":null,"match":"spdx-tag","copyrights":[]})",
       "\"a,b.c\",(MIT OR Apache-2.0) AND BSD-3-Clause,100.00,,spdx-tag\r\n"},
      {result(MatchKind::kString, "MIT", 100, "strings.d", "q\"\n\xff.c"),
       R"({"path":"q\"\u000a\u00ff.c","path_bytes":"cSIK/y5j","license":"MIT","score":100.00,"rule":null,"match":"string","copyrights":[]})",
       "\"q\"\"\n\xff.c\",MIT,100.00,,string\r\n"},
  };
  for (const auto& [file, jsonl, csv] : cases) {
    EXPECT_EQ(jsonl + "\n", jsonl_line(file, true)) << file.path;
    EXPECT_EQ(csv, csv_line(file)) << file.path;
  }
}

TEST(Formats, DocumentPieces) {
  EXPECT_EQ("./a/b.c", document_file_name("tree/a/b.c", 5));
  EXPECT_EQ("./b.c", document_file_name("tree//b.c", 6));
  EXPECT_EQ("./abs/x.c", document_file_name("/abs/x.c", 0));
  EXPECT_EQ("./rel.c", document_file_name("./rel.c", 0));
  EXPECT_TRUE(valid_sbom_time("2024-02-29T23:59:59Z"));
  for (const char* time : {"2023-02-29T00:00:00Z", "2026-13-01T00:00:00Z", "2026-12-07T24:00:00Z",
                           "2026-12-07 05:40:00Z", "2026-12-07T05:40:00+01:00"}) {
    EXPECT_FALSE(valid_sbom_time(time)) << time;
  }
}

// The built binary's streams and statuses in each format. Documents: the SPDX one
// pinned by checksum (the tree's path left out); a file listed twice is one
// entry; an empty tree gives a valid document; each run has its own serial number.
TEST(Formats, CommandLineAndDocuments) {
  TempDir dir;
  const std::string r = dir / "rules", c = dir / "c", locked = dir / "c/locked.c";
  write_rule_set(r,
                 {{"licenses.d/MIT/license.txt", "Permission is hereby granted free of charge"}});
  write_file(c + "/a.c", "/* SPDX-License-Identifier: MIT */\n// Copyright 2019 Example Project\n");
  write_file(c + "/b.c", "int x;\n");
  write_file(locked, "x\n");
  chmod(locked.c_str(), 0);
  const std::string a = c + "/a.c", b = c + "/b.c", list = dir / "list";
  write_file(list, a + "\n" + locked + "\n" + b + "\n");
  const std::string line_a =
      R"({"path":")" + a + R"(","license":"MIT","score":100.00,"rule":null,"match":"spdx-tag")";
  const std::string line_b =
      R"({"path":")" + b + R"(","license":null,"score":0.00,"rule":null,"match":"none"})" + "\n";
  const std::string cannot = "ERROR: Cannot read " + locked + "\n";
  const std::string denied = "tarsil: " + locked + ": permission denied\n";
  const std::string csv = "path,license,score,rule,match\r\n";
  const std::string formats =
      "Error: --format requires one of records, jsonl, spdx-json, "
      "cyclonedx-json, csv (got: JSONL)\n";
  const std::string rows = csv + a + ",MIT,100.00,,spdx-tag\r\n" + b + ",,0.00,,none\r\n";
  const std::string utc = "a UTC time as YYYY-MM-DDThh:mm:ssZ (got: yesterday)\n";
  const RunCase cases[] = {
      {{"--format", "jsonl", a}, line_a + "}\n"},
      // -p changes nothing; -y adds the statements, as the JSON form finds them.
      {{"-p", "-y", "--format", "jsonl", a},
       line_a + R"(,"copyrights":["Copyright 2019 Example Project"]})" + "\n"},
      {{"--fo=csv", b}, csv + b + ",,0.00,,none\r\n"},
      {{"--format", "records", b}, unmatched(b)},
      // Logs and errors leave standard output to the format, wherever --format stands.
      {{"-d", b, "--format", "jsonl"}, line_b, banner(r) + kPassesLog},
      {{"-s", "x", b, "--format", "jsonl"}, "", "Error: -s requires integer (got: x)\n", 1},
      {{"--format", "jsonl", "--format", "JSONL", b}, "", formats, 1},
      {{"--sbom-created", "yesterday", b}, "", "Error: --sbom-created requires " + utc, 1},
      // An unreadable file: its error on standard error; a document is not written.
      {{"--format", "jsonl", "--files-from", list}, line_a + "}\n", cannot, 1},
      {{"--format", "spdx-json", "--files-from", list}, "", cannot, 1},
      {{"--format", "csv", "--keep-going", "--files-from", list}, rows, denied, 2},
  };
  for (const RunCase& run : cases)
    expect_run(run, run.args.back() == list ? kNobody : RunOptions{}, {"-r", r});

  const std::string t = dir / "t";
  write_file(t + "/a.c", "/* SPDX-License-Identifier: MIT */\n// Copyright 2019 \"Example\"\n");
  write_file(t + "/b.c", "");
  write_file(dir / "twice", t + "/a.c\n" + t + "/a.c\n");
  make_dirs(dir / "empty");
  const auto run = [&](Str format, std::vector<std::string> args) {
    args.insert(args.begin(), {"-r", r, "--format", format});
    return run_tarsil(args).out;
  };
  std::string spdx = run("spdx-json", {"-y", "--sbom-created", "2026-01-02T03:04:05Z", t});
  const std::size_t uuid = spdx.find("spdxdocs/tarsil-") + 16;
  spdx.replace(uuid, spdx.find('"', uuid) - uuid, "UUID");
  spdx.replace(spdx.find(t), t.size(), "TREE");
  EXPECT_EQ("da4559a60b11592ac681a450fa8c702d055a2f93", sha1_hex(spdx)) << spdx;
  const std::string twice = run("spdx-json", {"--files-from", dir / "twice"});
  EXPECT_EQ(twice.find("\"./"), twice.rfind("\"./")) << twice;
  const std::string empty = run("cyclonedx-json", {dir / "empty"});
  EXPECT_EQ("  \"components\": []\n}\n", empty.substr(empty.rfind("\n  \"") + 1));
  const auto serial = [&](Str format) {
    const std::string out = run(format, {t});
    return out.substr(out.find(format == "spdx-json" ? "spdxdocs/" : "urn:uuid:"), 45);
  };
  for (const char* format : {"spdx-json", "cyclonedx-json"})
    EXPECT_NE(serial(format), serial(format));
}

}  // namespace tarsil::testing
