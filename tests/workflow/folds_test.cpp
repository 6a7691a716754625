// Folds are the same for a seed on every platform: the generator's published values, and a
// stratified deal whatever the classes' sizes.
#include "workflow/folds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

TEST(Folds, SplitMix64GivesItsPublishedSequence) {
  SplitMix64 g(0);
  EXPECT_EQ(g.next(), 0xE220A8397B1DCDAFull);
  EXPECT_EQ(g.next(), 0x6E789E6AA1B965F4ull);
  EXPECT_EQ(g.next(), 0x06C45D188009454Full);
  SplitMix64 b(42);
  for (int i = 0; i < 1000; ++i) EXPECT_LT(b.below(7), 7u);
}

TEST(Folds, EachClassSpreadsEvenlyAndFoldSizesDifferByOneAtMost) {
  std::mt19937 rng(1);
  for (uint64_t round = 0; round < 50; ++round) {
    const size_t classes = 1 + rng() % 6;
    std::vector<uint32_t> cls(2 + rng() % 200);
    for (uint32_t& c : cls) c = static_cast<uint32_t>(rng() % classes);
    const uint32_t k = 2 + static_cast<uint32_t>(rng() % std::min<size_t>(cls.size() - 1, 9));
    const std::vector<uint32_t> fold = assign_folds(cls, classes, k, round);
    EXPECT_EQ(fold, assign_folds(cls, classes, k, round));
    std::vector<std::vector<int>> count(classes, std::vector<int>(k, 0));
    std::vector<int> size(k, 0);
    for (size_t i = 0; i < cls.size(); ++i) {
      ASSERT_LT(fold[i], k);
      ++count[cls[i]][fold[i]];
      ++size[fold[i]];
    }
    for (const auto& c : count)
      EXPECT_LE(*std::max_element(c.begin(), c.end()) - *std::min_element(c.begin(), c.end()), 1);
    EXPECT_LE(
        *std::max_element(size.begin(), size.end()) - *std::min_element(size.begin(), size.end()),
        1);
  }
  // Another seed deals other folds.
  std::vector<uint32_t> cls(100, 0);
  EXPECT_NE(assign_folds(cls, 1, 5, 1), assign_folds(cls, 1, 5, 2));
}
