// The suffix array of joined sequences against plain sorting: the order of the suffixes, the
// common prefixes cut at sequence ends, the sequence of each position, in both widths; the
// separator when a sequence holds a NUL byte, and the refusal when every byte value occurs.
#include "motifs/suffix_array.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>

namespace {
template <class Index>
void expect_plain(const std::vector<std::string>& seqs) {
  const std::vector<std::string_view> views(seqs.begin(), seqs.end());
  const SuffixArray<Index> sa(views, true);
  const std::string& t = sa.text();
  ASSERT_EQ(sa.sequences(), seqs.size());
  for (size_t s = 0; s < seqs.size(); ++s) ASSERT_EQ(sa.sequence(static_cast<Index>(s)), seqs[s]);
  // Plain: every suffix sorted by unsigned bytes; the prefix shared within one sequence.
  std::vector<size_t> order(t.size());
  for (size_t p = 0; p < order.size(); ++p) order[p] = p;
  const auto bytes = [&](size_t p) {
    return std::basic_string_view<unsigned char>(
        reinterpret_cast<const unsigned char*>(t.data()) + p, t.size() - p);
  };
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return bytes(a) < bytes(b); });
  for (size_t i = 0; i < order.size(); ++i) {
    ASSERT_EQ(sa.at(static_cast<Index>(i)), order[i]) << i;
    const size_t s = sa.sequence_of(static_cast<Index>(order[i]));
    ASSERT_GE(order[i], sa.start_of(static_cast<Index>(s)));
    ASSERT_LE(order[i], sa.end_of(static_cast<Index>(s)));
    size_t h = 0;
    if (i > 0) {
      const size_t a = order[i - 1], b = order[i];
      const size_t endA = sa.end_of(sa.sequence_of(static_cast<Index>(a)));
      const size_t endB = sa.end_of(static_cast<Index>(s));
      while (a + h < endA && b + h < endB && t[a + h] == t[b + h]) ++h;
    }
    ASSERT_EQ(sa.lcp(static_cast<Index>(i)), h) << i;
  }
}
}  // namespace

TEST(SuffixArray, SameAsPlainSortingInBothWidths) {
  std::mt19937 rng(3);
  for (int round = 0; round < 60; ++round) {
    std::vector<std::string> seqs(rng() % 12);
    const char first = round % 4 == 0 ? '\0' : 'A';  // NUL bytes move the separator elsewhere
    for (auto& s : seqs)
      for (size_t i = rng() % 20; i > 0; --i)
        s += static_cast<char>(first + static_cast<char>(rng() % 3));
    SCOPED_TRACE(round);
    expect_plain<uint32_t>(seqs);
    expect_plain<uint64_t>(seqs);
  }
}

TEST(SuffixArray, RefusesSequencesThatHoldEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string_view bytes(all);
  const std::vector<std::string_view> views{bytes.substr(0, 128), bytes.substr(128)};
  EXPECT_THROW(SuffixArray<uint32_t>(views, true), std::invalid_argument);
  const std::vector<std::string_view> most{bytes.substr(1)};
  EXPECT_NO_THROW(SuffixArray<uint32_t>(most, true));
}
