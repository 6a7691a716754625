// Mutation probability and redundancy pruning of the ddsm descriptors.
#include "engine/substitution/pruning.h"

#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace {
constexpr size_t kPruningEvery = 256;  // entries between two progress calls
}  // namespace

std::array<float, 256> LetterFactors(const Matrix& MS) {
  std::array<float, 256> factors;
  factors.fill(1.0f);
  for (int x = 0; x < kResidueCount; ++x) {
    const auto& row = MS[static_cast<size_t>(x)];
    float s = 0;
    for (int k = 0; k < kResidueCount; ++k)
      if (k != x && row[static_cast<size_t>(k)] > 0)
        s += static_cast<float>(row[static_cast<size_t>(k)]);
    const float diag = static_cast<float>(row[static_cast<size_t>(x)]);
    factors[static_cast<unsigned char>(AA[static_cast<size_t>(x)])] = diag / (diag + s);
  }
  return factors;
}

float MutationProbability(const std::array<float, 256>& factors, std::string_view text) {
  float keep = 1.0f;
  for (char c : text) keep *= factors[static_cast<unsigned char>(c)];
  return 1.0f - keep;
}

void sort_by_probability(std::vector<ScoredDescriptor>& list, int lo, int hi) {
  std::vector<std::pair<int, int>> ranges{{lo, hi}};
  auto v = [&](int i) { return list[static_cast<size_t>(i)].probability; };
  auto swap = [&](int i, int j) {
    if (i != j) std::swap(list[static_cast<size_t>(i)], list[static_cast<size_t>(j)]);
  };
  while (!ranges.empty()) {
    auto [l, h] = ranges.back();
    ranges.pop_back();
    if (h <= l) continue;
    const float pivot = v(h);
    int a = l - 1, b = h;
    do {
      do ++a;
      while (v(a) > pivot);
      do --b;
      while (pivot > v(b) && b > l);
      if (a < b) swap(a, b);
    } while (a < b);
    swap(a, h);
    // The two sides are disjoint: the order in which they are sorted does not matter.
    ranges.emplace_back(a + 1, h);
    ranges.emplace_back(l, a - 1);
  }
}

std::vector<ScoredDescriptor> list_descriptors(const std::vector<Descriptor>& accepted) {
  std::vector<ScoredDescriptor> list;
  list.reserve(accepted.size());
  for (auto it = accepted.rbegin(); it != accepted.rend(); ++it) {
    ScoredDescriptor d;
    d.text = it->text;
    d.family = it->families.empty() ? 0 : it->families.front();
    d.count = it->count;
    d.size = it->size;
    list.push_back(std::move(d));
  }
  return list;
}

namespace {
// The pruning's view of one entry: where its letters sit among the coded letters, its self
// score, and whether a letter without a matrix row makes every comparison with it fail.
struct Coded {
  size_t offset;
  float self;
  bool unscored;
};

// The keep marks, from the last entry down: a probability of 0 keeps the entry; otherwise the
// first earlier entry of its length that is similar to it is kept instead, or the entry itself
// when there is none. Only entries of one length can be similar, so each entry is compared only
// with the earlier entries of its own length.
std::vector<uint8_t> Mark(const std::vector<ScoredDescriptor>& list, const Matrix& MS, float score,
                          const ProgressFn& progress) {
  const size_t n = list.size();
  std::vector<uint8_t> kept(n, 0);
  std::vector<int8_t> codes;
  std::vector<Coded> coded(n);
  std::unordered_map<size_t, std::vector<uint32_t>> byLength;  // entries of each length, ascending
  for (size_t i = 0; i < n; ++i) {
    const std::string& text = list[i].text;
    const size_t offset = codes.size();
    const bool scored = EncodeLetters(text, codes);
    coded[i] = {offset, scored ? SelfScore(MS, codes.data() + offset, text.size()) : 0.0f, !scored};
    byLength[text.size()].push_back(static_cast<uint32_t>(i));
  }
  for (size_t i = n; i-- > 0;) {
    if (progress && (n - i) % kPruningEvery == 1)
      progress({"pruning descriptors", n - i - 1, n, "descriptors"});
    if (list[i].probability == 0.0f) {
      kept[i] = 1;
      continue;
    }
    const size_t len = list[i].text.size();
    size_t found = i;
    if (!coded[i].unscored && len > 0) {
      const int8_t* second = codes.data() + coded[i].offset;
      for (uint32_t j : byLength[len]) {
        if (j >= i) break;
        if (coded[j].unscored) continue;
        if (SubstituteCoded(MS, score, codes.data() + coded[j].offset, coded[j].self, second,
                            len)) {
          found = j;
          break;
        }
      }
    }
    kept[found] = 1;
  }
  return kept;
}
}  // namespace

std::vector<ScoredDescriptor> keep_marked(ScoredList scored) {
  std::vector<ScoredDescriptor> kept;
  for (size_t i = 0; i < scored.descriptors.size(); ++i)
    if (scored.kept[i]) kept.push_back(std::move(scored.descriptors[i]));
  return kept;
}

ScoredList score_list(std::vector<ScoredDescriptor> list, const PruningSettings& settings,
                      const ProgressFn& progress) {
  if (!settings.matrix) throw std::invalid_argument("the pruning needs a substitution matrix");
  const Matrix& MS = *settings.matrix;
  const auto factors = LetterFactors(MS);
  for (ScoredDescriptor& d : list) d.probability = MutationProbability(factors, d.text);
  // Runs of descriptors at least as long as the run's first one: with the discovery's order
  // (never longer after shorter) these are exactly the groups of equal length.
  const int n = static_cast<int>(list.size());
  for (int i = 0; i < n;) {
    const size_t L = list[static_cast<size_t>(i)].text.size();
    int e = i;
    while (e < n && list[static_cast<size_t>(e)].text.size() >= L) ++e;
    sort_by_probability(list, i, e - 1);
    i = e;
  }
  ScoredList scored;
  scored.kept = Mark(list, MS, static_cast<float>(settings.similarity), progress);
  scored.descriptors = std::move(list);
  return scored;
}

std::vector<ScoredDescriptor> prune_descriptors(const std::vector<Descriptor>& accepted,
                                                const PruningSettings& settings,
                                                const ProgressFn& progress) {
  return keep_marked(score_list(list_descriptors(accepted), settings, progress));
}
