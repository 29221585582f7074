// tarsil_reference: tarsil running the reference engine, which reads and
// scores every rule again for each file. A benchmark and test tool only: it
// is built next to tarsil but never installed.
#include "analysis/identify.h"
#include "cli/run.h"

int main(int argc, char** argv) {
  tarsil::set_engine(tarsil::Engine::kReference);
  return tarsil::run(argc, argv);
}
