// The reference's own stacks and class piles behave as the old program's did; the differential
// tests rely on them.
#include <gtest/gtest.h>

#include "reference/literal_discovery.h"

namespace {
using namespace literal;

std::vector<unsigned> drain(PileCell*& stack) {
  std::vector<unsigned> out;
  unsigned v;
  while (!IsEmpty(stack)) {
    Pop(stack, v);
    out.push_back(v);
  }
  return out;
}

TEST(LiteralStacks, PushPopIsLastInFirstOut) {
  PileCell* s = nullptr;
  EXPECT_EQ(IsEmpty(s), 1);
  for (int v : {1, 2, 3}) Push(v, s);
  EXPECT_EQ(IsEmpty(s), 0);
  EXPECT_EQ(drain(s), (std::vector<unsigned>{3, 2, 1}));
}

TEST(LiteralStacks, InsertReversesIntoBothStacks) {
  PileCell *first = nullptr, *source = nullptr, *target = nullptr;
  for (int v : {1, 2, 3}) Push(v, source);
  Insert(first, source, target);
  EXPECT_EQ(IsEmpty(source), 1);
  EXPECT_EQ(drain(first), (std::vector<unsigned>{1, 2, 3}));
  EXPECT_EQ(drain(target), (std::vector<unsigned>{1, 2, 3}));
}

TEST(LiteralStacks, AddFilesUnderTheClassReadFromV) {
  const std::vector<int32_t> V = {5, 7, 5};
  ClassPile* list = nullptr;
  Add(0, list, 0, V);
  Add(1, list, 1, V);  // a second class: appended after the first entry
  Add(2, list, 2, V);  // class 5 again: pushed onto the first entry
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->classNumber, 5);
  ASSERT_NE(list->next, nullptr);
  EXPECT_EQ(list->next->classNumber, 7);
  EXPECT_EQ(list->next->next, nullptr);
  EXPECT_EQ(drain(list->positions), (std::vector<unsigned>{2, 0}));
  EXPECT_EQ(drain(list->next->positions), (std::vector<unsigned>{1}));
  DeleteListePile(list);
}

}  // namespace
