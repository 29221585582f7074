// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The output formats beside the records (--format): JSON Lines, CSV, and
// the SPDX 2.3 and CycloneDX 1.5 JSON documents. Workers turn each file's
// record into its piece of output; the one writer puts the pieces together
// in serial order, so every format is the same for any number of jobs.
//
// Contract:
// - `parse_format` knows records, jsonl, spdx-json, cyclonedx-json and csv.
// - `jsonl_line`: one JSON object and a newline, keys in this order: "path"
//   (as the record gives it), "license" (the verdict, or null), "score" (a
//   number, two decimals; 0 without a verdict), "rule" (the winning reference
//   file for a text match, else null), "match" ("text", "string",
//   "spdx-tag" or "none"), and with -y "copyrights" (an array of the
//   statements in file order). Strings are escaped by json_escape.
// - `csv_header` / `csv_line`: path,license,score,rule,match, CRLF-ended
//   (RFC 4180); a field holding a comma, a double quote, CR or LF is quoted,
//   its quotes doubled. Bytes are written as they are.
// - `spdx_file_entry` / `cyclonedx_component`: one file of a document, as
//   indented JSON text without a trailing comma; `file_id` is the 16 hex
//   digits that make the file's SPDXID ("SPDXRef-File-<id>") and bom-ref
//   ("file-<id>"): document_file_id of its name below the target, or with
//   --files-from of its path (names there may repeat).
// - `write_sbom_document` hands the whole document, newline-terminated, to
//   its sink in pieces (entries as they were given, each file once). The
//   namespace (SPDX) and serial number (CycloneDX) are a random UUID, or,
//   when `pinned`, a name-based UUID (SHA-1, version 5 layout) of the
//   format, the creation time, the document name and every entry: the same
//   scan gives the same document byte for byte.
// - `valid_sbom_time` accepts a UTC time written YYYY-MM-DDThh:mm:ssZ;
//   `now_sbom_time` gives the current time in that form.
// Nothing here writes (but through the sink given) or fails.
#ifndef TARSIL_CLI_FORMATS_H_
#define TARSIL_CLI_FORMATS_H_

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/record.h"

namespace tarsil {

enum class OutputFormat { kRecords, kJsonl, kSpdxJson, kCycloneDxJson, kCsv };

// Returns the format named `name`; nothing for an unknown name (exact case).
std::optional<OutputFormat> parse_format(std::string_view name);

// True for the two documents written whole at the end of the run.
inline bool is_document(OutputFormat format) {
  return format == OutputFormat::kSpdxJson || format == OutputFormat::kCycloneDxJson;
}

// Each returns its line, newline included; none fails. `copyrights`: -y ran.
std::string jsonl_line(const FileRecord& record, bool copyrights);
std::string csv_header();
std::string csv_line(const FileRecord& record);

// Returns the name a document gives `path` (never fails): "./" and the path
// below the target directory, whose path with its slash takes `root_length`
// bytes (a single file: up to its last slash; with --files-from: 0, and
// leading slashes go).
std::string document_file_name(const std::string& path, std::size_t root_length);

// Returns the 16 hex digits identifying `name` in a document; never fails.
std::string document_file_id(const std::string& name);

// Each returns the file's entry; neither fails. `sha1` is the whole file's
// hex digest; `copyrights` says whether -y ran.
std::string spdx_file_entry(const FileRecord& record, const std::string& name,
                            const std::string& file_id, const std::string& sha1, bool copyrights);
std::string cyclonedx_component(const FileRecord& record, const std::string& file_id,
                                const std::string& sha1, bool copyrights);

// Hands the document of `format` named `name` (the target or the list),
// created at `created`, to `write` piece by piece: `entries` are the
// entries' text (joined by ",\n") in consecutive blocks, `ids` their file
// ids, 16 characters each, in the same order.
using TextSink = std::function<void(std::string_view)>;
void write_sbom_document(OutputFormat format, const std::string& name, const std::string& created,
                         bool pinned, const std::vector<std::string>& entries,
                         const std::string& ids, const TextSink& write);

// True for a real date and time written YYYY-MM-DDThh:mm:ssZ; never fails.
bool valid_sbom_time(std::string_view text);
// The current UTC time in that form; never fails.
std::string now_sbom_time();

// The license ids of a verdict (an id, or an expression), each once, in
// order of appearance; exception ids after WITH are left out.
std::vector<std::string> license_ids(const std::string& license);

}  // namespace tarsil

#endif  // TARSIL_CLI_FORMATS_H_
