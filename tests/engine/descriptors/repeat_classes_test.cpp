// The first numbering and the extension cycle on the worked examples.
#include "engine/descriptors/repeat_classes.h"

#include <gtest/gtest.h>

#include "console/dd_fixture.h"
#include "reference/literal_discovery.h"

namespace {

TEST(RepeatClasses, AbcbExampleNumbersPartnerClassFirstThenLargerOldClass) {
  const DdParts wa = make_dd_parts({{{"ABCB"}, {}}}, 0, 0);
  DiscoveryState ds;
  RepeatClasses rc;
  Initialize(wa.families, ds, rc);
  EXPECT_EQ(rc.V, (std::vector<int32_t>{1, 2, 3, 2}));
  EXPECT_EQ(ds.liveClasses, 3u);
  EXPECT_EQ(ds.wordLength, 1u);
  // Grouped by class, ascending inside a class.
  RepeatClasses grouped = rc;
  DiscoveryState groupedState = ds;
  GroupByClass(wa.families, groupedState, grouped);
  EXPECT_EQ(grouped.order, (std::vector<int32_t>{0, 1, 3, 2}));
  EXPECT_EQ(grouped.classStart, (std::vector<uint32_t>{0, 1, 3, 4}));

  // CB = 1 and AB = 2 (same partner B, the larger old class first), BC = 3; the last B dies.
  // The sweep in order and the grouped cycle agree.
  Construct(wa.families, ds, rc);
  Construct(wa.families, groupedState, grouped);
  for (const RepeatClasses* layout : {&rc, &grouped}) {
    EXPECT_EQ(layout->V, (std::vector<int32_t>{2, 3, 1, -2}));
    EXPECT_EQ(layout->live, 3u);
  }
  EXPECT_EQ(ds.liveClasses, 3u);
  EXPECT_EQ(groupedState.liveClasses, 3u);
  EXPECT_EQ(grouped.order, (std::vector<int32_t>{2, 0, 1}));

  // The literal reference agrees; it keeps the scan bound in the last slot: n - 1 lowered once.
  EXPECT_EQ(literal::ClassesAfter(wa.families, 1), (std::vector<int32_t>{2, 3, 1, -2, 2}));
}

TEST(RepeatClasses, WordsNeverCrossASequenceEnd) {
  // "AA" then "A": the second A of the first sequence could only grow into the next sequence.
  const DdParts wa = make_dd_parts({{{"AA", "A"}, {}}}, 0, 0);
  DiscoveryState ds;
  RepeatClasses rc;
  Initialize(wa.families, ds, rc);
  Construct(wa.families, ds, rc);
  EXPECT_EQ(rc.V, (std::vector<int32_t>{1, -1, -1}));
  EXPECT_EQ(ds.liveClasses, 1u);
}

TEST(RepeatClasses, EqualBytesShareAClassWhateverTheirValue) {
  const DdParts wa = make_dd_parts({{{"\xe9"
                                      "A\xe9",
                                      "\x7f"},
                                     {}}},
                                   0, 0);
  DiscoveryState ds;
  RepeatClasses rc;
  Initialize(wa.families, ds, rc);
  EXPECT_EQ(rc.V, (std::vector<int32_t>{1, 2, 1, 3}));
}

TEST(RepeatClasses, EmptySequencesCoverNoPosition) {
  const DdParts wa = make_dd_parts({{{"", "AB"}, {"AB"}}}, 0, 0);
  DiscoveryState ds;
  RepeatClasses rc;
  Initialize(wa.families, ds, rc);
  GroupByClass(wa.families, ds, rc);
  EXPECT_EQ(rc.order, (std::vector<int32_t>{0, 2, 1, 3}));
  EXPECT_EQ(rc.orderSeq, (std::vector<uint32_t>{2, 3, 2, 3}));
  Construct(wa.families, ds, rc);
  // AB grows in both sequences; the B at each sequence end dies.
  EXPECT_EQ(rc.V, (std::vector<int32_t>{1, -2, 1, -2}));

  // An empty text has no class, before and after a cycle.
  const DdParts empty = make_dd_parts({{{""}, {""}}}, 0, 0);
  DiscoveryState emptyState;
  RepeatClasses none;
  Initialize(empty.families, emptyState, none);
  EXPECT_EQ(emptyState.liveClasses, 0u);
  Construct(empty.families, emptyState, none);
  EXPECT_EQ(emptyState.liveClasses, 0u);
  EXPECT_TRUE(none.V.empty());
}

}  // namespace
