// Repeat classes of the concatenated text T: every position holds the number of the class of the
// word of the current length LongMot that starts there. Initialize numbers the positions by
// character; Construct lengthens every live word by one residue.
//
// Reads the family table (T, Drapeau, Results), Step and LongMot; writes NbrClasses, NbMot
// (Initialize) and the state below. LongMot is advanced by the caller. Positions are 32-bit: a
// text of more than 2^31 - 1 residues is refused (std::length_error) before anything is built.
#pragma once
#include <cstdint>
#include <vector>

#include "core/big_vector.h"
#include "core/work_area.h"

// The tables read or written at random positions take huge pages (BigVector); those only read
// and written in order do not, since a huge page costs more to touch the first time.
struct RepeatClasses {
  // Per position of T: > 0 the live class, < 0 dead (the class it had, negated), 0 retired.
  BigVector<int32_t> V;
  // The live positions grouped by class: class k (1-based) is order[classStart[k-1]] up to
  // order[classStart[k]], positions ascending, so its first element is the first occurrence.
  // Positions of a class may have been marked dead or retired by the filter since.
  BigVector<int32_t> order;
  std::vector<uint32_t> classStart;
  // Sequence number (from 1) of every position of T.
  BigVector<uint32_t> seqOf;

  // Scratch storage of Construct, kept between cycles to avoid reallocations.
  std::vector<int32_t> extended, dead;
  BigVector<uint32_t> bucket;
};

// First numbering: characters are numbered 1, 2, 3... in the order of their first appearance in
// T (equal bytes, of any value, share a class). Sets NbrClasses and LongMot = 1.
void Initialize(const FamilyTable& ft, DiscoveryState& ds, RepeatClasses& rc);

// One extension cycle from words of length LongMot to LongMot + 1. A live position whose word
// can grow inside its sequence and whose right neighbour is live joins the class of the pair
// (its partner's class, its own class); the others die. New classes are numbered by partner
// class ascending, then own class descending: that order fixes the order in which the filter
// visits the classes, hence the descriptor numbers. Work is proportional to the live positions.
void Construct(const FamilyTable& ft, const Settings& s, DiscoveryState& ds, RepeatClasses& rc);
