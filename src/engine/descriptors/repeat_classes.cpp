// Repeat classes: the first numbering by character and the extension cycle, in order or grouped.
#include "engine/descriptors/repeat_classes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <stdexcept>
#include <string>

#include "engine/descriptors/family_table.h"

namespace {
// Sizes per class (classStart[k] = size of class k) turned into ends (classStart[k] = end of
// class k, classStart[0] = 0).
void sizes_to_ends(std::vector<uint32_t>& classStart) {
  for (size_t k = 1; k < classStart.size(); ++k) classStart[k] += classStart[k - 1];
}

// Positions are below 2^31: the top bit of an entry marks the first of a class.
constexpr uint32_t kFirst = uint32_t{1} << 31;

// How many entries ahead a loop over a list of positions asks the memory for the class of the
// position it will visit: the lists are read in order, the classes lie anywhere.
constexpr size_t kAhead = 16;

// A pair (own class, partner class) as a key that sorts by partner ascending, then own class
// descending: the order in which the new classes are numbered. Never 0 (partner >= 1).
uint64_t pair_key(int32_t own, int32_t partner) {
  return (uint64_t{static_cast<uint32_t>(partner)} << 32) | static_cast<uint32_t>(INT32_MAX - own);
}

void rehash_pairs(RepeatClasses& rc, size_t slots) {
  rc.pairSlots.assign(slots, RepeatClasses::PairSlot{});
  const size_t mask = slots - 1;
  for (size_t j = 0; j < rc.pairKeys.size(); ++j) {
    const uint64_t key = rc.pairKeys[j];
    size_t i = (key * 0x9E3779B97F4A7C15ull >> 32) & mask;
    while (rc.pairSlots[i].key != 0) i = (i + 1) & mask;
    rc.pairSlots[i] = {key, static_cast<uint32_t>(j + 1)};
  }
}

// The provisional number of a pair: 1, 2, 3... in order of first appearance.
uint32_t pair_number(RepeatClasses& rc, uint64_t key) {
  if (2 * (rc.pairKeys.size() + 1) > rc.pairSlots.size())
    rehash_pairs(rc, std::max<size_t>(1024, 2 * rc.pairSlots.size()));
  const size_t mask = rc.pairSlots.size() - 1;
  for (size_t i = (key * 0x9E3779B97F4A7C15ull >> 32) & mask;; i = (i + 1) & mask) {
    RepeatClasses::PairSlot& slot = rc.pairSlots[i];
    if (slot.key == key) return slot.number;
    if (slot.key == 0) {
      rc.pairKeys.push_back(key);
      slot = {key, static_cast<uint32_t>(rc.pairKeys.size())};
      return slot.number;
    }
  }
}

// Decides every live position in one sweep over each sequence: an extended one takes
// number(own, partner), the provisional number of its pair; the others die. A position is
// rewritten only once its left neighbour has read it, so the sweep reads only old classes.
// Returns the extended positions.
template <class Number>
size_t sweep_pairs(const FamilyTable& ft, std::vector<int32_t>& V, Number&& number) {
  size_t live = 0;
  ForEachSequence(ft, [&](uint32_t, const SequenceEntry& seq) {
    if (seq.length == 0) return;
    const size_t last = seq.start + seq.length - 1;  // cannot grow
    for (size_t p = seq.start; p < last; ++p) {
      const int32_t own = V[p], partner = V[p + 1];
      if (own <= 0) continue;  // retired or dropped by the filter
      if (partner > 0) {
        V[p] = static_cast<int32_t>(number(own, partner));
        ++live;
      } else {
        V[p] = -own;
      }
    }
    if (V[last] > 0) V[last] = -V[last];
  });
  return live;
}

// The cycle in order: the pairs get provisional numbers in order of first appearance (through a
// square table while the classes are few, a hash table beyond), and are then numbered in key
// order in a second sweep.
void extend_in_order(const FamilyTable& ft, DiscoveryState& ds, RepeatClasses& rc) {
  constexpr uint32_t kSquareClasses = 1024;  // a table of up to 4 MB
  const uint32_t K = ds.liveClasses;
  rc.pairKeys.clear();
  size_t live;
  if (K < kSquareClasses) {
    const size_t side = K + 1;
    rc.pairSquare.assign(side * side, 0);
    live = sweep_pairs(ft, rc.V, [&](int32_t own, int32_t partner) {
      uint32_t& slot =
          rc.pairSquare[static_cast<size_t>(own) * side + static_cast<size_t>(partner)];
      if (slot == 0) {
        rc.pairKeys.push_back(pair_key(own, partner));
        slot = static_cast<uint32_t>(rc.pairKeys.size());
      }
      return slot;
    });
  } else {
    rehash_pairs(rc, std::max<size_t>(1024, rc.pairSlots.size()));
    live = sweep_pairs(ft, rc.V, [&](int32_t own, int32_t partner) {
      return pair_number(rc, pair_key(own, partner));
    });
  }

  std::vector<uint32_t> byKey(rc.pairKeys.size());
  std::iota(byKey.begin(), byKey.end(), 0u);
  std::sort(byKey.begin(), byKey.end(),
            [&](uint32_t a, uint32_t b) { return rc.pairKeys[a] < rc.pairKeys[b]; });
  std::vector<int32_t> number(byKey.size() + 1, 0);
  for (size_t r = 0; r < byKey.size(); ++r) number[byKey[r] + 1] = static_cast<int32_t>(r + 1);
  for (int32_t& v : rc.V) {
    const int32_t renumbered = number[static_cast<size_t>(std::max(v, 0))];
    v = v > 0 ? renumbered : v;
  }
  ds.liveClasses = static_cast<uint32_t>(byKey.size());
  rc.live = live;
}

// The cycle over the grouped live positions. Decide every live position, visiting the old classes
// from the highest number down (and each class in ascending positions), and count the extended
// ones per partner class. A live word lies inside its sequence, so from length 2 on a live right
// neighbour is in the same sequence and the longer word ends inside it; at length 1 the last
// residue of each sequence cannot grow. The partner is kept beside each extended position, so
// that nothing below reads V at random but to write it.
void extend_grouped(const FamilyTable& ft, DiscoveryState& ds, RepeatClasses& rc) {
  const uint32_t K = ds.liveClasses;
  auto& V = rc.V;
  rc.extended.clear();
  rc.partner.clear();
  rc.extendedSeq.clear();
  rc.dead.clear();
  rc.bucket.assign(K + 2, RepeatClasses::Bucket{});
  for (uint32_t k = K; k >= 1; --k) {
    uint32_t first = kFirst;
    for (uint32_t i = rc.classStart[k - 1]; i < rc.classStart[k]; ++i) {
      if (i + kAhead < rc.order.size())
        __builtin_prefetch(&V[static_cast<size_t>(rc.order[i + kAhead])]);
      const auto p = static_cast<size_t>(rc.order[i]);
      if (V[p] <= 0) continue;  // retired or dropped by the filter
      const uint32_t seq = rc.orderSeq[i];
      const bool atEnd = ds.wordLength == 1 && static_cast<int64_t>(p) == ft.sequenceEnds[seq];
      const int32_t partner = atEnd ? 0 : V[p + 1];
      if (partner > 0) {
        ++rc.bucket[static_cast<size_t>(partner) + 1].next;
        rc.extended.push_back(static_cast<uint32_t>(p) | first);
        rc.partner.push_back(static_cast<uint32_t>(partner));
        rc.extendedSeq.push_back(seq);
        first = 0;
      } else {
        rc.dead.push_back(static_cast<int32_t>(p));
      }
    }
  }
  for (size_t j = 0; j < rc.dead.size(); ++j) {
    if (j + kAhead < rc.dead.size())
      __builtin_prefetch(&V[static_cast<size_t>(rc.dead[j + kAhead])], 1);
    const auto q = static_cast<size_t>(rc.dead[j]);
    V[q] = -V[q];
  }

  // A stable distribution by partner class yields exactly the order (partner ascending, own class
  // descending) in which the new classes are numbered; a new class starts wherever the own class
  // differs from that of the previous position of the same partner. The old order is no longer
  // read: its storage takes the new one.
  for (size_t m = 1; m < rc.bucket.size(); ++m) rc.bucket[m].next += rc.bucket[m - 1].next;
  const size_t m = rc.extended.size();
  rc.order.resize(m);
  rc.orderSeq.resize(m);
  uint32_t own = 0;
  for (size_t j = 0; j < m; ++j) {
    if (rc.extended[j] & kFirst) ++own;
    RepeatClasses::Bucket& b = rc.bucket[rc.partner[j]];
    const uint32_t starts = b.lastOwn != own ? kFirst : 0;
    b.lastOwn = own;
    rc.orderSeq[b.next] = rc.extendedSeq[j];
    rc.order[b.next++] = static_cast<int32_t>((rc.extended[j] & ~kFirst) | starts);
  }

  // Number the new classes in order and clear the marks.
  rc.classStart.assign(1, 0);
  int32_t c = 0;
  for (size_t i = 0; i < m; ++i) {
    if (i + kAhead < m)
      __builtin_prefetch(&V[static_cast<uint32_t>(rc.order[i + kAhead]) & ~kFirst], 1);
    auto e = static_cast<uint32_t>(rc.order[i]);
    if (e & kFirst) {
      if (i > 0) rc.classStart.push_back(static_cast<uint32_t>(i));
      ++c;
      e &= ~kFirst;
      rc.order[i] = static_cast<int32_t>(e);
    }
    V[e] = c;
  }
  if (m > 0) rc.classStart.push_back(static_cast<uint32_t>(m));
  ds.liveClasses = static_cast<uint32_t>(c);
  rc.live = m;
}
}  // namespace

void Initialize(const FamilyTable& ft, DiscoveryState& ds, RepeatClasses& rc) {
  const size_t n = ft.text.size();
  if (n > static_cast<size_t>(INT32_MAX))
    throw std::length_error("the descriptor discovery takes at most 2147483647 residues (" +
                            std::to_string(n) + " given)");
  ds.liveClasses = 0;
  ds.wordLength = 1;

  std::array<int32_t, 256> classOf{};
  rc.V.assign(n, 0);
  for (size_t p = 0; p < n; ++p) {
    int32_t& c = classOf[static_cast<unsigned char>(ft.text[p])];
    if (c == 0) c = static_cast<int32_t>(++ds.liveClasses);
    rc.V[p] = c;
  }
  rc.live = n;
  rc.grouped = false;
}

bool ShouldGroup(const DiscoveryState& ds, const RepeatClasses& rc) {
  // A sweep in order costs about an eighth of a visit at random per residue, and keeps a tally
  // of some forty bytes per class.
  constexpr uint32_t kMostTallies = uint32_t{1} << 20;
  return !rc.grouped && (rc.live < rc.V.size() / 8 || ds.liveClasses > kMostTallies);
}

void GroupByClass(const FamilyTable& ft, const DiscoveryState& ds, RepeatClasses& rc) {
  // A counting sort of the live positions by class, ascending inside each class.
  rc.classStart.assign(ds.liveClasses + 1, 0);
  for (int32_t v : rc.V)
    if (v > 0) ++rc.classStart[static_cast<size_t>(v)];
  sizes_to_ends(rc.classStart);
  std::vector<uint32_t> cursor(rc.classStart);  // cursor[k - 1]: next slot of class k
  rc.order.assign(rc.classStart.back(), 0);
  rc.orderSeq.assign(rc.classStart.back(), 0);
  ForEachPosition(ft, [&](uint32_t, uint32_t sequence, size_t p) {
    if (rc.V[p] <= 0) return;
    const uint32_t slot = cursor[static_cast<size_t>(rc.V[p]) - 1]++;
    rc.order[slot] = static_cast<int32_t>(p);
    rc.orderSeq[slot] = sequence;
  });
  // The extension cycle files every live position here: sized once, so that they never grow by
  // copies.
  rc.extended.reserve(rc.order.size());
  rc.partner.reserve(rc.order.size());
  rc.extendedSeq.reserve(rc.order.size());
  rc.grouped = true;
}

void Construct(const FamilyTable& ft, DiscoveryState& ds, RepeatClasses& rc) {
  if (rc.grouped)
    extend_grouped(ft, ds, rc);
  else
    extend_in_order(ft, ds, rc);
}
