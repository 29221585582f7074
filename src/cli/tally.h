// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The run's tally: what the writer has seen, the counts --summary shows, and
// the texts both write at the end of a run.
//
// Contract:
// - `count_file` counts one file that got a result: with a verdict
//   (`expression` and its license text) or without one; the gate (gate.h)
//   judges it; with `per_license` its verdict is counted by its text.
// - The run fails the gate (exit status 3) when some file was refused;
//   gate_message then gives its one line for standard error.
// Nothing here writes or ends the process.
#ifndef TARSIL_CLI_TALLY_H_
#define TARSIL_CLI_TALLY_H_

#include <cstddef>
#include <map>
#include <string>

#include "analysis/gate.h"

namespace tarsil {

struct Tally {
  std::map<std::string, std::size_t> per_license;  // filled only when asked for
  std::size_t files = 0;                           // files with a result
  std::size_t no_answer = 0;                       // of which without a verdict
  std::size_t refused = 0;                         // verdicts the gate refused
  std::size_t refused_unknown = 0;                 // no-answer files, with --fail-on-unknown
};

// Counts one file; `expression` null: it has no verdict. Never fails.
void count_file(const LicenseGate& gate, const Expression* expression, const std::string& license,
                bool per_license, Tally* tally);

inline bool gate_failed(const Tally& tally) {
  return tally.refused + tally.refused_unknown > 0;
}

// Returns the one line for standard error of a run that failed the gate:
// "tarsil: N file(s) with a disallowed license\n", "tarsil: N file(s) with
// no license found\n", or both counts as "tarsil: N file(s) with a
// disallowed license, M with no license found\n"; empty when none failed.
std::string gate_message(const Tally& tally);

// Returns the --summary table: one line per license ("%*zu  <license>"),
// by count descending then name, then "no license found", "files" and
// "seconds" (two decimals) lines, numbers right-aligned in one column.
std::string summary_table(const Tally& tally, double seconds);

}  // namespace tarsil

#endif  // TARSIL_CLI_TALLY_H_
