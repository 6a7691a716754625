// Repeat classes: the first numbering by character and the extension cycle.
#include "descriptors/repeat_classes.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace {
// Sizes per class (classStart[k] = size of class k) turned into ends (classStart[k] = end of
// class k, classStart[0] = 0).
void sizes_to_ends(std::vector<uint32_t>& classStart) {
  for (size_t k = 1; k < classStart.size(); ++k) classStart[k] += classStart[k - 1];
}
}  // namespace

void Initialize(const FamilyTable& ft, DiscoveryState& ds, RepeatClasses& rc) {
  const size_t n = ft.T.size();
  if (n > static_cast<size_t>(INT32_MAX))
    throw std::length_error("the descriptor discovery takes at most 2147483647 residues (" +
                            std::to_string(n) + " given)");
  ds.NbrClasses = 0;
  ds.LongMot = 1;

  std::array<int32_t, 256> classOf{};
  rc.V.assign(n, 0);
  for (size_t p = 0; p < n; ++p) {
    int32_t& c = classOf[static_cast<unsigned char>(ft.T[p])];
    if (c == 0) c = static_cast<int32_t>(++ds.NbrClasses);
    rc.V[p] = c;
  }

  // Group the positions by class, ascending inside each class (a counting sort).
  rc.classStart.assign(ds.NbrClasses + 1, 0);
  for (size_t p = 0; p < n; ++p) ++rc.classStart[static_cast<size_t>(rc.V[p])];
  sizes_to_ends(rc.classStart);
  std::vector<uint32_t> cursor(rc.classStart);  // cursor[k - 1]: next slot of class k
  rc.order.assign(n, 0);
  // The extension cycle files every live position here: sized once, so that it never grows by
  // copies (each fresh page of a large table costs more than its reads here).
  rc.extended.reserve(n);
  for (size_t p = 0; p < n; ++p)
    rc.order[cursor[static_cast<size_t>(rc.V[p]) - 1]++] = static_cast<int32_t>(p);

  rc.seqOf.assign(n, 0);
  for (const FamilyEntry& fam : ft.Results)
    for (const SequenceEntry& seq : fam.sequences)
      for (uint32_t i = 0; i < seq.length; ++i) rc.seqOf[seq.start + i] = seq.number;
}

void Construct(const FamilyTable& ft, const Settings& s, DiscoveryState& ds, RepeatClasses& rc) {
  const uint32_t K = ds.NbrClasses;
  const int64_t L = ds.LongMot;
  const int64_t step = s.Step;
  auto& V = rc.V;

  // Decide every live position, visiting the old classes from the highest number down (and each
  // class in ascending positions), and count the extended ones per partner class. A stable
  // distribution by partner class then yields exactly the order (partner ascending, own class
  // descending) in which the new classes are numbered.
  rc.extended.clear();
  rc.dead.clear();
  rc.bucket.assign(K + 2, 0);
  for (uint32_t k = K; k >= 1; --k) {
    for (uint32_t i = rc.classStart[k - 1]; i < rc.classStart[k]; ++i) {
      const int32_t p = rc.order[i];
      if (V[static_cast<size_t>(p)] <= 0) continue;  // retired or dropped by the filter
      const int64_t end = ft.Drapeau[rc.seqOf[static_cast<size_t>(p)]];
      // The longer word must end inside the sequence, and the partner must still be live.
      if (p + step + L - 1 <= end && V[static_cast<size_t>(p + step)] > 0) {
        ++rc.bucket[static_cast<size_t>(V[static_cast<size_t>(p + step)]) + 1];
        rc.extended.push_back(p);
      } else {
        rc.dead.push_back(p);
      }
    }
  }
  for (size_t m = 1; m < rc.bucket.size(); ++m) rc.bucket[m] += rc.bucket[m - 1];
  // The old order is no longer read: its storage takes the new one (one array of positions less
  // at the peak, which is what limits the largest sets).
  rc.order.resize(rc.extended.size());
  for (int32_t p : rc.extended)
    rc.order[rc.bucket[static_cast<size_t>(V[static_cast<size_t>(p + step)])]++] = p;

  // Class boundaries: a new class wherever the pair (partner class, own class) changes. V still
  // holds the old classes here; it is rewritten only once every pair has been read.
  rc.classStart.assign(1, 0);
  int32_t prevPartner = 0, prevOwn = 0;
  for (uint32_t i = 0; i < rc.order.size(); ++i) {
    const auto p = static_cast<size_t>(rc.order[i]);
    const int32_t partner = V[p + static_cast<size_t>(step)], own = V[p];
    if (i > 0 && (partner != prevPartner || own != prevOwn)) rc.classStart.push_back(i);
    prevPartner = partner;
    prevOwn = own;
  }
  if (!rc.order.empty()) rc.classStart.push_back(static_cast<uint32_t>(rc.order.size()));
  const auto classes = static_cast<uint32_t>(rc.classStart.size() - 1);
  for (uint32_t c = 1; c <= classes; ++c)
    for (uint32_t i = rc.classStart[c - 1]; i < rc.classStart[c]; ++i)
      V[static_cast<size_t>(rc.order[i])] = static_cast<int32_t>(c);
  for (int32_t q : rc.dead) V[static_cast<size_t>(q)] = -V[static_cast<size_t>(q)];
  ds.NbrClasses = classes;
}
