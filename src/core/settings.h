// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The run settings: one value, built by the command line and passed down to
// every layer that needs it.
//
// Contract: `RunSettings` holds what the options chose; nothing in it
// changes once the run has started. `default_run_settings` returns the
// values a run starts from. Depends on nothing but the standard library.
#ifndef TARSIL_CORE_SETTINGS_H_
#define TARSIL_CORE_SETTINGS_H_

#include <cstdint>
#include <string>

namespace tarsil {

inline constexpr uint32_t SETTING_DEBUG = 0x1;      // first -d: log level 1
inline constexpr uint32_t SETTING_VERBOSE = 0x2;    // second -d: log level 2
inline constexpr uint32_t SETTING_PRETTY = 0x4;     // -p: indented records
inline constexpr uint32_t SETTING_COPYRIGHT = 0x8;  // -y: copyright scan

struct RunSettings {
  uint32_t setting = 0;
  float threshold = 80;
  int32_t minwords = 2;
  int32_t minbytes = 20;
  std::string licensedir;  // empty until resolved
  std::string stringdir;   // empty until resolved
  int jobs = 1;            // files analysed at once (--jobs)
  // --spdx-expressions: tags are read as license expressions (spdx.h). Kept
  // apart from `setting`, whose value the banner shows.
  bool spdx_expressions = false;
};

// Returns the defaults (threshold 80, minwords 2, minbytes 20, no bits, no
// directories, one job, default tag reading); never fails.
RunSettings default_run_settings();

}  // namespace tarsil

#endif  // TARSIL_CORE_SETTINGS_H_
