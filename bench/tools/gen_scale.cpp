// Seeded generator of large synthetic protein sets for the scale benchmarks. Each family grows
// from a random ancestral core (residues drawn at their usual frequencies) through a few
// subfamily ancestors to its members, by substitutions, insertions and deletions, so that members
// of a family share many words and families share few. Each member also carries unshared flanks
// before and after its core: lengths come out near real proteins (median about 300, mean about
// 330) with a rare giant past 6000 residues (a handful per 100,000).
//
// usage: gen_scale SEQUENCES FAMILIES SEED OUT_PREFIX [--grouped]
//   writes OUT_PREFIX.fa (">ID FAMILY" headers, 60 residues a line), OUT_PREFIX.classes (a
//   classification file: the family names, then one label per sequence in file order) and
//   OUT_PREFIX.labels.tsv (ID<TAB>FAMILY). Sequences come in a shuffled order of families, or
//   family after family with --grouped; both orders hold the same records. The output depends
//   only on the arguments (own generator and distributions, no library randomness).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
// splitmix64: small, fast and the same everywhere.
struct Rng {
  uint64_t state;
  explicit Rng(uint64_t seed) : state(seed) {}
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }  // [0, 1)
  uint64_t below(uint64_t n) { return n == 0 ? 0 : next() % n; }
  double normal() {  // Box-Muller
    const double u = 1.0 - unit(), v = unit();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
  }
  double lognormal(double median, double sigma) { return median * std::exp(sigma * normal()); }
};

uint64_t mix(uint64_t a, uint64_t b, uint64_t c) {
  Rng r(a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull) * 0xD1B54A32D192ED03ull ^ c);
  return r.next();
}

// Residues at their background frequencies (per thousand), through a 4096-entry table.
class Residues {
 public:
  Residues() {
    static const struct {
      char c;
      int perMille;
    } kFreq[] = {{'L', 99}, {'A', 83}, {'G', 71}, {'V', 69}, {'E', 68}, {'S', 66}, {'I', 59},
                 {'K', 58}, {'R', 55}, {'D', 55}, {'T', 53}, {'P', 47}, {'N', 41}, {'Q', 39},
                 {'F', 39}, {'Y', 29}, {'M', 24}, {'H', 23}, {'C', 14}, {'W', 11}};
    int total = 0;
    for (const auto& f : kFreq) total += f.perMille;
    size_t at = 0;
    int sum = 0;
    for (const auto& f : kFreq) {
      sum += f.perMille;
      const size_t to = static_cast<size_t>(sum) * table_.size() / static_cast<size_t>(total);
      while (at < to) table_[at++] = f.c;
    }
  }
  char draw(Rng& r) const { return table_[r.next() >> 52]; }
  void append(Rng& r, size_t n, std::string& out) const {
    for (size_t i = 0; i < n; ++i) out += draw(r);
  }

 private:
  std::array<char, 4096> table_{};
};

// A copy of `from` with changes at `rate` per residue: 70 % substitutions, 15 % insertions,
// 15 % deletions.
void mutate(Rng& r, const Residues& res, const std::string& from, double rate, std::string& out) {
  out.clear();
  for (char c : from) {
    const double x = r.unit();
    if (x >= rate) {
      out += c;
    } else if (x < rate * 0.70) {
      out += res.draw(r);
    } else if (x < rate * 0.85) {
      out += c;
      out += res.draw(r);
    }
  }
}

struct Family {
  std::vector<std::string> subfamilies;  // ancestors of the members
  uint64_t size = 0;
};

// Flank lengths: most proteins carry some unshared sequence around their core; a few are giants.
size_t flank_length(Rng& r) {
  size_t n = static_cast<size_t>(r.lognormal(80.0, 0.9));
  if (r.unit() < 4e-5) n += 6000 + static_cast<size_t>(r.unit() * 29000.0);
  return n;
}

class Output {
 public:
  Output(const std::string& path) : f_(std::fopen(path.c_str(), "wb")), path_(path) {
    if (!f_) {
      std::perror(path.c_str());
      std::exit(1);
    }
  }
  ~Output() {
    flush();
    if (std::fclose(f_) != 0) {
      std::perror(path_.c_str());
      std::exit(1);
    }
  }
  std::string& buf() { return buf_; }
  void maybe_flush() {
    if (buf_.size() >= (1u << 23)) flush();
  }

 private:
  void flush() {
    if (std::fwrite(buf_.data(), 1, buf_.size(), f_) != buf_.size()) {
      std::perror(path_.c_str());
      std::exit(1);
    }
    buf_.clear();
  }
  FILE* f_;
  std::string path_;
  std::string buf_;
};
}  // namespace

int main(int argc, char** argv) {
  const bool grouped = argc == 6 && std::strcmp(argv[5], "--grouped") == 0;
  if (argc != 5 && !grouped) {
    std::fprintf(stderr, "usage: %s SEQUENCES FAMILIES SEED OUT_PREFIX [--grouped]\n", argv[0]);
    return 2;
  }
  const uint64_t total = std::strtoull(argv[1], nullptr, 10);
  const uint64_t families = std::strtoull(argv[2], nullptr, 10);
  const uint64_t seed = std::strtoull(argv[3], nullptr, 10);
  const std::string prefix = argv[4];
  if (families == 0 || families > total) {
    std::fprintf(stderr, "gen_scale: FAMILIES must be from 1 to SEQUENCES\n");
    return 2;
  }
  const Residues res;

  // Family sizes: weights from 0.5 to 1.5, the sizes summing to SEQUENCES, every family one at
  // least (the largest remainders take what is left).
  Rng top(mix(seed, 0, 0));
  std::vector<double> weight(families);
  double wsum = 0;
  for (double& w : weight) wsum += (w = 0.5 + top.unit());
  std::vector<Family> fam(families);
  std::vector<std::pair<double, uint64_t>> rest;
  uint64_t given = 0;
  for (uint64_t f = 0; f < families; ++f) {
    const double exact = 1.0 + weight[f] / wsum * static_cast<double>(total - families);
    fam[f].size = static_cast<uint64_t>(exact);
    given += fam[f].size;
    rest.push_back({exact - static_cast<double>(fam[f].size), f});
  }
  std::sort(rest.begin(), rest.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  });
  for (size_t k = 0; given < total; ++k, ++given) ++fam[rest[k % rest.size()].second].size;

  // Ancestors: a core of median 200 residues, one subfamily per 50 members (at most 20), each
  // 8 % away from the core; members are 3 to 15 % away from their subfamily ancestor.
  std::string scratch;
  for (uint64_t f = 0; f < families; ++f) {
    Rng r(mix(seed, 1, f));
    const size_t core = std::clamp<size_t>(static_cast<size_t>(r.lognormal(200.0, 0.35)), 50, 1500);
    std::string ancestor;
    res.append(r, core, ancestor);
    const uint64_t subs = std::clamp<uint64_t>(fam[f].size / 50, 1, 20);
    for (uint64_t s = 0; s < subs; ++s) {
      mutate(r, res, ancestor, 0.08, scratch);
      fam[f].subfamilies.push_back(scratch);
    }
  }

  // The order of the records: family after family, or shuffled (Fisher-Yates).
  std::vector<std::pair<uint32_t, uint32_t>> order;  // family, member
  order.reserve(total);
  for (uint64_t f = 0; f < families; ++f)
    for (uint64_t m = 0; m < fam[f].size; ++m)
      order.push_back({static_cast<uint32_t>(f), static_cast<uint32_t>(m)});
  if (!grouped)
    for (size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[top.below(i)]);

  const int famDigits = static_cast<int>(std::to_string(families).size());
  const int seqDigits = static_cast<int>(std::to_string(total).size());
  auto family_name = [&](uint64_t f) {
    char b[32];
    std::snprintf(b, sizeof b, "fam%0*llu", famDigits, static_cast<unsigned long long>(f + 1));
    return std::string(b);
  };
  Output fa(prefix + ".fa"), cls(prefix + ".classes"), tsv(prefix + ".labels.tsv");
  cls.buf() += "#classes number\n" + std::to_string(families) + "\n#classes\n";
  for (uint64_t f = 0; f < families; ++f) cls.buf() += family_name(f) + "\n";
  cls.buf() += "#data\n";

  std::string member, seq;
  for (const auto& [f, m] : order) {
    // Each record from its own generator: the same whatever the order.
    Rng r(mix(seed, 2, (static_cast<uint64_t>(f) << 32) | m));
    const Family& F = fam[f];
    const std::string& sub = F.subfamilies[r.below(F.subfamilies.size())];
    mutate(r, res, sub, 0.03 + 0.12 * r.unit(), member);
    const size_t flanks = flank_length(r);
    const size_t before = static_cast<size_t>(r.unit() * static_cast<double>(flanks + 1));
    seq.clear();
    res.append(r, before, seq);
    seq += member;
    res.append(r, flanks - before, seq);

    char id[48];
    std::snprintf(id, sizeof id, "f%0*u_%0*u", famDigits, f + 1, seqDigits, m + 1);
    const std::string name = family_name(f);
    std::string& out = fa.buf();
    out += '>';
    out += id;
    out += ' ';
    out += name;
    out += '\n';
    for (size_t i = 0; i < seq.size(); i += 60) {
      out.append(seq, i, 60);
      out += '\n';
    }
    cls.buf() += name + "\n";
    tsv.buf() += std::string(id) + "\t" + name + "\n";
    fa.maybe_flush();
    cls.maybe_flush();
    tsv.maybe_flush();
  }
  return 0;
}
