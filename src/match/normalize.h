// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Normalization: the word stream every comparison works on.
//
// Contract: normalized text holds only A-Z, 0-9 and '|': each maximal run of
// ASCII letters and digits of the first kMaxTextBytes bytes of a text (up to
// its first NUL byte) is one word, upper-cased, and one '|' stands for each
// run of other bytes that follows a word. It never starts with '|', never
// holds "||", and is at most kMaxTextBytes characters long. Its word count is
// its number of '|'. Nothing here fails or allocates beyond the result.
#ifndef TARSIL_MATCH_NORMALIZE_H_
#define TARSIL_MATCH_NORMALIZE_H_

#include <string>
#include <string_view>

#include "core/limits.h"

namespace tarsil {

// Returns the normalized form of `text`.
std::string normalize_text(std::string_view text);

// Number of '|' in a normalized text.
int count_words(std::string_view normalized);

}  // namespace tarsil

#endif  // TARSIL_MATCH_NORMALIZE_H_
