// Mutation probability and redundancy pruning of the ddsm descriptor table.
#include "engine/substitution/pruning.h"

#include <unordered_map>
#include <utility>

#include "engine/descriptors/discovery.h"

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

void echange(DescriptorTable& t, int a, int b) {
  if (a == b) return;
  const auto i = static_cast<size_t>(a), j = static_cast<size_t>(b);
  std::swap(t.MLst[i], t.MLst[j]);
  std::swap(t.CLst[i], t.CLst[j]);
  std::swap(t.CLst2[i], t.CLst2[j]);
  std::swap(t.CLst3[i], t.CLst3[j]);
}

void Tri(DescriptorTable& t, int lo, int hi) {
  std::vector<std::pair<int, int>> ranges{{lo, hi}};
  const auto& v = t.CLst;
  while (!ranges.empty()) {
    auto [l, h] = ranges.back();
    ranges.pop_back();
    if (h <= l) continue;
    const float pivot = v[static_cast<size_t>(h)];
    int a = l - 1, b = h;
    do {
      do ++a;
      while (v[static_cast<size_t>(a)] > pivot);
      do --b;
      while (pivot > v[static_cast<size_t>(b)] && b > l);
      if (a < b) echange(t, a, b);
    } while (a < b);
    echange(t, a, h);
    // The two sides are disjoint: the order in which they are sorted does not matter.
    ranges.emplace_back(a + 1, h);
    ranges.emplace_back(l, a - 1);
  }
}

void FillDescriptorTable(const FamilyTable& ft, const DiscoveryState& ds,
                         const std::vector<std::string>& classNames, DescriptorTable& t) {
  t.reset();
  static const std::string kNoClass;
  for (auto it = ds.AllDDs.rbegin(); it != ds.AllDDs.rend(); ++it) {
    const DDEntry& dd = *it;
    const std::string* name = &kNoClass;
    if (!dd.families.empty()) {
      const size_t k = dd.families.front();
      if (k >= 1 && k <= classNames.size()) name = &classNames[k - 1];
    }
    t.add(std::string(DescriptorText(ft, dd)), *name);
  }
}

namespace {
// The pruning's view of one entry: where its letters sit among the coded letters, its self
// score, and whether a letter without a matrix row makes every comparison with it fail.
struct Coded {
  size_t offset;
  float self;
  bool unscored;
};

// Marks the entries to keep, from the last entry down: a probability of 0 keeps the entry;
// otherwise the first earlier entry of its length that is similar to it is kept instead, or the
// entry itself when there is none. Only entries of one length can be similar, so each entry is
// compared only with the earlier entries of its own length.
void Mark(DescriptorTable& t, const Matrix& MS, float score, const ProgressFn& progress) {
  const size_t n = t.NbMSDD;
  std::vector<int8_t> codes;
  std::vector<Coded> coded(n);
  std::unordered_map<size_t, std::vector<uint32_t>> byLength;  // entries of each length, ascending
  for (size_t i = 0; i < n; ++i) {
    const std::string& text = t.MLst[i];
    const size_t offset = codes.size();
    const bool scored = EncodeLetters(text, codes);
    coded[i] = {offset, scored ? SelfScore(MS, codes.data() + offset, text.size()) : 0.0f, !scored};
    byLength[text.size()].push_back(static_cast<uint32_t>(i));
  }
  for (size_t i = n; i-- > 0;) {
    if (progress && (n - i) % kPruningEvery == 1)
      progress({"pruning descriptors", n - i - 1, n, "descriptors"});
    if (t.CLst[i] == 0.0f) {
      t.CLst2[i] = 1;
      continue;
    }
    const size_t len = t.MLst[i].size();
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
    t.CLst2[found] = 1;
  }
}
}  // namespace

void KeepMarked(DescriptorTable& t) {
  size_t kept = 0;
  for (size_t i = 0; i < t.NbMSDD; ++i) {
    if (!t.CLst2[i]) continue;
    if (kept != i) {
      t.MLst[kept] = std::move(t.MLst[i]);
      t.CLst[kept] = t.CLst[i];
      t.CLst2[kept] = t.CLst2[i];
      t.CLst3[kept] = std::move(t.CLst3[i]);
    }
    ++kept;
  }
  t.MLst.resize(kept);
  t.CLst.resize(kept);
  t.CLst2.resize(kept);
  t.CLst3.resize(kept);
  t.NbMSDD = static_cast<uint32_t>(kept);
}

void ScoreDescriptors(DescriptorTable& t, const Matrix& MS, float score,
                      const ProgressFn& progress) {
  const auto factors = LetterFactors(MS);
  const int n = static_cast<int>(t.NbMSDD);
  for (size_t i = 0; i < t.NbMSDD; ++i) {
    t.CLst2[i] = 0;
    t.CLst[i] = MutationProbability(factors, t.MLst[i]);
  }
  // Runs of entries at least as long as the run's first one: with the discovery's order (never
  // longer after shorter) these are exactly the groups of equal length.
  for (int i = 0; i < n;) {
    const size_t L = t.MLst[static_cast<size_t>(i)].size();
    int e = i;
    while (e < n && t.MLst[static_cast<size_t>(e)].size() >= L) ++e;
    Tri(t, i, e - 1);
    i = e;
  }
  Mark(t, MS, score, progress);
}

void MSDescriptors(const FamilyTable& ft, const DiscoveryState& ds,
                   const std::vector<std::string>& classNames, const Matrix& MS, float Score,
                   DescriptorTable& t, const ProgressFn& progress) {
  FillDescriptorTable(ft, ds, classNames, t);
  ScoreDescriptors(t, MS, Score, progress);
  KeepMarked(t);
}

void DescriptorTable::add(std::string text, std::string className) {
  MLst.push_back(std::move(text));
  CLst.push_back(0.0f);
  CLst2.push_back(0);
  CLst3.push_back(std::move(className));
  ++NbMSDD;
}
