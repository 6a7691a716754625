// The spinner of the motif search on the console: it moves on once every 101 occurrence tests
// (the console run counts the tests the plain search would make).
#pragma once
#include <cstdint>
#include <string>

// The spinner: a call counter and the index K into its four characters. It moves on at the
// 101st test and then every 101 tests, printing "%c\b" (first shown character: backslash).
class Spinner {
 public:
  static constexpr char A[4] = {'-', '\\', '|', '/'};

  // Counts `calls` tests at once; the characters of every move are appended to `out`.
  void advance(uint64_t calls, std::string& out);
  char current() const { return A[K]; }
  uint8_t K = 0;
  int16_t counter = 0;
};
