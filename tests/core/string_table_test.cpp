// The id table against a standard map on many keys, through its growth, with keys that share
// prefixes and hashes of nothing special.
#include "core/string_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>

TEST(StringTable, SameEntriesAsAStandardMapThroughGrowth) {
  std::mt19937 rng(3);
  StringTable table;
  std::unordered_map<std::string, uint64_t> model;
  for (int i = 0; i < 200000; ++i) {
    const std::string key = "id" + std::to_string(rng() % 150000) + (rng() % 7 == 0 ? "" : "_x");
    bool added = false;
    const uint64_t entry = table.insert(key, added);
    const auto [it, modelAdded] = model.emplace(key, model.size());
    ASSERT_EQ(added, modelAdded) << key;
    ASSERT_EQ(entry, it->second) << key;
    ASSERT_EQ(table.key(entry), key);
  }
  EXPECT_EQ(table.size(), model.size());
  EXPECT_EQ(table.find("absent"), StringTable::kNone);
  EXPECT_EQ(table.find(""), StringTable::kNone);
  bool added = false;
  EXPECT_EQ(table.insert("", added), model.size());  // the empty key is a key like any other
  EXPECT_TRUE(added);
  EXPECT_EQ(table.find(""), model.size());
}
