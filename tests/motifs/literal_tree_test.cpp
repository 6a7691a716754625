// The literal search's pointer tree (tests/reference/ma_reference.h) builds the small trees of
// the old program node by node: child order, the last-child mark, splits that give the lower
// half then the leaf, and empty labels. The differential tests take its walk as the model.
#include <gtest/gtest.h>

#include <array>

#include "reference/ma_reference.h"

namespace {
using Label = std::array<int, 3>;  // seq (negative for a last child), start, end

// The tree in depth-first order, one label per node, checking the threading on the way: the
// last child of every list leads back to its parent.
void describe(const literal_ma::Node* n, std::vector<Label>& out) {
  out.push_back({n->seq, n->start, n->end});
  for (const literal_ma::Node* x = n->child; x; x = x->right) {
    describe(x, out);
    if (x->seq < 0) {
      EXPECT_EQ(x->right, n);
      break;
    }
  }
}

std::vector<Label> tree_of(const std::vector<std::string>& P) {
  literal_ma::Tree t;
  t.build(P);
  std::vector<Label> out;
  describe(t.Root, out);
  return out;
}
}  // namespace

TEST(LiteralTree, SmallSetsNodeByNode) {
  const Label root = {0, 1, 0};
  // AB: the root gets AB then B, the last one marked.
  EXPECT_EQ(tree_of({"AB"}), (std::vector<Label>{root, {0, 0, 1}, {-4000, 1, 1}}));
  // Then A splits AB into A with the rest B and an empty leaf.
  EXPECT_EQ(tree_of({"AB", "A"}),
            (std::vector<Label>{root, {0, 0, 0}, {0, 1, 1}, {1 - 4000, 1, 0}, {-4000, 1, 1}}));
  // Then AC passes A, enters the empty leaf and becomes its child; its C follows B at the root.
  EXPECT_EQ(tree_of({"AB", "A", "AC"}), (std::vector<Label>{root,
                                                            {0, 0, 0},
                                                            {0, 1, 1},
                                                            {1 - 4000, 1, 0},
                                                            {2 - 4000, 1, 1},
                                                            {0, 1, 1},
                                                            {2 - 4000, 1, 1}}));
  // An empty sequence changes nothing; a copy adds only empty labels, one per suffix.
  EXPECT_EQ(tree_of({"AB", ""}), tree_of({"AB"}));
  EXPECT_EQ(
      tree_of({"AB", "AB"}),
      (std::vector<Label>{root, {0, 0, 1}, {1 - 4000, 2, 1}, {-4000, 1, 1}, {1 - 4000, 2, 1}}));
}
