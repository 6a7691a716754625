// The printf-style formatting of the program's texts.
#include "core/text_format.h"

#include <cstdio>
#include <vector>

namespace {
// Rewrites "%\t" and "%\n" as "%%\t" and "%%\n" so that vsnprintf prints them unchanged.
std::string normalize(const char* fmt) {
  std::string out;
  for (const char* c = fmt; *c; ++c) {
    if (*c == '%' && c[1] == '%') {
      out += "%%";
      ++c;
    } else if (*c == '%' && (c[1] == '\t' || c[1] == '\n')) {
      out += "%%";
    } else {
      out += *c;
    }
  }
  return out;
}
}  // namespace

std::string vformat_text(const char* fmt, va_list ap) {
  std::string f = normalize(fmt);
  va_list copy;
  va_copy(copy, ap);
  char small[512];
  int n = std::vsnprintf(small, sizeof small, f.c_str(), copy);
  va_end(copy);
  if (n < 0) return {};
  if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
  std::vector<char> big(static_cast<size_t>(n) + 1);
  std::vsnprintf(big.data(), big.size(), f.c_str(), ap);
  return std::string(big.data(), static_cast<size_t>(n));
}

std::string format_text(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string s = vformat_text(fmt, ap);
  va_end(ap);
  return s;
}
