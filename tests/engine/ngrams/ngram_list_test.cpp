#include "engine/ngrams/ngram_list.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/run_exit.h"

namespace {
NgramList build_list(const std::vector<std::string>& sequences, int n,
                     NgramIndexing indexing = NgramIndexing::Auto) {
  return BuildNgramList(views_of(sequences), n, indexing);
}
std::vector<std::string> texts_of(const NgramList& l) {
  std::vector<std::string> out;
  for (int32_t k = 0; k < l.Nbvar(); ++k) out.emplace_back(l.text(static_cast<uint32_t>(k)));
  return out;
}

// The distinct n-grams of a sequence, in order of first occurrence.
std::vector<uint32_t> present_in(const NgramList& l, const std::string& seq) {
  std::vector<uint32_t> numbers, distinct;
  l.window_numbers(seq, numbers);
  for (uint32_t k : numbers)
    if (std::find(distinct.begin(), distinct.end(), k) == distinct.end()) distinct.push_back(k);
  return distinct;
}

using V = std::vector<uint32_t>;
using S = std::vector<std::string>;
}  // namespace

TEST(NgramList, OneSequenceListsEachNgramOnceInOrderOfFirstOccurrence) {
  NgramList l = build_list({"ABCAB"}, 3);
  EXPECT_EQ(texts_of(l), (S{"ABC", "BCA", "CAB"}));
  EXPECT_EQ(l.count, (V{1, 1, 1}));
  EXPECT_EQ(l.pos, (V{0, 1, 2}));
  EXPECT_EQ(l.seqcount, (V{1, 1, 1}));
  EXPECT_EQ(l.cells, 3);

  NgramList a = build_list({"AAAA"}, 3);
  EXPECT_EQ(texts_of(a), (S{"AAA"}));
  EXPECT_EQ(a.count, (V{2}));
  EXPECT_EQ(a.pos, (V{0}));
  EXPECT_EQ(a.cells, 1);
}

TEST(NgramList, DuplicatesAcrossSequencesKeepTheFirstCell) {
  NgramList l = build_list({"ABCD", "BCDE"}, 3);
  EXPECT_EQ(l.cells, 4);
  EXPECT_EQ(l.Nbvar(), 3);
  EXPECT_EQ(texts_of(l), (S{"ABC", "BCD", "CDE"}));
  EXPECT_EQ(l.seqcount, (V{1, 2, 1}));
  EXPECT_EQ(present_in(l, "ABCD"), (V{0, 1}));
  EXPECT_EQ(present_in(l, "BCDE"), (V{1, 2}));
  // Windows are numbered in position order, repeats included; unknown n-grams are left out.
  std::vector<uint32_t> numbers;
  l.window_numbers("CDEBCDEQ", numbers);
  EXPECT_EQ(numbers, (V{2, 1, 2}));
  // The surviving cell keeps the count and position of the first sequence holding it.
  NgramList r = build_list({"XXABCABC", "ABCABCABC", "ZABC"}, 3);
  const auto names = texts_of(r);
  const size_t abc =
      static_cast<size_t>(std::find(names.begin(), names.end(), "ABC") - names.begin());
  ASSERT_LT(abc, names.size());
  EXPECT_EQ(r.count[abc], 2u);
  EXPECT_EQ(r.pos[abc], 2u);
  EXPECT_EQ(r.seqcount[abc], 3u);
}

TEST(NgramList, ShortAndEmptySequencesGiveNothingAndHideNothing) {
  EXPECT_EQ(build_list({"ABC"}, 3).Nbvar(), 1);
  EXPECT_EQ(build_list({"AB"}, 3).Nbvar(), 0);
  // A first sequence without any n-gram does not end the list: later sequences still count.
  NgramList l = build_list({"", "AB", "QRST", "X", "RSTU"}, 3);
  EXPECT_EQ(texts_of(l), (S{"QRS", "RST", "STU"}));
  EXPECT_EQ(l.cells, 4);
  ASSERT_EQ(l.sequences, 5u);
  EXPECT_TRUE(present_in(l, "").empty());
  EXPECT_TRUE(present_in(l, "X").empty());
  EXPECT_EQ(present_in(l, "RSTU"), (V{1, 2}));
  NgramList none = build_list({"", "A", "BC"}, 3);
  EXPECT_EQ(none.Nbvar(), 0);
  EXPECT_EQ(none.cells, 0);
  EXPECT_EQ(none.sequences, 3u);
}

TEST(NgramList, BytesAreComparedExactly) {
  for (NgramIndexing how : {NgramIndexing::Auto, NgramIndexing::Hashed}) {
    NgramList l = build_list({"abcABC", "ABc1\r*", "\xff\x80\x01\xff\x80\x01"}, 3, how);
    EXPECT_EQ(texts_of(l), (S{"abc", "bcA", "cAB", "ABC", "ABc", "Bc1", "c1\r", "1\r*",
                              "\xff\x80\x01", "\x80\x01\xff", "\x01\xff\x80"}));
  }
  // A window holding a line feed is no n-gram; a text ends at its first NUL.
  NgramList lf = build_list({"AB\nCDE\n\nFGH", std::string("IJK\0LMN", 7)}, 3);
  EXPECT_EQ(texts_of(lf), (S{"CDE", "FGH", "IJK"}));
}

TEST(NgramList, OtherLengthsAndTheirLimits) {
  EXPECT_EQ(texts_of(build_list({"ABAB"}, 1)), (S{"A", "B"}));
  const std::string longText = "ABCDEFGHIJKLMNOPQ";  // 17 residues
  NgramList l = build_list({longText, longText.substr(1)}, 15);
  EXPECT_EQ(texts_of(l),
            (S{longText.substr(0, 15), longText.substr(1, 15), longText.substr(2, 15)}));
  EXPECT_EQ(l.seqcount, (V{1, 2, 2}));
  // The engine takes any length from 1; the console run keeps its limit of 15.
  EXPECT_THROW(build_list({"ABC"}, 0), std::invalid_argument);
  EXPECT_EQ(texts_of(build_list({longText}, 17)), (S{longText}));
}
