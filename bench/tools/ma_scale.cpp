// The motif engine alone on a large FASTA file, for the scale benchmarks: every sequence in the
// index (no sample, no rest), at least max(1, N / 4) sequences a motif, shortest length 3,
// distance 0, no longest length.
//
// usage: ma_scale SEQ.fa [LIST_FILE]
//   prints the counts and the seconds of each step on standard output; writes the motifs, one a
//   line, to LIST_FILE when given. The file is read as the workflow commands read it.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/motifs/motif_search.h"
#include "workflow/sequence_set.h"

namespace {
double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s SEQ.fa [LIST_FILE]\n", argv[0]);
    return 2;
  }
  auto t = std::chrono::steady_clock::now();
  const SequenceSet set = read_sequence_set(argv[1], nullptr);
  const size_t count = set.size();
  std::printf("read %zu sequences, %llu residues: %.2f s\n", count,
              static_cast<unsigned long long>(set.residues.bytes()), seconds_since(t));

  t = std::chrono::steady_clock::now();
  MotifSettings settings;
  settings.minLength = 3;
  settings.distance = 0;
  settings.minSequences = std::max<uint64_t>(1, count / 4);
  const MotifResult found = find_motifs(set.views(), settings);
  std::printf(
      "index and walk (%s positions): %.2f s\nmin sequences %llu, %llu candidates checked, "
      "%llu motifs\n",
      found.index->wide() ? "64-bit" : "32-bit", seconds_since(t),
      static_cast<unsigned long long>(settings.minSequences),
      static_cast<unsigned long long>(found.checked),
      static_cast<unsigned long long>(found.motifs.size()));
  if (argc == 3) {
    FILE* out = std::fopen(argv[2], "w");
    if (!out) {
      std::perror(argv[2]);
      return 1;
    }
    for (const MotifRef& m : found.motifs) {
      const std::string_view text = found.text(m);
      std::fprintf(out, "%.*s\t%llu\n", static_cast<int>(text.size()), text.data(),
                   static_cast<unsigned long long>(m.count));
    }
    std::fclose(out);
  }
  return 0;
}
