// The ddsm run is not built yet: starting it must not pretend to work.
#include "core/approaches.h"
#include "core/run_exit.h"

void DDMS(WorkArea&, const std::string&, const std::string&, const std::string&) {
  fail(1, "the ddsm approach is not available yet");
}
