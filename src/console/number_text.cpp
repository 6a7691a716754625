// Numbers read from the start of a text.
#include "console/number_text.h"

#include <cerrno>
#include <cstdlib>

double text_to_double(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

long text_to_long(const std::string& text) {
  errno = 0;
  return std::strtol(text.c_str(), nullptr, 10);
}
