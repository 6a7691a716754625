// The ddsm engine: descriptors (in the discovery's list order, the most recent first, so never
// longer after shorter), each weighed with a mutation probability under the chosen matrix,
// ordered within each length group and marked where an earlier similar descriptor of the same
// length does not already stand for them; the unmarked ones are then removed. Any number of
// descriptors; the console's 60000 is its run's check.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/progress_fn.h"
#include "engine/descriptors/descriptor.h"
#include "engine/substitution/matrices.h"

struct PruningSettings {
  const Matrix* matrix = nullptr;  // the substitution matrix; must be set
  // A descriptor stands for a later one of its length when (pair score / its self score) is
  // strictly above this, compared in single precision as float(similarity).
  double similarity = 0;
};

// One descriptor as the pruning weighs it.
struct ScoredDescriptor {
  std::string text;
  uint32_t family = 0;           // the lowest family the descriptor discriminates (0: none)
  uint32_t count = 0, size = 0;  // its support in its best family (Descriptor::count, size)
  float probability = 0;         // the mutation probability
};

// The scored list before the removal: every descriptor, each length group ordered by
// probability, and whether it is kept.
struct ScoredList {
  std::vector<ScoredDescriptor> descriptors;
  std::vector<uint8_t> kept;  // 0 or 1 per descriptor
};

// The factor of every byte under MS: diagonal / (diagonal + positive off-diagonal entries of
// the row), in single precision; 1 for a letter without a matrix row.
std::array<float, 256> LetterFactors(const Matrix& MS);

// 1 minus the product of the letters' factors, taken in position order in single precision.
float MutationProbability(const std::array<float, 256>& factors, std::string_view text);

// Sorts list[lo..hi] (inclusive) by probability, largest first, with the quicksort whose
// partition fixes the order of equal probabilities (the marking depends on that order). Runs
// with its own stack of ranges, so a long already-ordered group cannot exhaust the call stack.
void sort_by_probability(std::vector<ScoredDescriptor>& list, int lo, int hi);

// The descriptors in the discovery's list order: `accepted` (order of acceptance) read from the
// back, each with its lowest family and its support, probability 0.
std::vector<ScoredDescriptor> list_descriptors(const std::vector<Descriptor>& accepted);

// Scores every descriptor of `list` (list order), orders each length group and marks the ones
// to keep: the scored list, nothing removed yet.
ScoredList score_list(std::vector<ScoredDescriptor> list, const PruningSettings& settings,
                      const ProgressFn& progress = {});

// The marked descriptors of a scored list, in its order.
std::vector<ScoredDescriptor> keep_marked(ScoredList scored);

// The whole pruning of a discovery's descriptors (order of acceptance): list_descriptors,
// score_list, keep_marked. The kept descriptors in the order of the scored list.
std::vector<ScoredDescriptor> prune_descriptors(const std::vector<Descriptor>& accepted,
                                                const PruningSettings& settings,
                                                const ProgressFn& progress = {});
