// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The values the structured formats share, written one way for all of them.
//
// Contract: `kind_name` is a detection's kind as the formats name it (tag,
// text, notice, reference, string); `score_text` a score with two decimals;
// `file_license` the file's expression printed ("" when nothing was found).
// Nothing here fails.
#ifndef TARSIL_OUTPUT_FIELDS_H_
#define TARSIL_OUTPUT_FIELDS_H_

#include <string>

#include "analysis/result.h"

namespace tarsil {

const char* kind_name(DetectionKind kind);

std::string score_text(float score);

std::string file_license(const FileResult& result);

}  // namespace tarsil

#endif  // TARSIL_OUTPUT_FIELDS_H_
