// The edit distance with one dynamic-programming row.
#include "engine/matching/edit_distance.h"

#include <algorithm>
#include <vector>

namespace {
// The distance table of `pattern` against `sequence`, one column per character of the sequence:
// R[i] is the least distance from the first i characters of the pattern ('*' matching any run,
// at no cost) to the sequence up to the current character, from its start, or, with `anyStart`,
// from anywhere (R[0] stays 0). `column(R[m])` hears after each character; returns the last
// R[m]. Values never exceed m + n, so a wider cell than the old 16 bits keeps long inputs exact.
template <class Column>
int64_t sweep(std::string_view pattern, std::string_view sequence, bool anyStart, Column&& column) {
  const size_t m = pattern.size();
  thread_local std::vector<int64_t> R;
  R.assign(m + 1, 0);
  for (size_t i = 1; i <= m; ++i) R[i] = R[i - 1] + (pattern[i - 1] == '*' ? 0 : 1);
  for (size_t j = 1; j <= sequence.size(); ++j) {
    const char s = sequence[j - 1];
    int64_t diag = R[0];
    if (!anyStart) R[0] = static_cast<int64_t>(j);
    for (size_t i = 0; i < m; ++i) {
      const char p = pattern[i];
      const int64_t cost = p == '*' ? 0 : 1;
      const int64_t sub = (p == '*' || p == s) ? 0 : 1;
      const int64_t up = R[i + 1];
      R[i + 1] = std::min({diag + sub, up + cost, R[i] + cost});
      diag = up;
    }
    column(R[m]);
  }
  return R[m];
}
}  // namespace

int64_t match(std::string_view pattern, std::string_view sequence) {
  return sweep(pattern, sequence, false, [](int64_t) {});
}

uint64_t count_within(std::string_view motif, std::string_view sequence, int64_t distance) {
  // Every end position within the distance of the motif, from any start; the cells are match's,
  // a '*' in the motif included, so that a count above 0 is exactly match's occurrence.
  uint64_t count = 0;
  sweep(motif, sequence, true, [&](int64_t d) { count += d <= distance ? 1 : 0; });
  return count;
}
