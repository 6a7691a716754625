#include "engine/substitution/pruning.h"

#include <gtest/gtest.h>

#include <random>

#include "core/run_exit.h"
#include "reference/pruning_reference.h"

namespace {
void ScoreAndPrune(DescriptorTable& t, const Matrix& MS, float score) {
  ScoreDescriptors(t, MS, score);
  KeepMarked(t);
}
DescriptorTable table_of(const std::vector<std::pair<std::string, std::string>>& entries) {
  DescriptorTable t;
  for (const auto& [text, cls] : entries) t.add(text, cls);
  return t;
}

std::vector<std::string> texts_of(const DescriptorTable& t) {
  return std::vector<std::string>(t.MLst.begin(), t.MLst.begin() + t.NbMSDD);
}
}  // namespace

TEST(MutationProbability, ExamplesAndUnitLetters) {
  const auto f62 = LetterFactors(BLOSUM62);
  EXPECT_EQ(MutationProbability(f62, "C"), 0.0f);
  EXPECT_FLOAT_EQ(MutationProbability(f62, "A"), 0.2f);
  EXPECT_EQ(MutationProbability(f62, "AAA"), 1.0f - 0.8f * 0.8f * 0.8f);
  EXPECT_FLOAT_EQ(MutationProbability(f62, "W"), 3.0f / 14.0f);
  EXPECT_EQ(MutationProbability(f62, "CGPCGP"), 0.0f);
  EXPECT_NEAR(MutationProbability(f62, "IL"), 0.822222f, 1e-6);
  EXPECT_NEAR(MutationProbability(f62, "VL"), 0.802469f, 1e-6);
  // A letter without a matrix row has factor 1.
  EXPECT_EQ(MutationProbability(f62, "XBZ"), 0.0f);
  EXPECT_EQ(MutationProbability(f62, "AX"), MutationProbability(f62, "A"));
  const auto f30 = LetterFactors(PAM30);
  EXPECT_EQ(MutationProbability(f30, "ARCGKPSTW"), 0.0f);
  EXPECT_GT(MutationProbability(f30, "N"), 0.0f);
  const auto f250 = LetterFactors(PAM250);
  EXPECT_EQ(MutationProbability(f250, "C"), 0.0f);
  EXPECT_GT(MutationProbability(f250, "W"), 0.0f);
}

TEST(Tri, EqualProbabilitiesFollowThePartition) {
  DescriptorTable t = table_of({{"a", "1"}, {"b", "2"}, {"c", "3"}});
  t.CLst = {0.5f, 0.5f, 0.5f};
  Tri(t, 0, 2);
  EXPECT_EQ(texts_of(t), (std::vector<std::string>{"b", "c", "a"}));
  EXPECT_EQ(t.CLst3, (std::vector<std::string>{"2", "3", "1"}));

  DescriptorTable u = table_of({{"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}, {"e", ""}});
  u.CLst = {0.1f, 0.9f, 0.5f, 0.9f, 0.3f};
  Tri(u, 0, 4);
  EXPECT_EQ(u.CLst, (std::vector<float>{0.9f, 0.9f, 0.5f, 0.3f, 0.1f}));
  // The first partition leaves d, b, c, e, a; sorting d, b swaps the two equal values.
  EXPECT_EQ(texts_of(u), (std::vector<std::string>{"b", "d", "c", "e", "a"}));
}

TEST(Tri, LongOrderedGroupDoesNotExhaustTheStack) {
  DescriptorTable t;
  const int n = 20000;
  for (int i = 0; i < n; ++i) {
    t.add(std::to_string(i), "");
    t.CLst[static_cast<size_t>(i)] = static_cast<float>(i) / n;  // ascending: the worst order
  }
  Tri(t, 0, n - 1);
  for (int i = 1; i < n; ++i)
    ASSERT_GE(t.CLst[static_cast<size_t>(i - 1)], t.CLst[static_cast<size_t>(i)]);
  EXPECT_EQ(t.MLst[0], std::to_string(n - 1));
}

TEST(Pruning, SimilarLaterEntryIsRemoved) {
  DescriptorTable t = table_of({{"VL", "v"}, {"IL", "i"}});
  ScoreAndPrune(t, BLOSUM62, 0.5f);
  ASSERT_EQ(t.NbMSDD, 1u);
  EXPECT_EQ(t.MLst[0], "IL");
  EXPECT_EQ(t.CLst3[0], "i");
  EXPECT_NEAR(t.CLst[0], 0.822222f, 1e-6);
}

TEST(Pruning, MarkingKeepsTheFirstSimilarEarlierEntry) {
  DescriptorTable t = table_of({{"CT", "t"}, {"AN", "a"}, {"CN", "n"}});
  ScoreAndPrune(t, BLOSUM62, 0.5f);
  EXPECT_EQ(texts_of(t), (std::vector<std::string>{"AN", "CN"}));
  EXPECT_EQ(t.CLst3, (std::vector<std::string>{"a", "n"}));
  EXPECT_NEAR(t.CLst[0], 0.466667f, 1e-6);
  EXPECT_NEAR(t.CLst[1], 0.333333f, 1e-6);
}

TEST(Pruning, LengthsAreNeverComparedAndUnitDescriptorsStay) {
  DescriptorTable t = table_of({{"ILV", "x"}, {"IL", "y"}, {"C", "c"}, {"G", "g"}});
  ScoreAndPrune(t, BLOSUM62, 0.0f);
  // C and G both have probability 0: the partition of the pair puts G first.
  EXPECT_EQ(texts_of(t), (std::vector<std::string>{"ILV", "IL", "G", "C"}));

  DescriptorTable empty;
  ScoreAndPrune(empty, BLOSUM62, 0.5f);
  EXPECT_EQ(empty.NbMSDD, 0u);
}

TEST(Pruning, RemovalInTheMiddleKeepsEachEntrysOwnValues) {
  // After ordering: IL, VL (similar to IL, removed), then the length-1 block W, A.
  DescriptorTable t = table_of({{"VL", "second"}, {"IL", "first"}, {"A", "ala"}, {"W", "trp"}});
  ScoreAndPrune(t, BLOSUM62, 0.5f);
  ASSERT_EQ(texts_of(t), (std::vector<std::string>{"IL", "W", "A"}));
  EXPECT_EQ(t.CLst3, (std::vector<std::string>{"first", "trp", "ala"}));
  EXPECT_FLOAT_EQ(t.CLst[1], 3.0f / 14.0f);
  EXPECT_FLOAT_EQ(t.CLst[2], 0.2f);
  EXPECT_EQ(t.CLst2, (std::vector<uint8_t>{1, 1, 1}));
}

TEST(Pruning, FillTakesTheListOrderWholeTextsAndClassNames) {
  FamilyTable ft;
  ft.T = "ACDEFGHIKLMNPQRSTVWY";
  const std::vector<std::string> classNames = {"a-very-long-class-name", "second"};
  DDEntry first;
  first.number = 1;
  first.start = 0;
  first.length = 12;
  first.families = {2};
  DDEntry second;
  second.number = 2;
  second.start = 5;
  second.length = 3;
  second.families = {1, 2};
  DiscoveryState ds;
  ds.AllDDs = {first, second};
  ds.NbMot = 2;
  DescriptorTable t;
  FillDescriptorTable(ft, ds, classNames, t);
  ASSERT_EQ(t.NbMSDD, 2u);
  EXPECT_EQ(texts_of(t), (std::vector<std::string>{"GHI", "ACDEFGHIKLMN"}));
  EXPECT_EQ(t.CLst3, (std::vector<std::string>{"a-very-long-class-name", "second"}));
}

TEST(Pruning, TheEngineTakesMoreThanTheConsoleTable) {
  // The console run refuses more than 60000 descriptors before the pruning; the engine does not.
  FamilyTable ft;
  ft.T = "ACD";
  DDEntry dd;
  dd.length = 1;
  dd.families = {1};
  DiscoveryState ds;
  ds.AllDDs.assign(60001, dd);
  DescriptorTable t;
  FillDescriptorTable(ft, ds, {"x"}, t);
  EXPECT_EQ(t.NbMSDD, 60001u);
  EXPECT_EQ(t.CLst3.back(), "x");
}

// The fast pruning against the literal one: same kept entries, same order, same probabilities
// (bit for bit), same class names.
TEST(Pruning, MatchesTheLiteralVersionOnRandomTables) {
  std::mt19937 rng(20261207);
  const std::string letters[] = {"AILVMF", "ACDEGNST", "ARNDCQEGHILKMFPSTWYV", "CGPW", "AILVXB"};
  for (int round = 0; round < 400; ++round) {
    const Matrix& m = *MatrixOfNumber(1 + static_cast<long>(rng() % 6));
    const float scores[] = {0.0f, 0.3f, 0.5f, 0.625f, 0.8f, 1.0f, 0.45f};
    const float score = scores[rng() % 7];
    const std::string& alpha = letters[rng() % 5];
    const int n = static_cast<int>(rng() % 250);
    std::vector<int> lengths(static_cast<size_t>(n));
    for (int& L : lengths) L = 1 + static_cast<int>(rng() % 5);
    // Mostly the discovery's order (never longer after shorter); sometimes any order.
    if (rng() % 4 != 0) std::sort(lengths.rbegin(), lengths.rend());
    std::vector<ReferenceEntry> entries;
    DescriptorTable t;
    for (int i = 0; i < n; ++i) {
      std::string text;
      for (int k = 0; k < lengths[static_cast<size_t>(i)]; ++k) text += alpha[rng() % alpha.size()];
      const std::string cls = "class" + std::to_string(rng() % 7);
      entries.push_back({text, 0.0f, cls});
      t.add(text, cls);
    }
    const auto expected = ReferencePrune(entries, m, score);
    ScoreAndPrune(t, m, score);
    ASSERT_EQ(t.NbMSDD, expected.size()) << "round " << round;
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(t.MLst[i], expected[i].text) << "round " << round << " entry " << i;
      ASSERT_EQ(t.CLst[i], expected[i].probability) << "round " << round << " entry " << i;
      ASSERT_EQ(t.CLst3[i], expected[i].className) << "round " << round << " entry " << i;
    }
  }
}

TEST(Substitute, MatchesTheLiteralTest) {
  std::mt19937 rng(7);
  const std::string alpha = "ARNDCQEGHILKMFPSTWYVX";
  for (int round = 0; round < 20000; ++round) {
    const Matrix& m = *MatrixOfNumber(1 + static_cast<long>(rng() % 6));
    const float score = static_cast<float>(rng() % 11) / 10.0f;
    const size_t n = rng() % 5;
    std::string a, b;
    for (size_t k = 0; k < n; ++k) {
      a += alpha[rng() % (rng() % 8 == 0 ? alpha.size() : alpha.size() - 1)];
      b += alpha[rng() % (rng() % 8 == 0 ? alpha.size() : alpha.size() - 1)];
    }
    ASSERT_EQ(Substitute(m, score, a, b), ReferenceSubstitute(m, score, a, b)) << a << " " << b;
  }
}
