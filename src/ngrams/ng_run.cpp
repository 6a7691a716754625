// The ng run is not built yet: starting it must not pretend to work.
#include "core/approaches.h"
#include "core/run_exit.h"

int mainNGrams(WorkArea&, const std::string&, const std::string&, const std::string&, int) {
  fail(1, "the ng approach is not available yet");
}
