// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The outcome of an operation that can fail: a code and a message, handed up
// to the command line, which alone decides what is written where and how the
// run ends.
//
// Contract: `Status{}` is success. A failed Status has a code other than kOk
// and a message naming what failed (a path, a value); it carries no stream
// and no exit status. The command line turns codes into texts and streams
// (cli/messages.h). Nothing here allocates beyond the message.
#ifndef TARSIL_CORE_STATUS_H_
#define TARSIL_CORE_STATUS_H_

#include <string>
#include <utility>

namespace tarsil {

enum class StatusCode {
  kOk,
  kCannotRead,          // a file to analyse or a reference text cannot be opened
  kCannotOpenRuleFile,  // a string-rule file cannot be opened
  kRuleDirNotFound,     // no rules root holds the directory named
  kNoWorkingDirectory,  // the working directory cannot be obtained
  kNotAccessible,       // an -r directory is missing
};

struct Status {
  StatusCode code = StatusCode::kOk;
  std::string message{};  // the path or value the failure is about

  bool ok() const { return code == StatusCode::kOk; }
};

inline Status error_status(StatusCode code, std::string message) {
  return Status{.code = code, .message = std::move(message)};
}

}  // namespace tarsil

#endif  // TARSIL_CORE_STATUS_H_
