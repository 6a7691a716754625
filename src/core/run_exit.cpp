#include "core/run_exit.h"

#include <cstdarg>
#include <cstdio>

#include "core/progress.h"

void fail(int status, const char* fmt, ...) {
  progress::clear();
  std::fflush(stdout);
  std::fputs("error: ", stderr);
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(stderr, fmt, ap);
  va_end(ap);
  std::fputc('\n', stderr);
  std::fflush(stderr);
  throw RunExit{status};
}

void end_run(int status) { throw RunExit{status}; }
