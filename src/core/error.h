// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The run-ending error: a value carrying its exact message and its stream,
// written by the driver alone.
//
// Contract: `message` is the whole text to write, newline included; `stream`
// says where it goes. A piece of work that meets one stops there: what it
// produced before (its log lines) is written first, then the message, and
// nothing after it.
#ifndef TARSIL_CORE_ERROR_H_
#define TARSIL_CORE_ERROR_H_

#include <string>

namespace tarsil {

enum class Stream { kStdout, kStderr };

struct RunError {
  std::string message;
  Stream stream = Stream::kStdout;
};

}  // namespace tarsil

#endif  // TARSIL_CORE_ERROR_H_
