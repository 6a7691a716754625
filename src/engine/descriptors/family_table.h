// The family table and the concatenated text of the descriptor approaches: the families and
// their sequences, the text, the end of every sequence in it and the counts, built from
// sequences grouped by family. Any number of families and sequences; the console's capacities
// are its runs' checks.
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
  uint32_t number = 0;                   // from 1, in the order of the class names
  std::vector<SequenceEntry> sequences;  // in grouped order

  uint32_t size() const { return static_cast<uint32_t>(sequences.size()); }
};

struct FamilyTable {
  std::string text;  // all sequences concatenated, family after family
  // [j] = position in the text of the last residue of sequence j; [0] = 0 (signed: an empty
  // first sequence ends at -1).
  std::vector<int64_t> sequenceEnds;
  std::vector<FamilyEntry> families;
  uint32_t familyCount = 0, sequenceCount = 0;
  uint32_t longest = 0;  // residues of the longest sequence
};

// The table of `groups`: family f + 1 holds the sequences groups[f] (indices of `sequences`), in
// that order. Families and sequences are numbered from 1 in this order, and the text holds the
// sequences side by side in it. A group may be empty: its family has no sequence.
FamilyTable build_family_table(SequenceViews sequences,
                               const std::vector<std::vector<uint32_t>>& groups);

// The total of residues build_family_table would put in the text.
uint64_t GroupedResidues(SequenceViews sequences, const std::vector<std::vector<uint32_t>>& groups);

// The sequence number (1-based) holding position p of the text.
uint32_t SequenceOfPosition(const FamilyTable& ft, int64_t p);

// Calls visit(family number, sequence) for every sequence, in the order of the text.
template <class Visit>
void ForEachSequence(const FamilyTable& ft, Visit&& visit) {
  for (const FamilyEntry& fam : ft.families)
    for (const SequenceEntry& seq : fam.sequences) visit(fam.number, seq);
}

// Calls visit(family number, sequence number, position) for every position of the text, in
// order.
template <class Visit>
void ForEachPosition(const FamilyTable& ft, Visit&& visit) {
  ForEachSequence(ft, [&](uint32_t family, const SequenceEntry& seq) {
    for (size_t p = seq.start; p < seq.start + seq.length; ++p) visit(family, seq.number, p);
  });
}
