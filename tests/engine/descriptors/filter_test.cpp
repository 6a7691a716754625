// The discrimination filter and the driver on the worked examples: best family and tied set,
// shares, the window test, retirement from FilterAt, numbering and presence.
#include "engine/descriptors/filter.h"

#include <gtest/gtest.h>

#include "console/dd_fixture.h"
#include "engine/descriptors/discovery.h"

namespace {

const DDEntry* find_descriptor(const DdParts& wa, const std::string& text) {
  for (const DDEntry& dd : wa.discovery.AllDDs)
    if (DescriptorText(wa.families, dd) == text) return &dd;
  return nullptr;
}

// Families 1 and 2 of two sequences, family 3 of three; XY is in every sequence of 1 and 2
// (Discriminate.TwoTiedFamiliesThroughTheEngine shows what they give).
const FamilySet kTied = {{{"XY", "XY"}, {"XY", "XY"}, {"AB", "AB", "AB"}}, {}};

TEST(Filter, OutOfFamilyShareAboveBetaRejects) {
  // (4 - 2) / (7 - 2) = 0.4 > 0.3: nothing of families 1 and 2 passes.
  DdParts wa = make_dd_parts(kTied, 1.0f, 0.3f);
  Discriminate(wa.families, wa.settings, wa.discovery);
  EXPECT_EQ(find_descriptor(wa, "XY"), nullptr);
  EXPECT_EQ(find_descriptor(wa, "X"), nullptr);
  ASSERT_NE(find_descriptor(wa, "AB"), nullptr);
  for (const DDEntry& dd : wa.discovery.AllDDs) EXPECT_EQ(dd.families, std::vector<uint32_t>{3});
}

TEST(Filter, OnlyTheSmallestTiedFamiliesFormTheFinalSet) {
  // Counts 2 and 2; sizes 2 and 3: the final set is {1}. Shares 2/2 and (4-2)/(5-2).
  DdParts wa = make_dd_parts({{{"QW", "QW"}, {"QW", "QW", "EE"}}, {}}, 1.0f, 0.7f);
  Discriminate(wa.families, wa.settings, wa.discovery);
  const DDEntry* qw = find_descriptor(wa, "QW");
  ASSERT_NE(qw, nullptr);
  EXPECT_EQ(qw->families, std::vector<uint32_t>{1});
  EXPECT_EQ(qw->familySize, 2);
  // 2/3 = 0.666..7 > 0.6: rejected with a lower BETA.
  DdParts strict = make_dd_parts({{{"QW", "QW"}, {"QW", "QW", "EE"}}, {}}, 1.0f, 0.6f);
  Discriminate(strict.families, strict.settings, strict.discovery);
  EXPECT_EQ(find_descriptor(strict, "QW"), nullptr);
}

TEST(Filter, RepeatedWordCountsItsSequenceOnceAndPresenceTwice) {
  DdParts wa = make_dd_parts({{{"KAKA", "KC"}, {"CC", "CA"}}, {}}, 0.5f, 0.5f);
  Discriminate(wa.families, wa.settings, wa.discovery);
  const DDEntry* k = find_descriptor(wa, "K");
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(k->familyCount, 2);
  EXPECT_EQ(k->presence, (std::vector<std::pair<uint32_t, uint32_t>>{{1, 2}, {2, 1}}));
}

TEST(Filter, ShortWordsStayLiveAndLongerOnesAreAcceptedFromTheSameStart) {
  DdParts wa = make_dd_parts({{{"QRS", "QRS"}, {"ABC", "ABC"}}, {}}, 1.0f, 0.0f);
  Discriminate(wa.families, wa.settings, wa.discovery);
  for (const char* text : {"Q", "QR", "QRS", "RS", "A", "AB", "ABC"}) {
    const DDEntry* dd = find_descriptor(wa, text);
    ASSERT_NE(dd, nullptr) << text;
    EXPECT_EQ(dd->start, text[0] == 'A' ? 6 : text[0] == 'Q' ? 0 : 1) << text;
  }
  // Numbering follows acceptance: length 1 first, then 2, then 3.
  for (size_t i = 0; i < wa.discovery.AllDDs.size(); ++i) {
    EXPECT_EQ(wa.discovery.AllDDs[i].number, i + 1);
    if (i > 0) {
      EXPECT_GE(wa.discovery.AllDDs[i].length, wa.discovery.AllDDs[i - 1].length);
    }
  }
  EXPECT_EQ(wa.discovery.NbMot, wa.discovery.AllDDs.size());
}

TEST(Filter, FirstOccurrenceOverARetiredPositionIsRejected) {
  // CDE (length 3) is accepted and retired. ABCD then passes both shares, but its first
  // occurrence covers the retired C of sequence 1, while its second one is clear.
  const FamilySet set = {{{"ABCDE", "ABCDF"}, {"ABCG", "BCDHCDF"}}, {}};
  DdParts wa = make_dd_parts(set, 0.5f, 0.0f);
  Discriminate(wa.families, wa.settings, wa.discovery);
  ASSERT_NE(find_descriptor(wa, "CDE"), nullptr);
  EXPECT_EQ(find_descriptor(wa, "ABCD"), nullptr);

  // Step by step: after the pass at length 3 the occurrence of CDE is retired and, one cycle
  // later, its left neighbour B is dead while A still grows into ABCD.
  DdParts step = make_dd_parts(set, 0.5f, 0.0f);
  RepeatClasses rc;
  FilterScratch fs;
  Initialize(step.families, step.discovery, rc);
  PrepareFilter(step.families, fs);
  Filter(step.families, step.settings, step.discovery, rc, fs);
  for (int length = 2; length <= 3; ++length) {
    Construct(step.families, step.discovery, rc);
    ++step.discovery.LongMot;
    Filter(step.families, step.settings, step.discovery, rc, fs);
  }
  EXPECT_EQ(rc.V[2], 0);
  Construct(step.families, step.discovery, rc);
  ++step.discovery.LongMot;
  EXPECT_LT(rc.V[1], 0);
  EXPECT_GT(rc.V[0], 0);
  EXPECT_EQ(rc.V[0], rc.V[5]);  // ABCD in both sequences of family 1
}

TEST(Filter, ZeroAlphaAndFullBetaAcceptWhatTheWindowAllows) {
  // Every class is accepted: at lengths 1 and 2 nothing is retired, at length 3 the first
  // occurrences are clear, and after that nothing is live any more.
  DdParts wa = make_dd_parts({{{"ABC"}, {"ABD"}}, {}}, 0.0f, 1.0f);
  Discriminate(wa.families, wa.settings, wa.discovery);
  std::vector<std::string> texts;
  for (const DDEntry& dd : wa.discovery.AllDDs) texts.emplace_back(DescriptorText(wa.families, dd));
  EXPECT_EQ(texts, (std::vector<std::string>{"A", "B", "C", "D", "AB", "BC", "BD", "ABC", "ABD"}));
}

// The engine as the workflow drives it: sequences in any order, grouped by index lists, and
// only the typed parts. Families 1 and 2 tie on X, Y and XY; family 3 alone holds A, B and AB.
TEST(Discriminate, TwoTiedFamiliesThroughTheEngine) {
  const std::vector<std::string> sequences = {"AB", "XY", "AB", "XY", "XY", "AB", "XY"};
  const std::vector<std::vector<uint32_t>> groups = {{1, 3}, {4, 6}, {0, 2, 5}};
  FamilyTable ft;
  FillTable(views_of(sequences), groups, ft);
  EXPECT_EQ(ft.T, "XYXYXYXYABABAB");
  Settings s;
  s.ALPHA = 1.0f;
  s.BETA = 0.5f;  // out-of-family share of the tied words: (4 - 2) / (7 - 2) = 0.4
  DiscoveryState ds;
  Discriminate(ft, s, ds);

  // Length 1 in class order (X, Y, A, B by first appearance), then length 2 by partner class.
  std::vector<std::string> found;
  for (const DDEntry& dd : ds.AllDDs) {
    std::string line =
        std::to_string(dd.number) + " " + std::string(DescriptorText(ft, dd)) + " in";
    for (uint32_t f : dd.families) line += " " + std::to_string(f);
    line += " " + std::to_string(dd.familyCount) + "/" + std::to_string(dd.familySize) + " at";
    for (auto [seq, count] : dd.presence)
      line += " " + std::to_string(seq) + "x" + std::to_string(count);
    found.push_back(line);
  }
  EXPECT_EQ(found, (std::vector<std::string>{
                       "1 X in 1 2 2/2 at 1x1 2x1 3x1 4x1", "2 Y in 1 2 2/2 at 1x1 2x1 3x1 4x1",
                       "3 A in 3 3/3 at 5x1 6x1 7x1", "4 B in 3 3/3 at 5x1 6x1 7x1",
                       "5 XY in 1 2 2/2 at 1x1 2x1 3x1 4x1", "6 AB in 3 3/3 at 5x1 6x1 7x1"}));
  EXPECT_EQ(ds.NbMot, 6u);
}

TEST(Discriminate, ShortTextsStillRunOneCycle) {
  DdParts wa = make_dd_parts({{{"A"}, {"B"}}, {}}, 1.0f, 0.0f);
  Discriminate(wa.families, wa.settings, wa.discovery);
  EXPECT_EQ(wa.discovery.LongMot, 2u);  // the loop body ran once although Longueur is 1
  EXPECT_EQ(wa.discovery.NbMot, 2u);

  DdParts empty = make_dd_parts({{{""}, {""}}}, 0.0f, 1.0f);
  Discriminate(empty.families, empty.settings, empty.discovery);
  EXPECT_EQ(empty.discovery.NbMot, 0u);
}

TEST(Discriminate, ClearsTheResultsOfAnEarlierDiscovery) {
  DdParts wa = make_dd_parts(kTied, 1.0f, 0.5f);
  Discriminate(wa.families, wa.settings, wa.discovery);
  const std::string first = dump_results(wa);
  Discriminate(wa.families, wa.settings, wa.discovery);
  EXPECT_EQ(dump_results(wa), first);
}

}  // namespace
