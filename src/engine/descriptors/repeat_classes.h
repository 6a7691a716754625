// Repeat classes of the concatenated text: every position holds the number of the class of the
// word of the current length (wordLength) that starts there. Initialize numbers the positions by
// character; Construct lengthens every live word by one residue.
//
// Reads the family table and the word length; writes the number of live classes and the state
// below. The word length is advanced by the caller. Positions are 32-bit: a text of more than
// 2^31 - 1 residues is refused (std::length_error) before anything is built.
//
// Two layouts of the same classes. While most positions are live and the classes are few, each
// cycle sweeps the text in order: the classes need no grouping, and memory is read in order. Once
// few positions are live (or the classes are many), the live positions are grouped by class
// (GroupByClass) and each cycle visits only them. Both give the same classes, numbers included.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/descriptors/descriptor.h"
#include "engine/descriptors/family_table.h"

// Plain pages throughout: most of the work reads the tables in order, and a huge page costs far
// more to touch the first time where memory must first be compacted.
struct RepeatClasses {
  // Per position of the text: > 0 the live class, < 0 dead (the class it had, negated), 0 retired.
  std::vector<int32_t> V;
  size_t live = 0;  // positions with V > 0

  // Set by GroupByClass, kept from then on.
  bool grouped = false;
  // The live positions grouped by class: class k (1-based) is order[classStart[k-1]] up to
  // order[classStart[k]], positions ascending, so its first element is the first occurrence.
  // Positions of a class may have been marked dead or retired by the filter since.
  std::vector<int32_t> order;
  std::vector<uint32_t> classStart;
  std::vector<uint32_t> orderSeq;  // the sequence number (from 1) of order[i]

  // Scratch storage of Construct, kept between cycles to avoid reallocations. Grouped: the
  // extended positions (the first of each old class marked) with their partner classes and
  // sequences, the dead positions, and per partner class the next slot and the last own class
  // filed there. In order: the distinct (own, partner) pairs met, by provisional number.
  std::vector<uint32_t> extended, partner, extendedSeq;
  std::vector<int32_t> dead;
  struct Bucket {
    uint32_t next = 0, lastOwn = 0;
  };
  std::vector<Bucket> bucket;
  struct PairSlot {
    uint64_t key = 0;  // 0: empty
    uint32_t number = 0;
  };
  std::vector<uint64_t> pairKeys;    // [number - 1]
  std::vector<PairSlot> pairSlots;   // open addressing, a power of two long
  std::vector<uint32_t> pairSquare;  // [own * (K + 1) + partner] while the classes are few
};

// First numbering: characters are numbered 1, 2, 3... in the order of their first appearance in
// the text (equal bytes, of any value, share a class). Sets liveClasses and wordLength = 1.
void Initialize(const FamilyTable& ft, DiscoveryState& ds, RepeatClasses& rc);

// Whether the classes are better grouped before the next step: few live positions left, or too
// many classes for the per-class tallies of a sweep in order.
bool ShouldGroup(const DiscoveryState& ds, const RepeatClasses& rc);

// Groups the live positions by class (order, classStart, orderSeq).
void GroupByClass(const FamilyTable& ft, const DiscoveryState& ds, RepeatClasses& rc);

// One extension cycle from words of length wordLength to wordLength + 1. A live position whose word
// can grow inside its sequence and whose right neighbour is live joins the class of the pair
// (its partner's class, its own class); the others die. New classes are numbered by partner
// class ascending, then own class descending: that order fixes the order in which the filter
// visits the classes, hence the descriptor numbers. Grouped, the work is proportional to the
// live positions; in order, to the residues.
void Construct(const FamilyTable& ft, DiscoveryState& ds, RepeatClasses& rc);
