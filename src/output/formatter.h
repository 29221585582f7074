// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The output formats: one interface (begin a run, one file's result, end a
// run) and its implementations. A formatter never computes a verdict: it
// prints what a FileResult holds.
//
// Contract:
// - `parse_format` knows records, jsonl, spdx-json, cyclonedx-json and csv
//   (exact case); `make_formatter` returns the formatter of one.
// - begin() is written before the first file (CSV's header), end() after
//   the last one of a complete run (the documents); a run that an error ends
//   writes no end().
// - file() may be called from any thread, for results in any order; it
//   returns the file's text, and for a document an entry id: the writer
//   keeps the entries (each id once, in serial order) and hands them to
//   end(), while text without an id goes to standard output at once. A
//   result without a verdict because the license folder could not be opened
//   gives no text.
// - log_on_stdout(): the records format interleaves log lines (and the
//   messages that stand in place of a record) with its records on standard
//   output; every other format keeps standard output for its own text and
//   sends them to standard error.
// - hashes_files(): the documents carry each file's SHA-1, computed from the
//   whole file while it is read (FileContext::sha1).
// The formats (records.cc, lines.cc, sbom.cc):
// - records, JSON form: one line per file,
//     {"license":"<id>","score":"100","path":"<path>",
//     "rule":"SPDX-License-Identifier","copyright":<c>}
//   for a tag verdict, else (note the blank inside the " rule" key)
//     {"license":"<license>","score":"<%.2f>","path":"<path>", " rule":"<rule>","copyright":<c>}
//   with the license, path and rule escaped (json_escape); pretty form (-p):
//   tab-indented blocks with the values as they are. <c> is the copyright
//   object with -y, else "".
// - jsonl: one JSON object per file, keys "path", "license" (the verdict, or
//   null), "score" (a number, two decimals: 100 for a tag, 0 without a
//   verdict), "rule" (the reference file of a text match, else null),
//   "match" ("text", "string", "spdx-tag" or "none"), and with -y
//   "copyrights" (the statements, in file order).
// - csv: path,license,score,rule,match, CRLF-ended (RFC 4180), a field with
//   a comma, a double quote, CR or LF quoted, its quotes doubled.
// - spdx-json / cyclonedx-json: SPDX 2.3 and CycloneDX 1.5 JSON documents,
//   one file entry / component per file (see sbom.cc).
#ifndef TARSIL_OUTPUT_FORMATTER_H_
#define TARSIL_OUTPUT_FORMATTER_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/result.h"

namespace tarsil {

enum class OutputFormat { kRecords, kJsonl, kSpdxJson, kCycloneDxJson, kCsv };

// Returns the format named `name`; nothing for an unknown name.
std::optional<OutputFormat> parse_format(std::string_view name);

// What a run tells its formatter at the start.
struct FormatOptions {
  bool pretty = false;      // -p (records only)
  bool copyrights = false;  // -y ran
  // Documents: their name (the target or the list), creation time, and
  // whether that time was given (then the document is the same for the same
  // scan, byte for byte).
  std::string document_name{};
  std::string created{};
  bool pinned = false;
  bool listed = false;  // --files-from: paths identify files in documents
};

// Where one file stands in the run.
struct FileContext {
  std::size_t root_length = 0;  // bytes of its path above the directory walked (documents)
  std::string sha1;             // the whole file's hex SHA-1, when hashes_files()
};

struct FormattedFile {
  std::string text{};
  std::string entry_id{};  // a document's entry: its file's id
};

using TextSink = std::function<void(std::string_view)>;

class Formatter {
 public:
  virtual ~Formatter() = default;
  virtual bool log_on_stdout() const { return false; }
  virtual bool hashes_files() const { return false; }
  virtual std::string begin() const { return ""; }
  virtual FormattedFile file(const FileResult& result, const FileContext& context) const = 0;
  // `entries`: the entries' text (joined by ",\n") in consecutive blocks;
  // `ids`: their ids, 16 characters each, in the same order.
  virtual void end(const std::vector<std::string>& /*entries*/, const std::string& /*ids*/,
                   const TextSink& /*write*/) const {}
};

std::unique_ptr<Formatter> make_formatter(OutputFormat format, FormatOptions options);

}  // namespace tarsil

#endif  // TARSIL_OUTPUT_FORMATTER_H_
