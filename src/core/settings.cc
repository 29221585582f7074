// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "core/settings.h"

#include <cstdlib>

namespace tarsil {

RunSettings default_run_settings() {
  // The defaults come from their decimal texts, as the help text shows them.
  RunSettings settings;
  settings.threshold = static_cast<float>(std::atoi("80"));
  settings.minwords = std::atoi("2");
  settings.minbytes = std::atoi("20");
  return settings;
}

}  // namespace tarsil
