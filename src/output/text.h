// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The text format (--format text): for people reviewing a tree. Per file a
// line "<path>: <expression>" ("<path>: no license found" without one),
// then one indented line per detection: its license, kind, score, lines and
// rule, separated by two blanks. Paths and values are written as they are.
#ifndef TARSIL_OUTPUT_TEXT_H_
#define TARSIL_OUTPUT_TEXT_H_

#include <memory>
#include <string>

#include "output/formatter.h"

namespace tarsil {

std::string text_block(const FileResult& result);

std::unique_ptr<Formatter> make_text_formatter(const FormatOptions& options);

}  // namespace tarsil

#endif  // TARSIL_OUTPUT_TEXT_H_
