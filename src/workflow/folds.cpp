// Stratified fold assignment.
#include "workflow/folds.h"

#include <utility>

uint64_t SplitMix64::next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint64_t SplitMix64::below(uint64_t bound) {
  // Values under 2^64 mod bound would come up once more often than the others: draw again.
  const uint64_t threshold = (0 - bound) % bound;
  for (;;) {
    const uint64_t x = next();
    if (x >= threshold) return x % bound;
  }
}

std::vector<uint32_t> assign_folds(const std::vector<uint32_t>& classes, size_t classCount,
                                   uint32_t k, uint64_t seed) {
  std::vector<std::vector<uint32_t>> members(classCount);
  for (size_t i = 0; i < classes.size(); ++i)
    members[classes[i]].push_back(static_cast<uint32_t>(i));
  SplitMix64 rng(seed);
  std::vector<uint32_t> fold(classes.size(), 0);
  uint32_t next = 0;
  for (std::vector<uint32_t>& m : members) {
    for (size_t i = m.size(); i > 1; --i) std::swap(m[i - 1], m[rng.below(i)]);
    for (uint32_t s : m) {
      fold[s] = next;
      next = (next + 1) % k;
    }
  }
  return fold;
}
