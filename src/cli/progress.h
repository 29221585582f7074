// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The progress line: one line on standard error, rewritten in place, for a
// person watching a long scan on a terminal.
//
// Contract:
// - `progress_start` turns the line on when standard error is a terminal and
//   standard output is not that same terminal (records scrolling by are
//   progress enough, and would be torn by the line); otherwise every other
//   call does nothing.
// - `progress_file` counts one scanned file. From one second after the
//   start, at most five times a second, it rewrites the line:
//   "tarsil: <files> files, <rate> files/s, <directory>", the directory
//   being that of `path` ("." for a bare name); control bytes are shown as
//   "?", and the directory is shortened from the left ("...") so that the
//   line fits the terminal's width without wrapping.
// - `progress_erase` blanks the line and puts the cursor back at its start;
//   the next progress_file draws it again. Everything that writes to
//   standard error calls it first, so no message is torn by the line.
// The line is drawn with a carriage return and blanks only (no terminal
// escapes). Only the one thread that writes the run's output calls these.
#ifndef TARSIL_CLI_PROGRESS_H_
#define TARSIL_CLI_PROGRESS_H_

#include <string_view>

namespace tarsil {

// Decides whether the line is shown and starts its clock; never fails.
void progress_start();

// Counts one file and redraws the line when it is due; never fails.
void progress_file(std::string_view path);

// Blanks the line if it is shown; never fails.
void progress_erase();

}  // namespace tarsil

#endif  // TARSIL_CLI_PROGRESS_H_
