// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The diagnostic log of one piece of work, kept as text until the driver
// writes it.
//
// Contract: `debug_log(log, mask, format, ...)` appends the printf-style text
// to log->text when any bit of `mask` is set in log->setting; nothing is
// added to the text (each format carries its own newline). A null log takes
// nothing. Lines stay in the order they were added.
#ifndef TARSIL_CORE_LOG_H_
#define TARSIL_CORE_LOG_H_

#include <cstdint>
#include <string>

namespace tarsil {

struct DebugLog {
  uint32_t setting = 0;  // the run's setting bits: which levels are on
  std::string text;
};

// Appends the formatted text when `setting & mask`; never fails.
void debug_log(DebugLog* log, uint32_t mask, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

}  // namespace tarsil

#endif  // TARSIL_CORE_LOG_H_
