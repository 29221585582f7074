// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "cli/messages.h"

#include <cstring>

namespace tarsil {

const char kMissingPath[] = "ERROR: Missing path. Maybe you can use some --help\n";
const char kInvalidTarget[] =
    "ERROR: You must specify a valid file or directory.\n"
    "       Please check the built in --help\n";
const char kListAndOperands[] = "ERROR: --files-from takes no path argument\n";

Message status_message(const Status& status) {
  const std::string& m = status.message;
  switch (status.code) {
    case StatusCode::kCannotRead:
      return {"ERROR: Cannot read " + m + "\n", Stream::kStdout};
    case StatusCode::kCannotOpenRuleFile:
      return {"ERROR: Cannot open " + m + " during string detection\n", Stream::kStderr};
    case StatusCode::kRuleDirNotFound:
      return {"ERROR: Rule dir: " + m + " not found\n", Stream::kStderr};
    case StatusCode::kNoWorkingDirectory:
      return {"ERROR: CWD not obtained\n", Stream::kStderr};
    case StatusCode::kNotAccessible:
      return {"Error: " + m + " not accessible\n", Stream::kStdout};
    case StatusCode::kOk:
      break;
  }
  return {"", Stream::kStderr};
}

Message integer_error(char option, const std::string& value) {
  return {"Error: -" + std::string(1, option) + " requires integer (got: " + value + ")\n",
          Stream::kStdout};
}

std::string path_message(const std::string& path, int err) {
  std::string reason = std::strerror(err);
  if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z') reason[0] += 'a' - 'A';
  return "tarsil: " + path + ": " + reason + "\n";
}

std::string license_folder_message(const std::string& licensedir) {
  return "Can't open license folder: " + licensedir + "\n";
}

std::string nul_entries_message(const std::string& list) {
  return "tarsil: " + list + ": entries hold NUL bytes: use --null\n";
}

}  // namespace tarsil
