// Stratified folds for `folds`: deterministic for a seed on every platform, so the generator and
// the shuffle are our own (the standard library's distributions differ between libraries).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// splitmix64: a small generator whose sequence is fixed by its seed.
class SplitMix64 {
 public:
  explicit SplitMix64(uint64_t seed) : state_(seed) {}
  uint64_t next();
  // A number below `bound` (> 0), without modulo bias.
  uint64_t below(uint64_t bound);

 private:
  uint64_t state_;
};

// The fold (0 to k - 1) of each sequence: the sequences of each class, in class order, are
// shuffled (Fisher-Yates) and dealt to the folds in turn, each class going on from the fold
// where the previous one stopped, so that folds differ in size by one at most and every class
// is spread as evenly as its size allows.
std::vector<uint32_t> assign_folds(const std::vector<uint32_t>& classes, size_t classCount,
                                   uint32_t k, uint64_t seed);
