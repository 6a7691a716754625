// The family table, the concatenated text T and the end positions Drapeau.
#include "engine/descriptors/family_table.h"

#include <algorithm>

uint64_t GroupedResidues(SequenceViews sequences,
                         const std::vector<std::vector<uint32_t>>& groups) {
  uint64_t total = 0;
  for (const auto& group : groups)
    for (uint32_t s : group) total += sequences[s].size();
  return total;
}

void FillTable(SequenceViews sequences, const std::vector<std::vector<uint32_t>>& groups,
               FamilyTable& ft) {
  ft.reset();
  ft.T.reserve(GroupedResidues(sequences, groups));
  ft.Drapeau.assign(1, 0);
  ft.Results.reserve(groups.size());
  for (const auto& group : groups) {
    FamilyEntry fam;
    fam.number = ++ft.NbFamilles;
    fam.sequences.reserve(group.size());
    for (uint32_t s : group) {
      const std::string_view seq = sequences[s];
      const auto L = static_cast<uint32_t>(seq.size());
      ft.Longueur = std::max(ft.Longueur, L);
      ++fam.nbSequences;
      SequenceEntry entry;
      entry.number = ++ft.NbChaines;
      entry.length = L;
      entry.start = ft.T.size();
      fam.sequences.push_back(std::move(entry));
      ft.T += seq;
      // An empty first sequence ends at -1: it covers no position of T.
      ft.Drapeau.push_back(static_cast<int64_t>(ft.T.size()) - 1);
    }
    ft.Results.push_back(std::move(fam));
  }
  ft.Drapeau[0] = 0;
}

uint32_t SequenceOfPosition(const FamilyTable& ft, int64_t p) {
  // The smallest j >= 1 with Drapeau[j] >= p.
  auto it = std::lower_bound(ft.Drapeau.begin() + 1, ft.Drapeau.end(), p);
  return static_cast<uint32_t>(it - ft.Drapeau.begin());
}
