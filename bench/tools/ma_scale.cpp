// The motif engine alone on a large FASTA file, for the scale benchmarks: every sequence in the
// index (no sample, no rest), Minsam = max(1, N / 4), Minlgh 3, Dist 0, no longest length.
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
  MotifSearch ms;
  ms.Minlgh = 3;
  ms.Dist = 0;
  ms.Minsam = std::max<int64_t>(1, static_cast<int64_t>(count / 4));
  const std::unique_ptr<MotifIndex> index = find_motifs(ms, set.views());
  std::printf(
      "index and walk (%s positions): %.2f s\nMinsam %lld, %llu candidates checked, "
      "%llu motifs\n",
      index->wide() ? "64-bit" : "32-bit", seconds_since(t), static_cast<long long>(ms.Minsam),
      static_cast<unsigned long long>(ms.St), static_cast<unsigned long long>(ms.Ct));
  if (argc == 3) {
    FILE* out = std::fopen(argv[2], "w");
    if (!out) {
      std::perror(argv[2]);
      return 1;
    }
    for (const MotifRef& m : ms.MLst) {
      const std::string_view text = index->text(m);
      std::fprintf(out, "%.*s\t%llu\n", static_cast<int>(text.size()), text.data(),
                   static_cast<unsigned long long>(m.count));
    }
    std::fclose(out);
  }
  return 0;
}
