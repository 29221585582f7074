// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// tarsil_completion: writes the bash completion script, made from the option
// table, to the file named by its argument. A build tool only: the build runs
// it, and installs what it writes.
#include <cstdio>

#include "cli/flags.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: tarsil_completion OUTPUT\n", stderr);
    return 2;
  }
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const std::string script = tarsil::bash_completion();
  const bool written = std::fwrite(script.data(), 1, script.size(), out) == script.size();
  return std::fclose(out) == 0 && written ? 0 : 1;
}
