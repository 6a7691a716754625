// The ma run is not built yet: starting it must not pretend to work.
#include "core/approaches.h"
#include "core/run_exit.h"

void Discover(WorkArea&, const std::string&, const std::string&, const std::string&) {
  fail(1, "the ma approach is not available yet");
}
