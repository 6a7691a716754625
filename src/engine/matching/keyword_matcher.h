// Finds which of a set of texts occur in a sequence, in one pass over the sequence, however many
// texts there are: a keyword automaton with a dense transition table over the bytes the texts
// use (any other byte leads back to the root). The automaton is read-only once built, so several
// threads may search with it at once, each with its own Scratch.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class KeywordMatcher {
 public:
  explicit KeywordMatcher(const std::vector<std::string>& texts);
  explicit KeywordMatcher(std::span<const std::string_view> texts);

  // What one thread's searches need of their own.
  class Scratch {
    friend class KeywordMatcher;
    std::vector<uint32_t> stamp_;  // per state: the round it was last reported in
    uint32_t round_ = 0;
    std::vector<uint64_t> bits_;  // per text, for ordering many found texts without a sort
  };

  // present[k] = 1 when texts[k] is a substring of `sequence`, else 0 (resized to the count).
  void find(std::string_view sequence, std::vector<uint8_t>& present);

  // The numbers of the texts that are substrings of `sequence`, ascending, into `found`.
  void find_all(std::string_view sequence, std::vector<uint32_t>& found, Scratch& scratch) const;

  size_t size() const { return count_; }

 private:
  void build(std::span<const std::string_view> texts);

  std::array<uint32_t, 256> code_{};  // 0 for a byte in no text
  uint32_t width_ = 1;                // byte codes, 0 included
  std::vector<uint32_t> next_;        // state * width_ + code -> state
  // Per state: the first text ending there (texts ending at one state are chained by
  // nextText_), and the nearest state on its failure chain, itself included, where a text ends
  // (0 when none).
  std::vector<int32_t> firstText_;
  std::vector<uint32_t> report_;
  std::vector<uint32_t> outLink_;  // per state: the nearest proper suffix state where a text ends
  std::vector<int32_t> nextText_;
  std::vector<uint32_t> emptyTexts_;
  size_t count_ = 0;
  Scratch own_;
};
