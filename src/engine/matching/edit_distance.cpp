// The edit distance with one dynamic-programming row.
#include "engine/matching/edit_distance.h"

#include <algorithm>
#include <vector>

int64_t match(std::string_view pattern, std::string_view sequence) {
  const size_t m = pattern.size();
  // Values never exceed m + n, so a wider cell than the old 16 bits keeps long inputs exact.
  thread_local std::vector<int64_t> R;
  R.assign(m + 1, 0);
  for (size_t i = 1; i <= m; ++i) R[i] = R[i - 1] + (pattern[i - 1] == '*' ? 0 : 1);
  for (size_t j = 1; j <= sequence.size(); ++j) {
    const char s = sequence[j - 1];
    int64_t diag = R[0];
    R[0] = static_cast<int64_t>(j);
    for (size_t i = 0; i < m; ++i) {
      const char p = pattern[i];
      const int64_t cost = p == '*' ? 0 : 1;
      const int64_t sub = (p == '*' || p == s) ? 0 : 1;
      const int64_t up = R[i + 1];
      R[i + 1] = std::min({diag + sub, up + cost, R[i] + cost});
      diag = up;
    }
  }
  return R[m];
}

uint64_t count_within(std::string_view motif, std::string_view sequence, int64_t distance) {
  // R[i]: the least distance from the first i characters of the motif to a substring ending at
  // the current position (any start: R[0] is 0 at every position). The cells are match's, a '*'
  // in the motif included, so that a count above 0 is exactly match's occurrence.
  const size_t m = motif.size();
  thread_local std::vector<int64_t> R;
  R.assign(m + 1, 0);
  for (size_t i = 1; i <= m; ++i) R[i] = R[i - 1] + (motif[i - 1] == '*' ? 0 : 1);
  uint64_t count = 0;
  for (const char s : sequence) {
    int64_t diag = R[0];
    for (size_t i = 0; i < m; ++i) {
      const char p = motif[i];
      const int64_t cost = p == '*' ? 0 : 1;
      const int64_t sub = (p == '*' || p == s) ? 0 : 1;
      const int64_t up = R[i + 1];
      R[i + 1] = std::min({diag + sub, up + cost, R[i] + cost});
      diag = up;
    }
    if (R[m] <= distance) ++count;
  }
  return count;
}
