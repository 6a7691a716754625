// The ddsm pruning on large random descriptor lists (lengths in groups, never longer after
// shorter, as the discovery leaves them).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "engine/substitution/pruning.h"

namespace {
// Descriptors in order of acceptance: the list order (read from the back) is then never longer
// after shorter.
std::vector<Descriptor> random_descriptors(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<int> lengths(static_cast<size_t>(n));
  for (int& L : lengths) L = 1 + static_cast<int>(rng() % 12);
  std::sort(lengths.begin(), lengths.end());
  std::vector<Descriptor> accepted;
  for (int L : lengths) {
    Descriptor d;
    for (int k = 0; k < L; ++k) d.text += AA[rng() % AA.size()];
    d.families = {1 + static_cast<uint32_t>(rng() % 10)};
    accepted.push_back(std::move(d));
  }
  return accepted;
}

void BM_ScoreAndPrune(benchmark::State& state) {
  const std::vector<Descriptor> input = random_descriptors(static_cast<int>(state.range(0)), 1);
  for (auto _ : state) {
    const std::vector<ScoredDescriptor> kept = prune_descriptors(input, {&BLOSUM62, 0.5});
    benchmark::DoNotOptimize(kept.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ScoreAndPrune)->Arg(5000)->Arg(60000)->Unit(benchmark::kMillisecond);
}  // namespace
