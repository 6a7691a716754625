// The one place that refuses what exceeds a capacity: a line on standard error naming the limit
// and the count found, then exit status 1, before any context is written.
#pragma once

// Refuses (exit 1) when found > limit; `what` names the counted things ("sequences", ...).
void check_capacity(const char* what, long found, long limit);
