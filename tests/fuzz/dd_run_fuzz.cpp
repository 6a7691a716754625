// Whole dd runs on generated inputs (see whole_run_fuzz.h).
#include "fuzz/whole_run_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzz_whole_run(FuzzApproach::Dd, data, size);
}
