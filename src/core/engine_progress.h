// The progress lines of the engines' long phases, one text each, shown the same way by the
// console runs and the workflow commands (on standard error, only on a terminal).
#pragma once
#include <cstdint>

#include "core/progress_fn.h"

namespace progress {

// After every filter pass of the descriptor discovery.
void discovery(uint32_t length, uint32_t liveClasses, uint32_t descriptors);
// The descriptor pruning, the n-gram list (of n-grams of length n) and the motif index.
ProgressFn pruning();
ProgressFn ngrams(int n);
void motif_index(uint64_t done, uint64_t total, uint64_t residues);
void motif_index_step(const char* step);

}  // namespace progress
