// The suffix array refuses sequences that leave no byte value free to separate them (its order
// and common prefixes are proven through the motif search against the literal search).
#include "motifs/suffix_array.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(SuffixArray, RefusesSequencesThatHoldEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string_view bytes(all);
  const std::vector<std::string_view> views{bytes.substr(0, 128), bytes.substr(128)};
  EXPECT_THROW(SuffixArray<uint32_t>(views, true), std::invalid_argument);
  const std::vector<std::string_view> most{bytes.substr(1)};
  EXPECT_NO_THROW(SuffixArray<uint32_t>(most, true));
}
