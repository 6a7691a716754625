// The discrimination filter.
#include "engine/descriptors/filter.h"

#include <algorithm>
#include <limits>

#include "engine/descriptors/family_table.h"

void PrepareFilter(const FamilyTable& ft, FilterScratch& fs) {
  fs.seqCount.assign(ft.sequenceCount + 1, 0);
  fs.famOf.assign(ft.sequenceCount + 1, 0);
  fs.famCount.assign(ft.families.size() + 1, 0);
  fs.famSize.assign(ft.families.size() + 1, 0);
  for (const FamilyEntry& fam : ft.families) {
    fs.famSize[fam.number] = fam.size();
    for (const SequenceEntry& seq : fam.sequences) fs.famOf[seq.number] = fam.number;
  }
  fs.touchedSeqs.clear();
  fs.touchedFams.clear();
  fs.retire.clear();
}

namespace {
// The thresholds as the filter compares them: in single precision.
struct Thresholds {
  float alpha, beta;

  explicit Thresholds(const DescriptorSettings& s)
      : alpha(static_cast<float>(s.alpha)), beta(static_cast<float>(s.beta)) {}
};

// Records an accepted class as the next descriptor, its text the word at its first occurrence;
// its families and presence are the caller's.
Descriptor& Accept(const FamilyTable& ft, DiscoveryState& ds, int64_t first,
                   const BestFamily& best) {
  Descriptor dd;
  dd.text.assign(ft.text, static_cast<size_t>(first), ds.wordLength);
  dd.count = best.count;
  dd.size = best.size;
  ds.accepted.push_back(std::move(dd));
  return ds.accepted.back();
}

// Both shares in single precision (false when one is not a number), then the window: only the
// first occurrence must be clear of retired positions (dead ones do not block).
bool discriminates(const FamilyTable& ft, const Thresholds& st, const DiscoveryState& ds,
                   uint32_t sequences, const BestFamily& b, const std::vector<int32_t>& V,
                   int64_t first) {
  if (b.number == 0) return false;
  const float in = static_cast<float>(b.count) / static_cast<float>(b.size);
  const float out =
      static_cast<float>(sequences - b.count) / static_cast<float>(ft.sequenceCount - b.size);
  if (!(in >= st.alpha && st.beta >= out)) return false;
  for (int64_t q = first; q < first + static_cast<int64_t>(ds.wordLength); ++q)
    if (V[static_cast<size_t>(q)] == 0) return false;
  return true;
}

// Grouped classes: each class's positions counted per sequence and family in the scratch
// counters, which are read and cleared only where the class touched them.

void count_class(const RepeatClasses& rc, FilterScratch& fs, uint32_t b, uint32_t e) {
  for (uint32_t i = b; i < e; ++i) {
    const uint32_t s = rc.orderSeq[i];
    if (fs.seqCount[s]++ == 0) {
      fs.touchedSeqs.push_back(s);
      const uint32_t f = fs.famOf[s];
      if (fs.famCount[f]++ == 0) fs.touchedFams.push_back(f);
    }
  }
}

// Only families the word occurs in can hold the largest count.
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
    if (fs.famCount[f] == b.count && fs.famSize[f] == b.size) b.number = std::max(b.number, f);
  return b;
}

void clear_counts(FilterScratch& fs) {
  for (uint32_t s : fs.touchedSeqs) fs.seqCount[s] = 0;
  for (uint32_t f : fs.touchedFams) fs.famCount[f] = 0;
  fs.touchedSeqs.clear();
  fs.touchedFams.clear();
}

void filter_grouped(const FamilyTable& ft, const Thresholds& st, DiscoveryState& ds,
                    RepeatClasses& rc, FilterScratch& fs, bool retiring) {
  auto& V = rc.V;
  fs.retire.clear();
  for (uint32_t k = 1; k <= ds.liveClasses; ++k) {
    const uint32_t b = rc.classStart[k - 1], e = rc.classStart[k];
    count_class(rc, fs, b, e);
    const BestFamily best = best_family(fs);
    const int32_t first = rc.order[b];
    if (discriminates(ft, st, ds, static_cast<uint32_t>(fs.touchedSeqs.size()), best, V, first)) {
      Descriptor& dd = Accept(ft, ds, first, best);
      for (uint32_t f : fs.touchedFams)
        if (fs.famCount[f] == best.count && fs.famSize[f] == best.size) dd.families.push_back(f);
      std::sort(dd.families.begin(), dd.families.end());
      if (fs.records) {
        std::sort(fs.touchedSeqs.begin(), fs.touchedSeqs.end());
        dd.presence.reserve(fs.touchedSeqs.size());
        for (uint32_t s : fs.touchedSeqs) dd.presence.emplace_back(s, fs.seqCount[s]);
      }
      if (retiring)
        for (uint32_t i = b; i < e; ++i) fs.retire.push_back(rc.order[i]);
    } else if (best.share < st.alpha) {
      for (uint32_t i = b; i < e; ++i) {
        const auto p = static_cast<size_t>(rc.order[i]);
        V[p] = -V[p];
      }
      rc.live -= e - b;
    }
    clear_counts(fs);
  }
  // Retirement comes after every class was examined, so decisions within a pass are independent.
  for (int32_t q : fs.retire) V[static_cast<size_t>(q)] = 0;
  rc.live -= fs.retire.size();
}

// Classes in order: one sweep over the text tallies every class, family after family (the text
// holds the families in ascending number, so each family's count is final when the next one
// starts).

// Folds the family just counted into the class's best family.
void fold_family(FilterScratch::Tally& t, const FilterScratch& fs) {
  if (t.family == 0) return;
  const uint32_t count = t.inFamily, size = fs.famSize[t.family];
  BestFamily& b = t.best;
  b.share = std::max(b.share, static_cast<float>(count) / static_cast<float>(size));
  // A later family wins a full tie: the highest number among the tied.
  if (count > b.count || (count == b.count && size <= b.size)) {
    b.count = count;
    b.size = size;
    b.number = t.family;
  }
}

// Lists the family just counted when it is in the descriptor's final tied set.
void list_family(const FilterScratch::Tally& t, const FilterScratch& fs, Descriptor& dd) {
  if (t.family != 0 && t.inFamily == t.best.count && fs.famSize[t.family] == t.best.size)
    dd.families.push_back(t.family);
}

// The first sweep: sequences, first occurrence and best family of every class. Positions that
// are not live count in tally 0, which nothing reads: the sweep then takes no branch that
// depends on the liveness of each position.
void tally_classes(const FamilyTable& ft, const RepeatClasses& rc, FilterScratch& fs,
                   uint32_t classes) {
  fs.tallies.assign(classes + 1, FilterScratch::Tally{});
  ForEachPosition(ft, [&](uint32_t family, uint32_t sequence, size_t p) {
    FilterScratch::Tally& t = fs.tallies[static_cast<size_t>(std::max(rc.V[p], 0))];
    t.first = t.first < 0 ? static_cast<int64_t>(p) : t.first;
    const bool fresh = t.lastSeq != sequence;  // the class's first occurrence in this sequence
    t.lastSeq = sequence;
    t.sequences += fresh;
    if (t.family != family) {  // rare: once per class and family
      fold_family(t, fs);
      t.family = family;
      t.inFamily = 0;
    }
    t.inFamily += fresh;
  });
  for (FilterScratch::Tally& t : fs.tallies) fold_family(t, fs);
}

// The second sweep, after the decisions: the accepted classes get their families and presence,
// and are retired; the dropped ones die.
void settle_classes(const FamilyTable& ft, RepeatClasses& rc, DiscoveryState& ds, FilterScratch& fs,
                    bool retiring) {
  for (size_t k = 1; k < fs.tallies.size(); ++k)
    if (fs.fate[k] > 0) fs.tallies[k].lastSeq = fs.tallies[k].family = fs.tallies[k].inFamily = 0;
  size_t died = 0;
  ForEachPosition(ft, [&](uint32_t family, uint32_t sequence, size_t p) {
    const int32_t c = rc.V[p];
    const int64_t fate = fs.fate[static_cast<size_t>(std::max(c, 0))];  // fate[0] = 0
    rc.V[p] = fate < 0 ? -c : c;
    died += fate < 0;
    if (fate <= 0) return;
    Descriptor& dd = ds.accepted[static_cast<size_t>(fate - 1)];
    FilterScratch::Tally& t = fs.tallies[static_cast<size_t>(c)];
    if (t.lastSeq != sequence) {
      t.lastSeq = sequence;
      if (fs.records) dd.presence.emplace_back(sequence, 0);
      if (t.family != family) {
        list_family(t, fs, dd);
        t.family = family;
        t.inFamily = 0;
      }
      ++t.inFamily;
    }
    if (fs.records) ++dd.presence.back().second;
    if (retiring) {
      rc.V[p] = 0;
      ++died;
    }
  });
  rc.live -= died;
  for (size_t k = 1; k < fs.tallies.size(); ++k)
    if (fs.fate[k] > 0)
      list_family(fs.tallies[k], fs, ds.accepted[static_cast<size_t>(fs.fate[k] - 1)]);
}

void filter_in_order(const FamilyTable& ft, const Thresholds& st, DiscoveryState& ds,
                     RepeatClasses& rc, FilterScratch& fs, bool retiring) {
  tally_classes(ft, rc, fs, ds.liveClasses);
  fs.fate.assign(ds.liveClasses + 1, 0);
  bool settle = false;
  for (uint32_t k = 1; k <= ds.liveClasses; ++k) {
    const FilterScratch::Tally& t = fs.tallies[k];
    if (discriminates(ft, st, ds, t.sequences, t.best, rc.V, t.first)) {
      Accept(ft, ds, t.first, t.best);
      fs.fate[k] = static_cast<int64_t>(ds.accepted.size());
      settle = true;
    } else if (t.best.share < st.alpha) {
      fs.fate[k] = -1;
      settle = true;
    }
  }
  if (settle) settle_classes(ft, rc, ds, fs, retiring);
}
}  // namespace

void Filter(const FamilyTable& ft, const DescriptorSettings& s, DiscoveryState& ds,
            RepeatClasses& rc, FilterScratch& fs) {
  if (ds.liveClasses == 0) return;
  const Thresholds st(s);
  const bool retiring = ds.wordLength >= kRetireFrom;
  if (rc.grouped)
    filter_grouped(ft, st, ds, rc, fs, retiring);
  else
    filter_in_order(ft, st, ds, rc, fs, retiring);
}
