// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "core/log.h"

#include <cstdarg>
#include <cstdio>

namespace tarsil {

void debug_log(DebugLog* log, uint32_t mask, const char* format, ...) {
  if (log == nullptr || (log->setting & mask) == 0) return;
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  char small[256];
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (length > 0 && static_cast<std::size_t>(length) < sizeof small) {
    log->text.append(small, static_cast<std::size_t>(length));
  } else if (length > 0) {
    const std::size_t at = log->text.size();
    log->text.resize(at + static_cast<std::size_t>(length) + 1);
    std::vsnprintf(log->text.data() + at, static_cast<std::size_t>(length) + 1, format, again);
    log->text.resize(at + static_cast<std::size_t>(length));
  }
  va_end(again);
}

}  // namespace tarsil
