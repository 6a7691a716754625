#include "core/run_exit.h"

#include <cstdarg>
#include <cstdio>

#include "core/progress.h"

namespace {
void diagnostic(const char* kind, const char* fmt, va_list ap) {
  progress::clear();
  std::fflush(stdout);
  std::fputs(kind, stderr);
  std::vfprintf(stderr, fmt, ap);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}
}  // namespace

void fail(int status, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  diagnostic("error: ", fmt, ap);
  va_end(ap);
  throw RunExit{status};
}

void report_error(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  diagnostic("error: ", fmt, ap);
  va_end(ap);
}

void warn(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  diagnostic("warning: ", fmt, ap);
  va_end(ap);
}

void end_run(int status) { throw RunExit{status}; }
