// The discovery driver: first numbering, then one extension cycle and one filter pass per
// residue until the words reach the longest sequence or no live class is left.
#include "descriptors/discovery.h"

#include "core/progress.h"
#include "core/run_exit.h"
#include "descriptors/filter.h"
#include "descriptors/repeat_classes.h"

namespace {
constexpr const char* kStart = "\ndeb Discriminate";
constexpr const char* kDiscovering = "discovery: words of length %u, %u live classes, %u descriptors";
}

void Discriminate(WorkArea& wa) {
  wa.con.print(kStart);
  // Classes are built one residue at a time; other steps would leave positions that the
  // extension never visits with stale class numbers.
  if (wa.Step != 1) fail(1, "the descriptor discovery works only with step 1 (step %d given)", wa.Step);
  wa.LongMot = 1;
  DeleteResults(wa);
  DeleteDDs(wa);

  RepeatClasses rc;
  FilterScratch fs;
  Initialize(wa, rc);
  PrepareFilter(wa, fs);
  Filter(wa, rc, fs);
  progress::show(kDiscovering, wa.LongMot, wa.NbrClasses, wa.NbMot);
  do {
    Construct(wa, rc);
    ++wa.LongMot;
    Filter(wa, rc, fs);
    progress::show(kDiscovering, wa.LongMot, wa.NbrClasses, wa.NbMot);
  } while (wa.LongMot < wa.Longueur && wa.NbrClasses != 0);
  progress::clear();
}
