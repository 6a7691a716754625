// The occurrence test: distances of framed motifs; and the occurrences within a distance, counted
// where they end.
#include "engine/matching/edit_distance.h"

#include <gtest/gtest.h>

#include <random>

namespace {
int64_t dist(const std::string& pattern, const std::string& seq) { return match(pattern, seq); }
}  // namespace

TEST(Match, DistancesOfTheExamples) {
  EXPECT_EQ(dist("*ABC*", ""), 3);
  EXPECT_EQ(dist("**", ""), 0);
  EXPECT_EQ(dist("**", "QWERTY"), 0);
  EXPECT_EQ(dist("*ABC*", "ABC"), 0);
  EXPECT_EQ(dist("*ABC*", "XXABCYY"), 0);
  EXPECT_EQ(dist("*ABC*", "ABXC"), 1);
  EXPECT_EQ(dist("*ABC*", "AXC"), 1);
  EXPECT_EQ(dist("*ABC*", "AC"), 1);
  EXPECT_EQ(dist("*ABC*", "abc"), 3);
  EXPECT_EQ(dist("*ABCD*", "XAYCZ"), 2);
  // Without frames the whole sequence must be matched.
  EXPECT_EQ(dist("ABC", "XABC"), 1);
}

TEST(Match, ZeroExactlyWhenTheMotifOccurs) {
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    std::string seq, motif;
    int n = static_cast<int>(rng() % 12), m = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < n; ++i) seq += static_cast<char>('A' + rng() % 3);
    for (int i = 0; i < m; ++i) motif += static_cast<char>('A' + rng() % 3);
    const bool occurs = seq.find(motif) != std::string::npos;
    EXPECT_EQ(dist("*" + motif + "*", seq) == 0, occurs) << motif << " in " << seq;
  }
}

// count_within is above 0 exactly when match finds the motif within the distance, and with
// distance 0 it is the number of exact occurrences.
TEST(Match, CountWithinAgreesWithMatchAndExactCounts) {
  std::mt19937 rng(8);
  EXPECT_EQ(count_within("ABA", "ABABA", 0), 2u);
  EXPECT_EQ(count_within("ABC", "XABXCY", 1), 3u);  // "AB", "ABX", "ABXC": ends at B, X, C
  for (int round = 0; round < 3000; ++round) {
    std::string seq, motif;
    const int n = static_cast<int>(rng() % 20), m = 1 + static_cast<int>(rng() % 5);
    for (int i = 0; i < n; ++i) seq += static_cast<char>('A' + rng() % 3);
    for (int i = 0; i < m; ++i) motif += static_cast<char>('A' + rng() % 3);
    const int64_t d = static_cast<int64_t>(rng() % static_cast<unsigned>(m));
    EXPECT_EQ(count_within(motif, seq, d) > 0, dist("*" + motif + "*", seq) <= d)
        << motif << " in " << seq << " within " << d;
    uint64_t exact = 0;
    for (size_t p = 0; p + motif.size() <= seq.size(); ++p)
      exact += seq.compare(p, motif.size(), motif) == 0;
    EXPECT_EQ(count_within(motif, seq, 0), exact) << motif << " in " << seq;
  }
}
