// The progress line of the engines' long steps, drawn the same way by the console runs and the
// workflow commands (on standard error, only on a terminal).
#pragma once
#include "core/progress_fn.h"

namespace progress {

// Shows every report as "STEP: DONE of TOTAL UNIT, FOUND found" ("of TOTAL" when the total is
// known, ", FOUND found" when there are results; the step alone when it counts nothing).
ProgressFn engine();

}  // namespace progress
