// The motif engine alone on a large FASTA file, for the scale benchmarks: every sequence in the
// index (no sample, no rest), Minsam = max(1, N / 4), Minlgh 3, Dist 0, no longest length.
//
// usage: ma_scale SEQ.fa [LIST_FILE]
//   prints the counts and the seconds of each step on standard output; writes the motifs, one a
//   line, to LIST_FILE when given. Headers begin with '>'; letters are residues (lower case
//   raised); other bytes of the sequence lines are dropped.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "motifs/motif_search.h"

namespace {
double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// The residues of every record back to back, and where each record begins.
bool read_fasta(const char* path, std::string& residues, std::vector<size_t>& starts) {
  FILE* in = std::fopen(path, "rb");
  if (!in) return false;
  struct stat st;
  if (fstat(fileno(in), &st) == 0 && st.st_size > 0)
    residues.reserve(static_cast<size_t>(st.st_size));
  std::vector<char> buf(1 << 22);
  bool header = false, lineStart = true;
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), in)) > 0) {
    for (size_t i = 0; i < n; ++i) {
      const char c = buf[i];
      if (lineStart && c == '>') {
        header = true;
        starts.push_back(residues.size());
      } else if (c == '\n') {
        header = false;
      } else if (!header && !starts.empty()) {
        if (c >= 'A' && c <= 'Z')
          residues += c;
        else if (c >= 'a' && c <= 'z')
          residues += static_cast<char>(c - 'a' + 'A');
      }
      lineStart = c == '\n';
    }
  }
  std::fclose(in);
  starts.push_back(residues.size());
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s SEQ.fa [LIST_FILE]\n", argv[0]);
    return 2;
  }
  auto t = std::chrono::steady_clock::now();
  std::string residues;
  std::vector<size_t> starts;
  if (!read_fasta(argv[1], residues, starts)) {
    std::perror(argv[1]);
    return 1;
  }
  const size_t count = starts.size() - 1;
  std::printf("read %zu sequences, %zu residues: %.2f s\n", count, residues.size(),
              seconds_since(t));

  t = std::chrono::steady_clock::now();
  MotifSearch ms;
  ms.Minlgh = 3;
  ms.Dist = 0;
  ms.Minsam = std::max<int64_t>(1, static_cast<int64_t>(count / 4));
  std::unique_ptr<MotifIndex> index;
  {
    std::vector<std::string_view> views;
    views.reserve(count);
    for (size_t s = 0; s < count; ++s)
      views.push_back(std::string_view(residues).substr(starts[s], starts[s + 1] - starts[s]));
    index = find_motifs(ms, views);
  }
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
