// The family table and the concatenated text of the descriptor approaches: Results (families and
// their sequences), T, Drapeau, NbFamilles, NbChaines, Longueur, built from sequences grouped by
// family. Any number of families and sequences; the console's capacities are its runs' checks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/sequence_views.h"

struct SequenceEntry {
  uint32_t number = 0;  // from 1 over the whole grouped order
  uint32_t length = 0;  // residues
  uint64_t start = 0;   // position in T of the first residue
};

struct FamilyEntry {
  uint32_t number = 0;  // from 1, in the order of the class names
  uint32_t nbSequences = 0;
  std::vector<SequenceEntry> sequences;  // in grouped order
};

// The family table and the concatenated text of the descriptor approaches (FillTable).
struct FamilyTable {
  std::string T;                 // all sequences concatenated, family after family
  std::vector<int64_t> Drapeau;  // [j] = position in T of the last residue of sequence j; [0] = 0
                                 // (signed: an empty first sequence ends at -1)
  std::vector<FamilyEntry> Results;
  uint32_t NbFamilles = 0, NbChaines = 0, Longueur = 0;

  void reset() { *this = FamilyTable(); }
};

// Builds `ft` from `groups`: family f + 1 holds the sequences groups[f] (indices of
// `sequences`), in that order. Families and sequences are numbered from 1 in this order, and T
// holds the sequences side by side in it. A group may be empty: its family has no sequence.
void FillTable(SequenceViews sequences, const std::vector<std::vector<uint32_t>>& groups,
               FamilyTable& ft);

// The total of residues FillTable would put in T.
uint64_t GroupedResidues(SequenceViews sequences, const std::vector<std::vector<uint32_t>>& groups);

// The sequence number (1-based) holding position p of T; Drapeau must be filled.
uint32_t SequenceOfPosition(const FamilyTable& ft, int64_t p);

// Calls visit(family number, sequence) for every sequence, in the order of T.
template <class Visit>
void ForEachSequence(const FamilyTable& ft, Visit&& visit) {
  for (const FamilyEntry& fam : ft.Results)
    for (const SequenceEntry& seq : fam.sequences) visit(fam.number, seq);
}

// Calls visit(family number, sequence number, position) for every position of T, in order.
template <class Visit>
void ForEachPosition(const FamilyTable& ft, Visit&& visit) {
  ForEachSequence(ft, [&](uint32_t family, const SequenceEntry& seq) {
    for (size_t p = seq.start; p < seq.start + seq.length; ++p) visit(family, seq.number, p);
  });
}
