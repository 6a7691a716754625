#include "engine/substitution/pruning.h"

#include <gtest/gtest.h>

#include <random>

#include "reference/pruning_reference.h"

namespace {
using Entries = std::vector<std::pair<std::string, uint32_t>>;  // (text, family) in list order

std::vector<ScoredDescriptor> list_of(const Entries& entries) {
  std::vector<ScoredDescriptor> list;
  for (const auto& [text, family] : entries) {
    ScoredDescriptor d;
    d.text = text;
    d.family = family;
    list.push_back(std::move(d));
  }
  return list;
}

std::vector<ScoredDescriptor> prune(const Entries& entries, const Matrix& MS, double score) {
  return keep_marked(score_list(list_of(entries), {&MS, score}));
}

// One field of every entry, in list order.
template <class T>
std::vector<T> column(const std::vector<ScoredDescriptor>& list, T ScoredDescriptor::*field) {
  std::vector<T> values;
  for (const ScoredDescriptor& d : list) values.push_back(d.*field);
  return values;
}
std::vector<std::string> texts_of(const std::vector<ScoredDescriptor>& list) {
  return column(list, &ScoredDescriptor::text);
}
std::vector<uint32_t> families_of(const std::vector<ScoredDescriptor>& list) {
  return column(list, &ScoredDescriptor::family);
}

void set_probabilities(std::vector<ScoredDescriptor>& list, const std::vector<float>& p) {
  for (size_t i = 0; i < p.size(); ++i) list[i].probability = p[i];
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

TEST(SortByProbability, EqualProbabilitiesFollowThePartition) {
  std::vector<ScoredDescriptor> t = list_of({{"a", 1}, {"b", 2}, {"c", 3}});
  set_probabilities(t, {0.5f, 0.5f, 0.5f});
  sort_by_probability(t, 0, 2);
  EXPECT_EQ(texts_of(t), (std::vector<std::string>{"b", "c", "a"}));
  EXPECT_EQ(families_of(t), (std::vector<uint32_t>{2, 3, 1}));

  std::vector<ScoredDescriptor> u = list_of({{"a", 0}, {"b", 0}, {"c", 0}, {"d", 0}, {"e", 0}});
  set_probabilities(u, {0.1f, 0.9f, 0.5f, 0.9f, 0.3f});
  sort_by_probability(u, 0, 4);
  EXPECT_EQ(column(u, &ScoredDescriptor::probability),
            (std::vector<float>{0.9f, 0.9f, 0.5f, 0.3f, 0.1f}));
  // The first partition leaves d, b, c, e, a; sorting d, b swaps the two equal values.
  EXPECT_EQ(texts_of(u), (std::vector<std::string>{"b", "d", "c", "e", "a"}));
}

TEST(SortByProbability, LongOrderedGroupDoesNotExhaustTheStack) {
  std::vector<ScoredDescriptor> t;
  const int n = 20000;
  for (int i = 0; i < n; ++i) {
    ScoredDescriptor d;
    d.text = std::to_string(i);
    d.probability = static_cast<float>(i) / n;  // ascending: the worst order
    t.push_back(std::move(d));
  }
  sort_by_probability(t, 0, n - 1);
  for (size_t i = 1; i < t.size(); ++i) ASSERT_GE(t[i - 1].probability, t[i].probability);
  EXPECT_EQ(t[0].text, std::to_string(n - 1));
}

TEST(Pruning, SimilarLaterEntryIsRemoved) {
  const auto kept = prune({{"VL", 2}, {"IL", 1}}, BLOSUM62, 0.5);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].text, "IL");
  EXPECT_EQ(kept[0].family, 1u);
  EXPECT_NEAR(kept[0].probability, 0.822222f, 1e-6);
}

TEST(Pruning, MarkingKeepsTheFirstSimilarEarlierEntry) {
  const auto kept = prune({{"CT", 3}, {"AN", 1}, {"CN", 2}}, BLOSUM62, 0.5);
  EXPECT_EQ(texts_of(kept), (std::vector<std::string>{"AN", "CN"}));
  EXPECT_EQ(families_of(kept), (std::vector<uint32_t>{1, 2}));
  EXPECT_NEAR(kept[0].probability, 0.466667f, 1e-6);
  EXPECT_NEAR(kept[1].probability, 0.333333f, 1e-6);
}

TEST(Pruning, LengthsAreNeverComparedAndUnitDescriptorsStay) {
  // C and G both have probability 0: the partition of the pair puts G first.
  EXPECT_EQ(texts_of(prune({{"ILV", 1}, {"IL", 2}, {"C", 3}, {"G", 4}}, BLOSUM62, 0.0)),
            (std::vector<std::string>{"ILV", "IL", "G", "C"}));
  EXPECT_TRUE(prune({}, BLOSUM62, 0.5).empty());
}

TEST(Pruning, TheScoredListKeepsEveryEntryWithItsMark) {
  // After ordering: IL, VL (similar to IL, not kept), then the length-1 block W, A.
  const ScoredList scored =
      score_list(list_of({{"VL", 2}, {"IL", 1}, {"A", 3}, {"W", 4}}), {&BLOSUM62, 0.5});
  EXPECT_EQ(texts_of(scored.descriptors), (std::vector<std::string>{"IL", "VL", "W", "A"}));
  EXPECT_EQ(scored.kept, (std::vector<uint8_t>{1, 0, 1, 1}));
  // Removal in the middle keeps each entry's own values.
  const auto kept = keep_marked(scored);
  ASSERT_EQ(texts_of(kept), (std::vector<std::string>{"IL", "W", "A"}));
  EXPECT_EQ(families_of(kept), (std::vector<uint32_t>{1, 4, 3}));
  EXPECT_FLOAT_EQ(kept[1].probability, 3.0f / 14.0f);
  EXPECT_FLOAT_EQ(kept[2].probability, 0.2f);
}

TEST(Pruning, TheListReadsTheDiscoveryFromTheMostRecentDescriptor) {
  Descriptor first;
  first.text = "ACDEFGHIKLMN";
  first.families = {2};
  first.count = 3;
  first.size = 4;
  Descriptor second;
  second.text = "GHI";
  second.families = {1, 2};
  second.count = 5;
  second.size = 6;
  const std::vector<ScoredDescriptor> list = list_descriptors({first, second});
  EXPECT_EQ(texts_of(list), (std::vector<std::string>{"GHI", "ACDEFGHIKLMN"}));
  EXPECT_EQ(families_of(list), (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(list[0].count, 5u);
  EXPECT_EQ(list[0].size, 6u);
  EXPECT_EQ(list[1].count, 3u);
  EXPECT_EQ(list[1].size, 4u);
  // The console run refuses more than 60000 descriptors before the pruning; the engine does not.
  EXPECT_EQ(list_descriptors(std::vector<Descriptor>(60001, first)).size(), 60001u);
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
    Entries list;
    for (int i = 0; i < n; ++i) {
      std::string text;
      for (int k = 0; k < lengths[static_cast<size_t>(i)]; ++k) text += alpha[rng() % alpha.size()];
      const auto family = static_cast<uint32_t>(rng() % 7);
      entries.push_back({text, 0.0f, "class" + std::to_string(family)});
      list.emplace_back(text, family);
    }
    const auto expected = ReferencePrune(entries, m, score);
    const auto kept = prune(list, m, score);
    ASSERT_EQ(kept.size(), expected.size()) << "round " << round;
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(kept[i].text, expected[i].text) << "round " << round << " entry " << i;
      ASSERT_EQ(kept[i].probability, expected[i].probability)
          << "round " << round << " entry " << i;
      ASSERT_EQ("class" + std::to_string(kept[i].family), expected[i].className)
          << "round " << round << " entry " << i;
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
