// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The SPDX 2.3 and CycloneDX 1.5 JSON documents: one file entry (SPDX) or
// component (CycloneDX) per file, written whole at the end of a run.
//
// Contract:
// - Each entry is indented JSON text without a trailing comma; its id is the
//   16 hex digits of document_file_id of its name below the target (with
//   --files-from: of its path, as names there may repeat), which make its
//   SPDXID ("SPDXRef-File-<id>") and bom-ref ("file-<id>").
// - The document is handed to the sink in pieces, newline-terminated, each
//   file once. Its namespace (SPDX) or serial number (CycloneDX) is a random
//   UUID, or, when the creation time was given, a name-based UUID (SHA-1,
//   version 5 layout) of the format, the creation time, the document name
//   and every entry: the same scan gives the same document byte for byte.
// - `valid_sbom_time` accepts a real UTC time written YYYY-MM-DDThh:mm:ssZ;
//   `now_sbom_time` gives the current time in that form.
// Nothing here writes (but through the sink given) or fails.
#ifndef TARSIL_OUTPUT_SBOM_H_
#define TARSIL_OUTPUT_SBOM_H_

#include <memory>
#include <string>
#include <string_view>

#include "output/formatter.h"

namespace tarsil {

// Returns the name a document gives `path` (never fails): "./" and the path
// below the target directory, whose path with its slash takes `root_length`
// bytes (a single file: up to its last slash; with --files-from: 0, and
// leading slashes go).
std::string document_file_name(const std::string& path, std::size_t root_length);

// Returns the 16 hex digits identifying `name` in a document; never fails.
std::string document_file_id(const std::string& name);

bool valid_sbom_time(std::string_view text);
std::string now_sbom_time();

std::unique_ptr<Formatter> make_spdx_formatter(const FormatOptions& options);
std::unique_ptr<Formatter> make_cyclonedx_formatter(const FormatOptions& options);

}  // namespace tarsil

#endif  // TARSIL_OUTPUT_SBOM_H_
