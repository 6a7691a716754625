// The keyword automaton on a worked example, and against a plain search: random texts over small
// and byte alphabets, duplicates and the empty text, few and many texts (both ways of ordering
// what is found), through both searches and the counting one.
#include "engine/matching/keyword_matcher.h"

#include <gtest/gtest.h>

#include <random>

namespace {
std::vector<uint32_t> plain(const std::vector<std::string>& texts, const std::string& seq) {
  std::vector<uint32_t> found;
  for (size_t k = 0; k < texts.size(); ++k)
    if (seq.find(texts[k]) != std::string::npos) found.push_back(static_cast<uint32_t>(k));
  return found;
}

std::string random_text(std::mt19937& rng, size_t length, int letters) {
  std::string s;
  for (size_t i = 0; i < length; ++i)
    s += static_cast<char>(letters == 256 ? rng() % 256
                                          : 'A' + rng() % static_cast<unsigned>(letters));
  return s;
}
}  // namespace

TEST(KeywordMatcher, FindsOverlappingAndNestedTexts) {
  KeywordMatcher m({"AB", "B", "ABC", "BCD", "XYZ", "CDAB", "D"});
  std::vector<uint8_t> present;
  m.find("ABCDAB", present);
  EXPECT_EQ(present, (std::vector<uint8_t>{1, 1, 1, 1, 0, 1, 1}));
  m.find("XY", present);
  EXPECT_EQ(present, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0}));
}

TEST(KeywordMatcher, FindAndFindAllEqualPlainSearch) {
  std::mt19937 rng(12);
  for (int round = 0; round < 60; ++round) {
    const int letters = round % 3 == 0 ? 256 : 2 + static_cast<int>(rng() % 6);
    std::vector<std::string> texts(1 + rng() % (round % 4 == 0 ? 3000 : 30));
    for (std::string& t : texts) t = random_text(rng, rng() % 7, letters);
    texts.push_back(texts.front());  // a duplicate is found with its twin
    KeywordMatcher m(texts);
    KeywordMatcher::Scratch scratch;
    std::vector<uint32_t> found, flagged;
    std::vector<uint8_t> present;
    for (int s = 0; s < 20; ++s) {
      const std::string seq = random_text(rng, rng() % 400, letters == 256 ? 256 : letters + 1);
      m.find_all(seq, found, scratch);
      ASSERT_EQ(found, plain(texts, seq)) << "round " << round;
      m.find(seq, present);
      flagged.clear();
      for (uint32_t k = 0; k < present.size(); ++k)
        if (present[k]) flagged.push_back(k);
      ASSERT_EQ(flagged, found) << "round " << round;
    }
  }
}

// Occurrences counted in the same pass: every start position of each text, overlaps and nested
// texts included, beside the same ascending numbers as find_all.
TEST(KeywordMatcher, CountAllEqualsPlainOverlappingCount) {
  std::mt19937 rng(41);
  for (int round = 0; round < 40; ++round) {
    const int letters = round % 4 == 0 ? 256 : 2 + static_cast<int>(rng() % 4);
    std::vector<std::string> texts(1 + rng() % (round % 5 == 0 ? 2000 : 25));
    for (std::string& t : texts) t = random_text(rng, rng() % 6, letters);
    texts.push_back(texts.back());
    const KeywordMatcher m(texts);
    KeywordMatcher::Scratch scratch;
    std::vector<uint32_t> found, present;
    std::vector<uint64_t> counts;
    for (int s = 0; s < 15; ++s) {
      const std::string seq = random_text(rng, rng() % 300, letters);
      m.count_all(seq, found, counts, scratch);
      m.find_all(seq, present, scratch);  // interleaved with counting: the stamps stay apart
      ASSERT_EQ(found, present);
      ASSERT_EQ(counts.size(), found.size());
      for (size_t i = 0; i < found.size(); ++i) {
        const std::string& t = texts[found[i]];
        uint64_t plainCount = 0;
        for (size_t p = 0; p + t.size() <= seq.size(); ++p)
          plainCount += seq.compare(p, t.size(), t) == 0;
        ASSERT_EQ(counts[i], plainCount) << "round " << round << " text " << t;
      }
    }
  }
}
