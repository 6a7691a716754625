// Ending a run, and the program's own error and warning lines.
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

std::string diagnostic_text(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (b < 0x20 || b == 0x7f) {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

void end_run(int status) { throw RunExit{status}; }

void finish_output() {
  progress::clear();
  std::fflush(stdout);
}
