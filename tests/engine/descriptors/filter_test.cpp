// The discrimination filter and the driver on the worked examples: best family and tied set,
// shares, the window test, retirement from kRetireFrom, order of acceptance and presence.
#include "engine/descriptors/filter.h"

#include <gtest/gtest.h>

#include "console/dd_fixture.h"
#include "engine/descriptors/discovery.h"

namespace {

// The engine on `set` with the thresholds as the console reads them.
std::vector<Descriptor> discover(const FamilySet& set, float alpha, float beta) {
  const DdParts wa = make_dd_parts(set, alpha, beta);
  return discover_descriptors(wa.families, wa.settings.thresholds());
}

const Descriptor* find_descriptor(const std::vector<Descriptor>& found, const std::string& text) {
  for (const Descriptor& dd : found)
    if (dd.text == text) return &dd;
  return nullptr;
}

// Families 1 and 2 of two sequences, family 3 of three; XY is in every sequence of 1 and 2
// (Discovery.TwoTiedFamiliesThroughTheEngine shows what they give).
const FamilySet kTied = {{{"XY", "XY"}, {"XY", "XY"}, {"AB", "AB", "AB"}}, {}};

TEST(Filter, OutOfFamilyShareAboveBetaRejects) {
  // (4 - 2) / (7 - 2) = 0.4 > 0.3: nothing of families 1 and 2 passes.
  const std::vector<Descriptor> found = discover(kTied, 1.0f, 0.3f);
  EXPECT_EQ(find_descriptor(found, "XY"), nullptr);
  EXPECT_EQ(find_descriptor(found, "X"), nullptr);
  ASSERT_NE(find_descriptor(found, "AB"), nullptr);
  for (const Descriptor& dd : found) EXPECT_EQ(dd.families, std::vector<uint32_t>{3});
}

TEST(Filter, OnlyTheSmallestTiedFamiliesFormTheFinalSet) {
  // Counts 2 and 2; sizes 2 and 3: the final set is {1}. Shares 2/2 and (4-2)/(5-2).
  const FamilySet set = {{{"QW", "QW"}, {"QW", "QW", "EE"}}, {}};
  const std::vector<Descriptor> found = discover(set, 1.0f, 0.7f);
  const Descriptor* qw = find_descriptor(found, "QW");
  ASSERT_NE(qw, nullptr);
  EXPECT_EQ(qw->families, std::vector<uint32_t>{1});
  EXPECT_EQ(qw->size, 2u);
  // 2/3 = 0.666..7 > 0.6: rejected with a lower beta.
  EXPECT_EQ(find_descriptor(discover(set, 1.0f, 0.6f), "QW"), nullptr);
}

TEST(Filter, RepeatedWordCountsItsSequenceOnceAndPresenceTwice) {
  const std::vector<Descriptor> found = discover({{{"KAKA", "KC"}, {"CC", "CA"}}, {}}, 0.5f, 0.5f);
  const Descriptor* k = find_descriptor(found, "K");
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(k->count, 2u);
  EXPECT_EQ(k->presence, (std::vector<std::pair<uint32_t, uint32_t>>{{1, 2}, {2, 1}}));
}

TEST(Filter, ShortWordsStayLiveAndLongerOnesAreAcceptedFromTheSameOccurrences) {
  const std::vector<Descriptor> found =
      discover({{{"QRS", "QRS"}, {"ABC", "ABC"}}, {}}, 1.0f, 0.0f);
  using Presence = std::vector<std::pair<uint32_t, uint32_t>>;
  const Presence inFamily1 = {{1, 1}, {2, 1}}, inFamily2 = {{3, 1}, {4, 1}};
  for (const char* text : {"Q", "QR", "QRS", "RS", "A", "AB", "ABC"}) {
    const Descriptor* dd = find_descriptor(found, text);
    ASSERT_NE(dd, nullptr) << text;
    EXPECT_EQ(dd->presence, text[0] == 'A' ? inFamily2 : inFamily1) << text;
  }
  // Order of acceptance: length 1 first, then 2, then 3.
  for (size_t i = 1; i < found.size(); ++i)
    EXPECT_GE(found[i].text.size(), found[i - 1].text.size()) << i;
}

TEST(Filter, FirstOccurrenceOverARetiredPositionIsRejected) {
  // CDE (length 3) is accepted and retired. ABCD then passes both shares, but its first
  // occurrence covers the retired C of sequence 1, while its second one is clear.
  const FamilySet set = {{{"ABCDE", "ABCDF"}, {"ABCG", "BCDHCDF"}}, {}};
  const std::vector<Descriptor> found = discover(set, 0.5f, 0.0f);
  ASSERT_NE(find_descriptor(found, "CDE"), nullptr);
  EXPECT_EQ(find_descriptor(found, "ABCD"), nullptr);

  // Step by step: after the pass at length 3 the occurrence of CDE is retired and, one cycle
  // later, its left neighbour B is dead while A still grows into ABCD.
  const DdParts step = make_dd_parts(set, 0.5f, 0.0f);
  const DescriptorSettings thresholds = step.settings.thresholds();
  DiscoveryState ds;
  RepeatClasses rc;
  FilterScratch fs;
  Initialize(step.families, ds, rc);
  PrepareFilter(step.families, fs);
  Filter(step.families, thresholds, ds, rc, fs);
  for (uint32_t length = 2; length <= kRetireFrom; ++length) {
    Construct(step.families, ds, rc);
    ++ds.wordLength;
    Filter(step.families, thresholds, ds, rc, fs);
  }
  EXPECT_EQ(rc.V[2], 0);
  Construct(step.families, ds, rc);
  ++ds.wordLength;
  EXPECT_LT(rc.V[1], 0);
  EXPECT_GT(rc.V[0], 0);
  EXPECT_EQ(rc.V[0], rc.V[5]);  // ABCD in both sequences of family 1
}

TEST(Filter, ZeroAlphaAndFullBetaAcceptWhatTheWindowAllows) {
  // Every class is accepted: at lengths 1 and 2 nothing is retired, at length 3 the first
  // occurrences are clear, and after that nothing is live any more.
  std::vector<std::string> texts;
  for (const Descriptor& dd : discover({{{"ABC"}, {"ABD"}}, {}}, 0.0f, 1.0f))
    texts.push_back(dd.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"A", "B", "C", "D", "AB", "BC", "BD", "ABC", "ABD"}));
}

// The engine as the workflow drives it: sequences in any order, grouped by index lists, and
// only the typed parts. Families 1 and 2 tie on X, Y and XY; family 3 alone holds A, B and AB.
TEST(Discovery, TwoTiedFamiliesThroughTheEngine) {
  const std::vector<std::string> sequences = {"AB", "XY", "AB", "XY", "XY", "AB", "XY"};
  const std::vector<std::vector<uint32_t>> groups = {{1, 3}, {4, 6}, {0, 2, 5}};
  const FamilyTable ft = build_family_table(views_of(sequences), groups);
  EXPECT_EQ(ft.text, "XYXYXYXYABABAB");
  // Out-of-family share of the tied words: (4 - 2) / (7 - 2) = 0.4.
  const DescriptorSettings s{1.0, 0.5};
  const std::vector<Descriptor> found = discover_descriptors(views_of(sequences), groups, s);

  // Length 1 in class order (X, Y, A, B by first appearance), then length 2 by partner class.
  std::vector<std::string> lines;
  for (const Descriptor& dd : found) {
    std::string line = dd.text + " in";
    for (uint32_t f : dd.families) line += " " + std::to_string(f);
    line += " " + std::to_string(dd.count) + "/" + std::to_string(dd.size) + " at";
    for (auto [seq, count] : dd.presence)
      line += " " + std::to_string(seq) + "x" + std::to_string(count);
    lines.push_back(line);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "X in 1 2 2/2 at 1x1 2x1 3x1 4x1", "Y in 1 2 2/2 at 1x1 2x1 3x1 4x1",
                       "A in 3 3/3 at 5x1 6x1 7x1", "B in 3 3/3 at 5x1 6x1 7x1",
                       "XY in 1 2 2/2 at 1x1 2x1 3x1 4x1", "AB in 3 3/3 at 5x1 6x1 7x1"}));

  // Without the records: the same descriptors, no presence.
  const std::vector<Descriptor> bare =
      discover_descriptors(ft, s, DiscoveryRecords::DescriptorsOnly);
  ASSERT_EQ(bare.size(), found.size());
  for (size_t i = 0; i < bare.size(); ++i) {
    EXPECT_EQ(bare[i].text, found[i].text);
    EXPECT_EQ(bare[i].families, found[i].families);
    EXPECT_TRUE(bare[i].presence.empty());
  }
}

TEST(Discovery, ShortTextsStillRunOneCycle) {
  // One report after every filter pass: the first numbering and one cycle, although the longest
  // sequence has one residue.
  const DdParts wa = make_dd_parts({{{"A"}, {"B"}}, {}}, 1.0f, 0.0f);
  std::vector<std::pair<uint64_t, uint64_t>> reports;  // (word length, descriptors found)
  const std::vector<Descriptor> found =
      discover_descriptors(wa.families, wa.settings.thresholds(), DiscoveryRecords::All,
                           [&](const Progress& p) { reports.emplace_back(p.done, p.found); });
  EXPECT_EQ(found.size(), 2u);
  EXPECT_EQ(reports, (std::vector<std::pair<uint64_t, uint64_t>>{{1, 2}, {2, 2}}));

  EXPECT_TRUE(discover({{{""}, {""}}}, 0.0f, 1.0f).empty());
}

}  // namespace
