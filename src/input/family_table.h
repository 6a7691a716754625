// The family table and the concatenated text of the descriptor approaches: Results (families and
// their sequences), T, Drapeau, NbFamilles, NbChaines, Longueur, built from sequences grouped by
// family. Any number of families and sequences; the console's capacities are its runs' checks.
#pragma once
#include <cstdint>
#include <vector>

#include "core/sequence_views.h"
#include "core/work_area.h"

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
