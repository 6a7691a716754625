#include "core/progress.h"

#include <unistd.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>

namespace progress {
namespace {
bool shown = false;
std::chrono::steady_clock::time_point last{};
}  // namespace

bool enabled() {
  static const bool on = isatty(STDERR_FILENO) == 1;
  return on;
}

void show(const char* fmt, ...) {
  if (!enabled()) return;
  auto now = std::chrono::steady_clock::now();
  if (shown && now - last < std::chrono::milliseconds(100)) return;
  last = now;
  char line[160];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(line, sizeof line, fmt, ap);
  va_end(ap);
  std::fprintf(stderr, "\r\033[K%s", line);
  std::fflush(stderr);
  shown = true;
}

void clear() {
  if (!shown) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  shown = false;
}

}  // namespace progress
