// The suffix array refuses sequences that leave no byte value free to separate them (its order
// and common prefixes are proven through the motif search against the literal search).
#include "engine/motifs/suffix_array.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

TEST(SuffixArray, RefusesSequencesThatHoldEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string_view bytes(all);
  const std::vector<std::string_view> views{bytes.substr(0, 128), bytes.substr(128)};
  EXPECT_THROW(SuffixArray<uint32_t>(views, true), std::invalid_argument);
  const std::vector<std::string_view> most{bytes.substr(1)};
  EXPECT_NO_THROW(SuffixArray<uint32_t>(most, true));
}

// Sorted to a depth: the ranks are those of a plain stable sort of the positions by their first
// characters (the separator and all after it lowest), each rank keeps its sequence, and each
// common prefix stops at the depth and at the later suffix's separator. Two letters make each
// bucket large enough to be split by its highest digit before the rest is sorted in cache.
TEST(SuffixArray, SortedToADepthMatchesAPlainSortOfThePrefixes) {
  std::mt19937 rng(7);
  std::vector<std::string> seqs(200);
  for (auto& s : seqs)
    for (size_t i = 0, n = 500 + rng() % 1000; i < n; ++i) s += "AC"[rng() % 2];
  std::vector<std::string_view> views(seqs.begin(), seqs.end());
  const SuffixArray<uint32_t> sa(views, true, {}, 12);
  ASSERT_EQ(sa.sorted_depth(), 12u);

  const std::string& t = sa.text();
  std::vector<std::string> key(t.size());
  for (size_t p = 0; p < t.size(); ++p) {
    key[p] = t.substr(p, 12);
    key[p].resize(std::min(key[p].find('\0'), size_t{12}));
  }
  std::vector<uint32_t> ref(t.size());
  std::iota(ref.begin(), ref.end(), 0u);
  std::stable_sort(ref.begin(), ref.end(), [&](uint32_t a, uint32_t b) { return key[a] < key[b]; });
  for (uint32_t i = 0; i < sa.size(); ++i) {
    ASSERT_EQ(sa.at(i), ref[i]) << "rank " << i;
    ASSERT_EQ(sa.sequence_at(i), sa.sequence_of(ref[i])) << "rank " << i;
    const std::string& b = key[ref[i]];
    const std::string& a = i ? key[ref[i - 1]] : b;
    size_t common = 0;
    while (i && common < b.size() && common < a.size() && a[common] == b[common]) ++common;
    ASSERT_EQ(sa.lcp(i), common) << "rank " << i;
  }
}
