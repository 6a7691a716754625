// Ending a run early. A run never calls exit(): it throws RunExit, which main turns into the
// exit status after the open files have been flushed. Diagnostics that the program's own texts
// do not define go to standard error as one line "error: ...".
#pragma once
#include <string>

struct RunExit {
  int status;
};

// Writes "error: <message>\n" to standard error (printf format) and ends the run with status.
[[noreturn]] void fail(int status, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// Ends the run with status, printing nothing.
[[noreturn]] void end_run(int status);
