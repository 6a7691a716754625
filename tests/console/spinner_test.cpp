// The spinner's moves.
#include "console/spinner.h"

#include <gtest/gtest.h>

#include <random>

TEST(Spinner, MovesAtThe101stCallThenEvery101) {
  Spinner sp;
  std::string out;
  for (int call = 1; call <= 100; ++call) sp.advance(1, out);
  EXPECT_EQ(out, "");
  sp.advance(1, out);
  EXPECT_EQ(out, "\\\b");
  for (int call = 102; call <= 202; ++call) sp.advance(1, out);
  EXPECT_EQ(out, "\\\b|\b");
  for (int call = 203; call <= 404; ++call) sp.advance(1, out);
  EXPECT_EQ(out, "\\\b|\b/\b-\b");
  EXPECT_EQ(sp.current(), '-');
}

TEST(Spinner, BatchesEqualSingleCalls) {
  std::mt19937 rng(3);
  Spinner one, batch;
  std::string a, b;
  for (int round = 0; round < 300; ++round) {
    uint64_t n = rng() % 450;
    for (uint64_t i = 0; i < n; ++i) one.advance(1, a);
    batch.advance(n, b);
    ASSERT_EQ(a, b);
    ASSERT_EQ(one.counter, batch.counter);
    ASSERT_EQ(one.K, batch.K);
  }
}
