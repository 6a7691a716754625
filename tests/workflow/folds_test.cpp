// Folds are the same for a seed on every platform (the generator's published values) and
// stratified whatever the classes' sizes.
#include "workflow/folds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

TEST(Folds, SeededStratifiedAndTheSameOnEveryPlatform) {
  SplitMix64 g(0);
  EXPECT_EQ(g.next(), 0xE220A8397B1DCDAFull);
  EXPECT_EQ(g.next(), 0x6E789E6AA1B965F4ull);
  EXPECT_EQ(g.next(), 0x06C45D188009454Full);
  for (int i = 0; i < 1000; ++i) EXPECT_LT(g.below(7), 7u);

  // Each class spreads over the folds as evenly as its size allows, and so do all of them
  // together: fold sizes differ by one at most.
  std::mt19937 rng(1);
  for (uint64_t round = 0; round < 50; ++round) {
    const size_t classes = 1 + rng() % 6;
    std::vector<uint32_t> cls(2 + rng() % 200);
    for (uint32_t& c : cls) c = static_cast<uint32_t>(rng() % classes);
    const uint32_t k = 2 + static_cast<uint32_t>(rng() % std::min<size_t>(cls.size() - 1, 9));
    const std::vector<uint32_t> fold = assign_folds(cls, classes, k, round);
    EXPECT_EQ(fold, assign_folds(cls, classes, k, round));
    std::vector<std::vector<int>> count(classes + 1, std::vector<int>(k, 0));  // last: all
    for (size_t i = 0; i < cls.size(); ++i) {
      ASSERT_LT(fold[i], k);
      ++count[cls[i]][fold[i]];
      ++count[classes][fold[i]];
    }
    for (const auto& c : count)
      EXPECT_LE(*std::max_element(c.begin(), c.end()) - *std::min_element(c.begin(), c.end()), 1);
  }
}
