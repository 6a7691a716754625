// Numbers read whole, with their ranges said plainly.
#include "workflow/option_values.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <type_traits>

namespace {
std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

template <class T>
std::string range(const char* what, T min, T max) {
  if (max == std::numeric_limits<T>::max())
    return std::string(what) + " of at least " + std::to_string(min);
  return std::string(what) + " from " + std::to_string(min) + " to " + std::to_string(max);
}

// A whole number in the text: digits, an optional sign first; false when there is anything else
// or it does not fit.
bool whole_number(std::string_view text, bool& negative, uint64_t& magnitude) {
  size_t i = 0;
  negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(text[i] - '0');
    if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / 10) return false;
    magnitude = magnitude * 10 + digit;
  }
  return true;
}

// What is wrong with a text that is no whole number of the type: a number of another form (1.5,
// 1e3) or beyond the type is out of range; anything else is not a number at all.
std::string not_whole(std::string_view text, const std::string& outOfRange);
}  // namespace

std::string plain_number(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

std::string read_real(std::string_view text, double min, double max, double& out) {
  const std::string s(text);
  char* end = nullptr;
  errno = 0;
  const double v = s.empty() || std::isspace(static_cast<unsigned char>(s[0]))
                       ? 0
                       : std::strtod(s.c_str(), &end);
  if (end == nullptr || *end != '\0' || std::isnan(v) || std::isinf(v) || errno == ERANGE)
    return ": " + quoted(text) + " is not a number";
  if (v < min || v > max) {
    const std::string r = max == std::numeric_limits<double>::max()
                              ? "a number of at least " + plain_number(min)
                              : "a number from " + plain_number(min) + " to " + plain_number(max);
    return " must be " + r + ", not " + quoted(text);
  }
  out = v;
  return {};
}

namespace {
// A whole number of type T in [min, max].
template <class T>
std::string read_whole(std::string_view text, T min, T max, T& out) {
  bool negative = false;
  uint64_t m = 0;
  const std::string must =
      " must be " + range("a whole number", min, max) + ", not " + quoted(text);
  if (!whole_number(text, negative, m)) return not_whole(text, must);
  std::optional<T> v;                                    // the value, where T holds it
  constexpr uint64_t kMinMagnitude = uint64_t{1} << 63;  // of INT64_MIN
  if (!negative || m == 0) {
    if (m <= static_cast<uint64_t>(std::numeric_limits<T>::max())) v = static_cast<T>(m);
  } else if constexpr (std::is_signed_v<T>) {
    if (m < kMinMagnitude) v = -static_cast<T>(m);
    if (m == kMinMagnitude) v = std::numeric_limits<T>::min();
  }
  if (!v || *v < min || *v > max) return must;
  out = *v;
  return {};
}
}  // namespace

std::string read_integer(std::string_view text, int64_t min, int64_t max, int64_t& out) {
  return read_whole(text, min, max, out);
}

std::string read_unsigned(std::string_view text, uint64_t min, uint64_t max, uint64_t& out) {
  return read_whole(text, min, max, out);
}

namespace {
std::string not_whole(std::string_view text, const std::string& outOfRange) {
  double ignored = 0;
  const double big = std::numeric_limits<double>::max();
  return read_real(text, -big, big, ignored).empty()
             ? outOfRange
             : ": " + quoted(text) + " is not a whole number";
}
}  // namespace
