// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// tarsil: license detection on one file or a directory tree.
#include "cli/run.h"

int main(int argc, char** argv) {
  return tarsil::run(argc, argv);
}
