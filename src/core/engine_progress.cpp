#include "core/engine_progress.h"

#include "core/progress.h"

namespace progress {
namespace {
unsigned long long ull(uint64_t v) { return static_cast<unsigned long long>(v); }
}  // namespace

void discovery(uint32_t length, uint32_t liveClasses, uint32_t descriptors) {
  show("discovery: words of length %u, %u live classes, %u descriptors", length, liveClasses,
       descriptors);
}

ProgressFn pruning() {
  return [](uint64_t done, uint64_t total) {
    show("pruning descriptors: %llu of %llu", ull(done), ull(total));
  };
}

ProgressFn ngrams(int n) {
  return [n](uint64_t done, uint64_t total) {
    show("building %d-grams: %llu of %llu sequences", n, ull(done), ull(total));
  };
}

void motif_index(uint64_t done, uint64_t total, uint64_t residues) {
  show("building the motif index: %llu of %llu sequences, %llu residues", ull(done), ull(total),
       ull(residues));
}

void motif_index_step(const char* step) { show("building the motif index: %s", step); }

}  // namespace progress
