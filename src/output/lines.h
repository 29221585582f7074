// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// JSON Lines and CSV: one line per file (formatter.h).
#ifndef TARSIL_OUTPUT_LINES_H_
#define TARSIL_OUTPUT_LINES_H_

#include <memory>
#include <string>

#include "output/formatter.h"

namespace tarsil {

// Each returns its line, newline included; none fails. `copyrights`: -y ran.
std::string jsonl_line(const FileResult& result, bool copyrights);
std::string csv_header();
std::string csv_line(const FileResult& result);

std::unique_ptr<Formatter> make_jsonl_formatter(const FormatOptions& options);
std::unique_ptr<Formatter> make_csv_formatter(const FormatOptions& options);

}  // namespace tarsil

#endif  // TARSIL_OUTPUT_LINES_H_
