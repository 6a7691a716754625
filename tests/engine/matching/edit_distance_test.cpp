// The occurrence test: distances of framed motifs.
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
