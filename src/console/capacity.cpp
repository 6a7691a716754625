// The refusal of what exceeds a console capacity.
#include "console/capacity.h"

#include "core/run_exit.h"

void check_capacity(const char* what, long found, long limit) {
  if (found > limit) fail(1, "too many %s: %ld found, the limit is %ld", what, found, limit);
}
