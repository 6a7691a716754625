// Seeded generator of synthetic protein families for the benchmarks. Each family grows from a
// random ancestor: every member is the ancestor with point substitutions, insertions and
// deletions, so conserved (discriminative) words exist within a family and differ between them.
//
// usage: gen_families SEED FAMILIES PER_FAMILY LENGTH SEQ_FILE CLASS_FILE [MUTATION]
//   writes PER_FAMILY sequences of about LENGTH residues for each of FAMILIES families, grouped
//   by family, to SEQ_FILE (">fN_sM famN" headers, 60 residues a line) and the matching
//   classification file to CLASS_FILE. MUTATION is the per-residue rate of change (default 0.15).
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {
constexpr char kResidues[] = "ARNDCQEGHILKMFPSTWYV";

char random_residue(std::mt19937& rng) {
  return kResidues[std::uniform_int_distribution<int>(0, 19)(rng)];
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 7) {
    std::fprintf(stderr,
                 "usage: %s SEED FAMILIES PER_FAMILY LENGTH SEQ_FILE CLASS_FILE [MUTATION]\n",
                 argv[0]);
    return 2;
  }
  const unsigned seed = static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10));
  const int families = std::atoi(argv[2]);
  const int per_family = std::atoi(argv[3]);
  const int length = std::atoi(argv[4]);
  const double rate = argc > 7 ? std::atof(argv[7]) : 0.15;
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);

  FILE* seq = std::fopen(argv[5], "w");
  FILE* cls = std::fopen(argv[6], "w");
  if (!seq || !cls) {
    std::perror("gen_families");
    return 1;
  }
  std::fprintf(cls, "#classes number\n%d\n#classes\n", families);
  for (int f = 1; f <= families; ++f) std::fprintf(cls, "fam%d\n", f);
  std::fprintf(cls, "#data\n");

  for (int f = 1; f <= families; ++f) {
    std::string ancestor;
    for (int i = 0; i < length; ++i) ancestor += random_residue(rng);
    for (int m = 1; m <= per_family; ++m) {
      std::string s;
      for (char c : ancestor) {
        double r = unit(rng);
        if (r < rate * 0.7) {
          s += random_residue(rng);  // substitution
        } else if (r < rate * 0.85) {
          s += c;  // insertion after the residue
          s += random_residue(rng);
        } else if (r < rate) {
          // deletion
        } else {
          s += c;
        }
      }
      std::fprintf(seq, ">f%d_s%d fam%d\n", f, m, f);
      for (size_t i = 0; i < s.size(); i += 60) std::fprintf(seq, "%s\n", s.substr(i, 60).c_str());
      std::fprintf(cls, "fam%d\n", f);
    }
  }
  std::fclose(seq);
  std::fclose(cls);
  return 0;
}
