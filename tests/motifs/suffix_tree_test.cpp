// The suffix tree from small sets, node by node: child order, the last-child mark, splits that
// give lower then leaf, and empty-label nodes.
#include "motifs/suffix_tree.h"

#include <gtest/gtest.h>

#include "core/sequence_views.h"

namespace {
struct Expect {
  int seq, start, end;
};

SuffixTree built(const std::vector<std::string>& P) {
  SuffixTree t(views_of(P));
  t.make_root();
  t.insert_all(static_cast<int>(P.size()));
  return t;
}

// The child ids of a node in list order, checking the threading on the way: every child but
// the last has a non-negative seq, and the last one leads back to the parent.
std::vector<uint32_t> children(const SuffixTree& t, uint32_t node) {
  std::vector<uint32_t> out;
  for (uint32_t x = t[node].child; x != kNoNode;) {
    out.push_back(x);
    if (t[x].seq < 0) {
      EXPECT_EQ(t[x].right, node) << "the last child must lead back to its parent";
      break;
    }
    x = t[x].right;
  }
  return out;
}

void expect_node(const SuffixTree& t, uint32_t id, Expect e) {
  EXPECT_EQ(t[id].seq, e.seq);
  EXPECT_EQ(t[id].start, e.start);
  EXPECT_EQ(t[id].end, e.end);
}
}  // namespace

TEST(SuffixTree, RootOfAnEmptySet) {
  std::vector<std::string> P;
  SuffixTree t = built(P);
  ASSERT_EQ(t.size(), 1u);
  expect_node(t, t.Root, {0, 1, 0});
  EXPECT_EQ(t[t.Root].child, kNoNode);
  EXPECT_EQ(t[t.Root].right, kNoNode);
}

TEST(SuffixTree, SingleSequenceAB) {
  std::vector<std::string> P = {"AB"};
  SuffixTree t = built(P);
  auto kids = children(t, t.Root);
  ASSERT_EQ(kids.size(), 2u);
  expect_node(t, kids[0], {0, 0, 1});
  expect_node(t, kids[1], {-4000, 1, 1});
  EXPECT_EQ(t[kids[1]].right, t.Root);
  EXPECT_EQ(t[kids[0]].child, kNoNode);
  EXPECT_EQ(t.size(), 3u);
}

TEST(SuffixTree, SecondSequenceASplitsAB) {
  std::vector<std::string> P = {"AB", "A"};
  SuffixTree t = built(P);
  auto kids = children(t, t.Root);
  ASSERT_EQ(kids.size(), 2u);
  expect_node(t, kids[0], {0, 0, 0});  // AB cut down to A
  expect_node(t, kids[1], {-4000, 1, 1});
  auto below = children(t, kids[0]);
  ASSERT_EQ(below.size(), 2u);
  expect_node(t, below[0], {0, 1, 1});          // lower: the rest of AB
  expect_node(t, below[1], {1 - 4000, 1, 0});   // leaf: the empty rest of A
  EXPECT_EQ(t.size(), 5u);
}

TEST(SuffixTree, ThirdSequenceACGoesBelowTheEmptyLeaf) {
  std::vector<std::string> P = {"AB", "A", "AC"};
  SuffixTree t = built(P);
  auto kids = children(t, t.Root);
  ASSERT_EQ(kids.size(), 3u);
  expect_node(t, kids[0], {0, 0, 0});
  expect_node(t, kids[1], {0, 1, 1});  // B is no longer the last child
  expect_node(t, kids[2], {2 - 4000, 1, 1});
  auto belowA = children(t, kids[0]);
  ASSERT_EQ(belowA.size(), 2u);
  expect_node(t, belowA[1], {1 - 4000, 1, 0});
  auto belowEmpty = children(t, belowA[1]);
  ASSERT_EQ(belowEmpty.size(), 1u);
  expect_node(t, belowEmpty[0], {2 - 4000, 1, 1});  // C of AC
  EXPECT_EQ(t.size(), 7u);
}

TEST(SuffixTree, EmptySequenceChangesNothing) {
  std::vector<std::string> P = {"AB", ""};
  SuffixTree t = built(P);
  EXPECT_EQ(t.size(), 3u);
  std::vector<std::string> Q = {"", "AB"};
  SuffixTree u = built(Q);
  auto kids = children(u, u.Root);
  ASSERT_EQ(kids.size(), 2u);
  expect_node(u, kids[0], {1, 0, 1});
  expect_node(u, kids[1], {1 - 4000, 1, 1});
}

TEST(SuffixTree, IdenticalSequencesAddOnlyEmptyLabels) {
  std::vector<std::string> P = {"AB", "AB"};
  SuffixTree t = built(P);
  auto kids = children(t, t.Root);
  ASSERT_EQ(kids.size(), 2u);
  ASSERT_EQ(t.size(), 5u);
  for (uint32_t k : kids) {
    auto below = children(t, k);
    ASSERT_EQ(below.size(), 1u);
    expect_node(t, below[0], {1 - 4000, 2, 1});
    EXPECT_TRUE(t.ends_suffix(below[0]));
  }
}

TEST(SuffixTree, CopiesStackChainsOfEmptyLabels) {
  // Each further copy ends every suffix one empty label deeper; a split inside a label that
  // heads such a chain hands the chain to the lower half.
  std::vector<std::string> P = {"AB", "AB", "AB", "AB", "AC"};
  SuffixTree t = built(P);
  auto kids = children(t, t.Root);
  ASSERT_EQ(kids.size(), 3u);
  expect_node(t, kids[0], {0, 0, 0});  // A, split by AC
  expect_node(t, kids[1], {0, 1, 1});  // B
  expect_node(t, kids[2], {4 - 4000, 1, 1});  // C
  auto belowA = children(t, kids[0]);
  ASSERT_EQ(belowA.size(), 2u);
  expect_node(t, belowA[0], {0, 1, 1});
  expect_node(t, belowA[1], {4 - 4000, 1, 1});
  for (uint32_t top : {belowA[0], kids[1]}) {
    uint32_t x = top;
    for (int copy = 1; copy <= 3; ++copy) {
      auto below = children(t, x);
      ASSERT_EQ(below.size(), 1u) << copy;
      expect_node(t, below[0], {copy - 4000, 2, 1});
      x = below[0];
    }
    EXPECT_EQ(t[x].child, kNoNode);
  }
}

TEST(SuffixTree, SplitRethreadsTheMovedChildren) {
  // ABX then ABY then A: the split of AB (after ABX/ABY made it internal) must hand its two
  // children to the lower node and thread the last of them to it.
  std::vector<std::string> P = {"ABX", "ABY", "A"};
  SuffixTree t = built(P);
  auto kids = children(t, t.Root);
  ASSERT_GE(kids.size(), 1u);
  expect_node(t, kids[0], {0, 0, 0});  // A
  auto belowA = children(t, kids[0]);
  ASSERT_EQ(belowA.size(), 2u);
  expect_node(t, belowA[0], {0, 1, 1});  // B, holding X and Y
  expect_node(t, belowA[1], {2 - 4000, 1, 0});
  auto belowB = children(t, belowA[0]);  // checks the re-threading
  ASSERT_EQ(belowB.size(), 2u);
  expect_node(t, belowB[0], {0, 2, 2});
  expect_node(t, belowB[1], {1 - 4000, 2, 2});
}

TEST(SuffixTree, EveryInsertionLeavesOneSuffixEnd) {
  std::vector<std::string> P = {"ABABAB", "BABA", "", "AAAA", "ABAB"};
  SuffixTree t = built(P);
  size_t ends = 0;
  for (uint32_t id = 0; id < t.size(); ++id) ends += t.ends_suffix(id);
  EXPECT_EQ(ends, 6u + 4u + 0u + 4u + 4u);
}
