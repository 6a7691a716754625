// Progress of long work on standard error, only when standard error is a terminal: one line
// redrawn in place and erased when the work ends. When standard error is redirected nothing is
// printed; standard output is never touched.
#pragma once

namespace progress {

// Whether progress is shown (standard error is a terminal); decided once.
bool enabled();

// Redraws the progress line (printf format). Redraws at most every 100 ms, so it may be
// called for every item of a long loop.
void show(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Erases the progress line, if one is shown.
void clear();

}  // namespace progress
