// Finds which of a set of descriptor texts occur in a sequence, in one pass over the sequence
// (a keyword automaton), however many descriptors there are.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class DescriptorMatcher {
 public:
  explicit DescriptorMatcher(const std::vector<std::string>& texts);

  // present[k] = 1 when texts[k] is a substring of `sequence`, else 0 (resized to the count).
  void find(std::string_view sequence, std::vector<uint8_t>& present);

 private:
  int child(int node, unsigned char c) const;
  // Trie nodes: children as sibling lists, failure and output links.
  std::vector<int> firstChild_, nextSibling_, fail_, outLink_, firstText_, stamp_;
  std::vector<unsigned char> label_;
  std::vector<int> nextText_;  // texts ending at the same node
  std::vector<int> emptyTexts_;
  size_t count_;
  int round_ = 0;
};
