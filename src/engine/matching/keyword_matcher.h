// Finds which of a set of texts occur in a sequence, and how often, in one pass over the
// sequence, however many texts there are: a keyword automaton with a dense transition table over
// the bytes the texts use (any other byte leads back to the root). The automaton is read-only
// once built, so several threads may search with it at once, each with its own Scratch.
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
    std::vector<uint64_t> hits_;  // per state: the positions it was reported at (count_all)
  };

  // present[k] = 1 when texts[k] is a substring of `sequence`, else 0 (resized to the count).
  void find(std::string_view sequence, std::vector<uint8_t>& present);

  // The numbers of the texts that are substrings of `sequence`, ascending, into `found`.
  void find_all(std::string_view sequence, std::vector<uint32_t>& found, Scratch& scratch) const;
  // The same, and in counts[i] the number of positions of `sequence` where texts[found[i]]
  // starts (overlapping occurrences count; the empty text starts at every position, the end
  // included), in the same pass.
  void count_all(std::string_view sequence, std::vector<uint32_t>& found,
                 std::vector<uint64_t>& counts, Scratch& scratch) const;

  size_t size() const { return count_; }

 private:
  void build(std::span<const std::string_view> texts);
  // find_all, and with Count the occurrences of each state in scratch.hits_.
  template <bool Count>
  void scan(std::string_view sequence, std::vector<uint32_t>& found, Scratch& scratch) const;

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
  std::vector<uint32_t> textState_;  // per text: the state where it ends (0 for the empty text)
  std::vector<uint32_t> emptyTexts_;
  size_t count_ = 0;
  Scratch own_;
};
