// The discrimination filter.
#include "descriptors/filter.h"

#include <algorithm>
#include <limits>

void PrepareFilter(const FamilyTable& ft, FilterScratch& fs) {
  fs.seqCount.assign(ft.NbChaines + 1, 0);
  fs.famOf.assign(ft.NbChaines + 1, 0);
  fs.famCount.assign(ft.Results.size() + 1, 0);
  fs.famSize.assign(ft.Results.size() + 1, 0);
  for (const FamilyEntry& fam : ft.Results) {
    fs.famSize[fam.number] = fam.nbSequences;
    for (const SequenceEntry& seq : fam.sequences) fs.famOf[seq.number] = fam.number;
  }
  fs.touchedSeqs.clear();
  fs.touchedFams.clear();
  fs.retire.clear();
}

namespace {
// Records an accepted class as the next descriptor.
void Accept(DiscoveryState& ds, FilterScratch& fs, int64_t start, uint32_t best,
            std::vector<uint32_t> families) {
  DDEntry dd;
  dd.number = ++ds.NbMot;
  dd.start = start;
  dd.length = static_cast<int64_t>(ds.LongMot);
  dd.familyCount = fs.famCount[best];
  dd.familySize = fs.famSize[best];
  if (fs.records) {
    std::sort(fs.touchedSeqs.begin(), fs.touchedSeqs.end());
    dd.presence.reserve(fs.touchedSeqs.size());
    for (uint32_t s : fs.touchedSeqs) dd.presence.emplace_back(s, fs.seqCount[s]);
  }
  dd.families = std::move(families);
  ds.AllDDs.push_back(std::move(dd));
}

// The best family of the class just counted: the largest count; among the tied families the
// smallest size; among those the highest number. Only families the word occurs in can hold the
// largest count. The search for the smallest size starts above any family size (the old table
// started at 6000, above the largest family the console runs take, so the answer is the same).
struct BestFamily {
  uint32_t count = 0, size = std::numeric_limits<uint32_t>::max();
  uint32_t number = 0;  // 0: the word occurs nowhere
  float share = 0;      // the largest count / size over all families, best or not

  bool in_final_set(const FilterScratch& fs, uint32_t f) const {
    return fs.famCount[f] == count && fs.famSize[f] == size;
  }
};

BestFamily best_family(const FilterScratch& fs) {
  BestFamily b;
  for (uint32_t f : fs.touchedFams) {
    b.count = std::max(b.count, fs.famCount[f]);
    b.share =
        std::max(b.share, static_cast<float>(fs.famCount[f]) / static_cast<float>(fs.famSize[f]));
  }
  for (uint32_t f : fs.touchedFams)
    if (fs.famCount[f] == b.count) b.size = std::min(b.size, fs.famSize[f]);
  for (uint32_t f : fs.touchedFams)
    if (b.in_final_set(fs, f)) b.number = std::max(b.number, f);
  return b;
}

// Both shares in single precision (false when one is not a number), then the window: only the
// first occurrence must be clear of retired positions (dead ones do not block).
bool discriminates(const FamilyTable& ft, const Settings& st, const DiscoveryState& ds,
                   const FilterScratch& fs, const BestFamily& b, const BigVector<int32_t>& V,
                   int32_t first) {
  if (b.number == 0) return false;
  const auto total = static_cast<uint32_t>(fs.touchedSeqs.size());
  const float in =
      static_cast<float>(fs.famCount[b.number]) / static_cast<float>(fs.famSize[b.number]);
  const float out = static_cast<float>(total - fs.famCount[b.number]) /
                    static_cast<float>(ft.NbChaines - fs.famSize[b.number]);
  if (!(in >= st.ALPHA && st.BETA >= out)) return false;
  for (int64_t q = first; q < first + static_cast<int64_t>(ds.LongMot); ++q)
    if (V[static_cast<size_t>(q)] == 0) return false;
  return true;
}

// Counts the occurrences of class positions order[b..e) per sequence and the sequences per family.
void count_class(const RepeatClasses& rc, FilterScratch& fs, uint32_t b, uint32_t e) {
  for (uint32_t i = b; i < e; ++i) {
    const uint32_t s = rc.seqOf[static_cast<size_t>(rc.order[i])];
    if (fs.seqCount[s]++ == 0) {
      fs.touchedSeqs.push_back(s);
      const uint32_t f = fs.famOf[s];
      if (fs.famCount[f]++ == 0) fs.touchedFams.push_back(f);
    }
  }
}

// Clears only the counters the class touched.
void clear_counts(FilterScratch& fs) {
  for (uint32_t s : fs.touchedSeqs) fs.seqCount[s] = 0;
  for (uint32_t f : fs.touchedFams) fs.famCount[f] = 0;
  fs.touchedSeqs.clear();
  fs.touchedFams.clear();
}
}  // namespace

void Filter(const FamilyTable& ft, const Settings& st, DiscoveryState& ds, RepeatClasses& rc,
            FilterScratch& fs) {
  if (ds.NbrClasses == 0) return;
  auto& V = rc.V;
  const bool retiring = ds.LongMot >= static_cast<uint32_t>(st.FilterAt);
  fs.retire.clear();

  for (uint32_t k = 1; k <= ds.NbrClasses; ++k) {
    const uint32_t b = rc.classStart[k - 1], e = rc.classStart[k];
    count_class(rc, fs, b, e);
    const BestFamily best = best_family(fs);
    const int32_t first = rc.order[b];
    if (discriminates(ft, st, ds, fs, best, V, first)) {
      std::vector<uint32_t> families;
      for (uint32_t f : fs.touchedFams)
        if (best.in_final_set(fs, f)) families.push_back(f);
      std::sort(families.begin(), families.end());
      Accept(ds, fs, first, best.number, std::move(families));
      if (retiring)
        for (uint32_t i = b; i < e; ++i) fs.retire.push_back(rc.order[i]);
    } else if (best.share < st.ALPHA) {
      for (uint32_t i = b; i < e; ++i) {
        const auto p = static_cast<size_t>(rc.order[i]);
        V[p] = -V[p];
      }
    }
    clear_counts(fs);
  }

  // Retirement comes after every class was examined, so decisions within a pass are independent.
  for (int32_t q : fs.retire) V[static_cast<size_t>(q)] = 0;
}
