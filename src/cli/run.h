// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// One run of tarsil, from the argument vector to the exit status: the driver,
// the only place that writes results and, with main, ends the process.
//
// Contract: `run` checks for a path argument, reads the options, resolves
// the rule directories (strings first), logs the banner, loads the rule set
// once, and hands the work out: the target (a regular file is analysed, a
// directory walked), or each path of the --files-from list in list order.
// Files are read and analysed by `jobs` workers (one: in the calling
// thread); the one writer writes each file's log lines and output in the
// order a serial run produces them, through the run's formatter
// (output/formatter.h), so the output does not depend on the number of
// workers. The first run-ending error in that order is written after
// exactly the output before it, and the run ends with status 1 at once. A
// listed path that is neither file nor directory gives "tarsil: <path>:
// <reason>\n" on standard error in its place, and status 2 at the end; so
// does, with --keep-going, a file that cannot be opened (else it ends the
// run). An unreadable rule file ends the run in either case. A file the walk
// found but that was removed since is passed over. A failed write to
// standard output ends the run at once: by SIGPIPE when the reader has gone,
// else with "ERROR: Cannot write output: <reason>" and status 1. Walks leave
// out the --exclude entries (fs/walk.h). The writer counts every file that
// got a result (tally.h): at the end of a complete run, the --summary table
// and the gate's line go to standard error, and `run` returns 3 when the
// gate refused a file, else 2 after a notice, else 0. A progress line may be
// shown meanwhile (progress.h). Failures before the work starts return 1
// with their message (messages.h). Log lines and messages bound for
// standard output go to standard error with any format but records.
#ifndef TARSIL_CLI_RUN_H_
#define TARSIL_CLI_RUN_H_

#include "rules/rule_set.h"

namespace tarsil {

// Returns the exit status of a run on `engine` (the reference engine is the
// tests' and benchmarks' yardstick).
int run(int argc, char** argv, Engine engine = Engine::kFast);

}  // namespace tarsil

#endif  // TARSIL_CLI_RUN_H_
