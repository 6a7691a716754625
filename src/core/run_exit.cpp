// Ending a run, and the program's own error and warning lines.
#include "core/run_exit.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "core/progress.h"

namespace {
thread_local LastError lastError;
std::atomic<bool> quietErrors{false};

void diagnostic(const char* kind, const char* fmt, va_list ap) {
  progress::clear();
  std::fflush(stdout);
  std::fputs(kind, stderr);
  std::vfprintf(stderr, fmt, ap);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}
// An error line: kept as this thread's last error, and written unless errors are quiet.
void error_line(bool system, int err, const char* fmt, va_list ap) {
  va_list copy;
  va_copy(copy, ap);
  const int size = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  lastError.message.assign(static_cast<size_t>(std::max(size, 0)) + 1, '\0');
  va_copy(copy, ap);
  std::vsnprintf(lastError.message.data(), lastError.message.size(), fmt, copy);
  va_end(copy);
  lastError.message.pop_back();
  lastError.system = system;
  lastError.err = err;
  if (!quietErrors.load(std::memory_order_relaxed)) diagnostic("error: ", fmt, ap);
}
}  // namespace

void fail(int status, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  error_line(false, 0, fmt, ap);
  va_end(ap);
  throw RunExit{status};
}

void fail_system(int err, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  error_line(true, err, fmt, ap);
  va_end(ap);
  throw RunExit{1};
}

void report_error(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  error_line(false, 0, fmt, ap);
  va_end(ap);
}

const LastError& last_error() { return lastError; }

void keep_errors_quiet() { quietErrors.store(true, std::memory_order_relaxed); }

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
