// The family table, the concatenated text and the end of every sequence in it.
#include "engine/descriptors/family_table.h"

#include <algorithm>

uint64_t GroupedResidues(SequenceViews sequences,
                         const std::vector<std::vector<uint32_t>>& groups) {
  uint64_t total = 0;
  for (const auto& group : groups)
    for (uint32_t s : group) total += sequences[s].size();
  return total;
}

FamilyTable build_family_table(SequenceViews sequences,
                               const std::vector<std::vector<uint32_t>>& groups) {
  FamilyTable ft;
  ft.text.reserve(GroupedResidues(sequences, groups));
  ft.sequenceEnds.assign(1, 0);
  ft.families.reserve(groups.size());
  for (const auto& group : groups) {
    FamilyEntry fam;
    fam.number = ++ft.familyCount;
    fam.sequences.reserve(group.size());
    for (uint32_t s : group) {
      const std::string_view seq = sequences[s];
      const auto L = static_cast<uint32_t>(seq.size());
      ft.longest = std::max(ft.longest, L);
      SequenceEntry entry;
      entry.number = ++ft.sequenceCount;
      entry.length = L;
      entry.start = ft.text.size();
      fam.sequences.push_back(std::move(entry));
      ft.text += seq;
      // An empty first sequence ends at -1: it covers no position of the text.
      ft.sequenceEnds.push_back(static_cast<int64_t>(ft.text.size()) - 1);
    }
    ft.families.push_back(std::move(fam));
  }
  ft.sequenceEnds[0] = 0;
  return ft;
}

uint32_t SequenceOfPosition(const FamilyTable& ft, int64_t p) {
  // The smallest j >= 1 with sequenceEnds[j] >= p.
  auto it = std::lower_bound(ft.sequenceEnds.begin() + 1, ft.sequenceEnds.end(), p);
  return static_cast<uint32_t>(it - ft.sequenceEnds.begin());
}
