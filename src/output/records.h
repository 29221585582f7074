// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The records format (the default, and -p): one JSON line, or one indented
// block, per file. Its bytes are a fixed contract (formatter.h).
#ifndef TARSIL_OUTPUT_RECORDS_H_
#define TARSIL_OUTPUT_RECORDS_H_

#include <memory>
#include <string>

#include "output/formatter.h"

namespace tarsil {

// Returns the record of `result`, newline included; never fails.
std::string format_record(const FileResult& result, bool pretty);

std::unique_ptr<Formatter> make_records_formatter(const FormatOptions& options);

}  // namespace tarsil

#endif  // TARSIL_OUTPUT_RECORDS_H_
