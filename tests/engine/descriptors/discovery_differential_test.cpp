// The fast discovery against the literal one on random families: descriptor list (order, texts,
// families, counts, presence) and the bytes of both output files must be identical.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "console/dd_fixture.h"
#include "console/dd_run.h"
#include "console/dd_writers.h"
#include "reference/literal_discovery.h"

namespace {

struct Shape {
  int maxFamilies;
  int maxPerFamily;
  int maxLength;
  int maxAlphabet;
};

FamilySet random_set(std::mt19937& rng, const Shape& shape) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  FamilySet set;
  const int families = pick(1, shape.maxFamilies);
  const int alphabet = pick(1, shape.maxAlphabet);
  // Families often derive from one ancestor so that long shared words exist.
  std::string ancestor;
  for (int i = 0; i < shape.maxLength; ++i)
    ancestor += static_cast<char>('A' + pick(0, alphabet - 1));
  for (int f = 0; f < families; ++f) {
    set.families.emplace_back();
    const int size = pick(0, 4) == 0 ? 0 : pick(1, shape.maxPerFamily);
    for (int i = 0; i < size; ++i) {
      const int length = pick(0, 5) == 0 ? pick(0, 2) : pick(0, shape.maxLength);
      std::string seq;
      const bool derived = pick(0, 1) == 0;
      for (int p = 0; p < length; ++p)
        seq += derived && pick(0, 4) != 0 ? ancestor[static_cast<size_t>(p)]
                                          : static_cast<char>('A' + pick(0, alphabet - 1));
      set.families.back().push_back(seq);
    }
  }
  if (pick(0, 4) == 0 && !set.families[0].empty())
    set.families[0][0].clear();  // empty first sequence
  // Sometimes class names without sequences follow the last family.
  const int extra = pick(0, 3) == 0 ? pick(1, 2) : 0;
  for (int f = 0; f < families + extra; ++f) set.names.push_back("C" + std::to_string(f + 1));
  return set;
}

float random_threshold(std::mt19937& rng) {
  switch (std::uniform_int_distribution<int>(0, 5)(rng)) {
    case 0: return 0.0f;
    case 1: return 1.0f;
    case 2: return 0.5f;
    default: return std::uniform_real_distribution<float>(0.0f, 1.0f)(rng);
  }
}

// Runs both discoveries on `set`; returns the number of descriptors found.
size_t compare(const FamilySet& set, float alpha, float beta, const std::string& trace) {
  DdParts fast = make_dd_parts(set, alpha, beta);
  fast.discovery = Discriminate(fast.families, fast.settings);
  const literal::Outcome expected =
      literal::Discriminate(fast.families, fast.settings, class_file_text(set));
  SCOPED_TRACE(trace + " alpha " + std::to_string(alpha) + " beta " + std::to_string(beta));
  EXPECT_EQ(dump_results(fast.discovery.AllDDs), dump_results(expected.AllDDs));
  EXPECT_EQ(fast.discovery.NbMot, expected.NbMot);
  EXPECT_EQ(written_bytes([&](OutFile& f) { WriteResultFile(fast.discovery, fast.settings, f); }),
            expected.resultFile);
  EXPECT_EQ(written_bytes([&](OutFile& f) {
              WriteARFFContext(fast.families, fast.discovery, fast.classes, f);
            }),
            expected.arffFile);
  return fast.discovery.AllDDs.size();
}

TEST(DiscoveryDifferential, RandomFamilies) {
  // The inputs must exercise acceptance, not only rejection: at least `found` descriptors.
  const struct {
    uint32_t firstSeed, lastSeed;
    Shape shape;
    size_t found;
  } sets[] = {{1, 4000, {4, 5, 10, 3}, 4001},    // small alphabets and short sequences
              {5000, 5149, {19, 8, 60, 4}, 1}};  // many families, longer sequences
  for (const auto& s : sets) {
    size_t found = 0;
    for (uint32_t seed = s.firstSeed; seed <= s.lastSeed && !HasFailure(); ++seed) {
      std::mt19937 rng(seed);
      const FamilySet set = random_set(rng, s.shape);
      const float alpha = random_threshold(rng), beta = random_threshold(rng);
      found += compare(set, alpha, beta, "seed " + std::to_string(seed));
    }
    EXPECT_GE(found, s.found) << "seeds from " << s.firstSeed;
  }
}

// Real protein words: the first sequences of each family of the bundled sample, cut short so
// that the literal discovery stays quick.
TEST(DiscoveryDifferential, RealProteinFamilies) {
  const std::string fasta = read_file(source_path("data/Sample.txt"));
  const std::string classes = read_file(source_path("data/Sample.classes.txt"));
  std::vector<std::string> seqs, labels, names;
  size_t pos = 0;
  while ((pos = fasta.find('>', pos)) != std::string::npos) {
    size_t body = fasta.find('\n', pos) + 1, end = fasta.find('>', body);
    std::string seq;
    for (size_t i = body; i < std::min(end, fasta.size()); ++i)
      if (fasta[i] != '\n' && fasta[i] != '\r') seq += fasta[i];
    seqs.push_back(seq);
    pos = body;
  }
  std::istringstream in(classes);
  std::string line;
  for (int i = 0; i < 3; ++i) std::getline(in, line);
  for (int i = 0; i < 4; ++i) std::getline(in, line), names.push_back(line);
  std::getline(in, line);
  while (std::getline(in, line)) labels.push_back(line);
  ASSERT_EQ(labels.size(), seqs.size());

  FamilySet set;
  set.names = names;
  set.families.resize(names.size());
  for (size_t i = 0; i < seqs.size(); ++i) {
    const size_t f =
        static_cast<size_t>(std::find(names.begin(), names.end(), labels[i]) - names.begin());
    ASSERT_LT(f, names.size());
    if (set.families[f].size() < 10) set.families[f].push_back(seqs[i].substr(0, 60));
  }
  for (auto [alpha, beta] : {std::pair{0.5f, 0.2f}, {0.25f, 0.1f}, {0.1f, 0.5f}})
    EXPECT_GT(compare(set, alpha, beta, "sample"), 0u);
}

TEST(DiscoveryDifferential, OneFamilyFindsNothing) {
  for (uint32_t seed = 9000; seed < 9050; ++seed) {
    std::mt19937 rng(seed);
    EXPECT_EQ(compare(random_set(rng, {1, 6, 12, 2}), 0.0f, 1.0f, "seed " + std::to_string(seed)),
              0u);
  }
}

}  // namespace
