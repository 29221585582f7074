// tarsil: license detection on one file or a directory tree.
#include "cli/run.h"

int main(int argc, char** argv) {
  return tarsil::run(argc, argv);
}
