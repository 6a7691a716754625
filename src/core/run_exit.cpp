#include "core/run_exit.h"

#include <cstdarg>
#include <cstdio>

void fail(int status, const char* fmt, ...) {
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
