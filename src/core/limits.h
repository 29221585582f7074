// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The one size limit every layer shares: how much of a file or a rule line is
// ever looked at.
#ifndef TARSIL_CORE_LIMITS_H_
#define TARSIL_CORE_LIMITS_H_

#include <cstddef>

namespace tarsil {

// Files, reference texts and rule lines count by their first 10000 bytes.
inline constexpr std::size_t kMaxTextBytes = 10000;

}  // namespace tarsil

#endif  // TARSIL_CORE_LIMITS_H_
