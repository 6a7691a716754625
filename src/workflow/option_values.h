// The values of options, on a command line or in a features file: the whole text is the number
// (no trailing text, no NaN or infinity, nothing beyond the type), and it lies in its range. Each
// reader returns an empty text, or the problem in words after the option's name:
// `: "0,5" is not a number`, ` must be a number from 0 to 1, not "2"`.
#pragma once
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

// A number as settings and messages show it: printf's %g (0.5, 1e+06).
std::string plain_number(double v);

std::string read_real(std::string_view text, double min, double max, double& out);
std::string read_integer(std::string_view text, int64_t min, int64_t max, int64_t& out);
std::string read_unsigned(std::string_view text, uint64_t min, uint64_t max, uint64_t& out);
// A choice among names, compared exactly.
template <class Names>
std::string read_choice(std::string_view text, const Names& names, std::string& out) {
  std::string list;
  for (std::string_view n : names) {
    if (n == text) {
      out = std::string(n);
      return {};
    }
    list += (list.empty() ? "" : ", ") + std::string(n);
  }
  return ": \"" + std::string(text) + "\" is not one of " + list;
}
