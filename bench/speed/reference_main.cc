// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// tarsil_reference: tarsil running the reference engine, which reads and
// scores every rule again for each file. A benchmark and test tool only: it
// is built next to tarsil but never installed.
#include "cli/run.h"

int main(int argc, char** argv) {
  return tarsil::run(argc, argv, tarsil::Engine::kReference);
}
