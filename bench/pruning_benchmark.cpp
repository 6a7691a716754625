// The ddsm pruning on large random descriptor tables (lengths in groups, never longer after
// shorter, as the discovery leaves them).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "engine/substitution/pruning.h"

namespace {
DescriptorTable random_table(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<int> lengths(static_cast<size_t>(n));
  for (int& L : lengths) L = 1 + static_cast<int>(rng() % 12);
  std::sort(lengths.rbegin(), lengths.rend());
  DescriptorTable t;
  for (int L : lengths) {
    std::string text;
    for (int k = 0; k < L; ++k) text += AA[rng() % AA.size()];
    t.add(text, "fam" + std::to_string(rng() % 10));
  }
  return t;
}

void BM_ScoreAndPrune(benchmark::State& state) {
  const DescriptorTable input = random_table(static_cast<int>(state.range(0)), 1);
  for (auto _ : state) {
    DescriptorTable t = input;
    ScoreDescriptors(t, BLOSUM62, 0.5f);
    KeepMarked(t);
    benchmark::DoNotOptimize(t.NbMSDD);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ScoreAndPrune)->Arg(5000)->Arg(60000)->Unit(benchmark::kMillisecond);
}  // namespace
