// The occurrence test of the motif search: the edit distance from a framed pattern ("*", the
// motif, "*"; a '*' matches any run of sequence characters at no cost) to a sequence, and the
// console spinner that moves on once every 101 tests (the console run counts the tests).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

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

// The smallest number of substitutions, insertions and deletions that turn the non-'*'
// characters of `pattern` into a substring of `sequence`, each '*' standing for any run of
// sequence characters. Bytes compare exactly (case-sensitive). Neither text is changed; a
// pattern of any length is handled (the row grows with it).
int64_t match(std::string_view pattern, std::string_view sequence);
