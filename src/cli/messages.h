// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Every text the command line writes besides results and log lines, and the
// stream each belongs on: the one place they are worded.
//
// Contract: each function returns the whole text, newline included. A
// Message's stream is where the records format writes it; with any other
// format, texts bound for standard output go to standard error instead
// (standard output then holds the format's own text alone).
#ifndef TARSIL_CLI_MESSAGES_H_
#define TARSIL_CLI_MESSAGES_H_

#include <string>

#include "core/status.h"

namespace tarsil {

enum class Stream { kStdout, kStderr };

struct Message {
  std::string text{};
  Stream stream = Stream::kStderr;
};

// The message of a failed Status:
//   kCannotRead          "ERROR: Cannot read <path>"                       stdout
//   kCannotOpenRuleFile  "ERROR: Cannot open <path> during string detection" stderr
//   kRuleDirNotFound     "ERROR: Rule dir: <name> not found"               stderr
//   kNoWorkingDirectory  "ERROR: CWD not obtained"                         stderr
//   kNotAccessible       "Error: <path> not accessible"                    stdout
Message status_message(const Status& status);

// "Error: -<c> requires integer (got: <value>)", standard output.
Message integer_error(char option, const std::string& value);

// "tarsil: <path>: <reason>", the reason being errno `err` in lower case.
std::string path_message(const std::string& path, int err);

// "Can't open license folder: <dir>", in place of a file's record.
std::string license_folder_message(const std::string& licensedir);

// "tarsil: <list>: entries hold NUL bytes: use --null".
std::string nul_entries_message(const std::string& list);

extern const char kMissingPath[];      // no argument at all
extern const char kInvalidTarget[];    // the one target is neither file nor directory
extern const char kListAndOperands[];  // --files-from with a path operand

}  // namespace tarsil

#endif  // TARSIL_CLI_MESSAGES_H_
