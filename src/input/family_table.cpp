// The family table, the concatenated text T and the end positions Drapeau.
#include "input/family_table.h"

#include <algorithm>
#include <new>

#include "core/capacity.h"
#include "core/run_exit.h"

void FillTable(WorkArea& wa) {
  wa.Results.clear();
  wa.NbFamilles = 0;
  wa.NbChaines = 0;
  wa.Longueur = 0;
  size_t total = 0;
  for (const auto& group : wa.SeqGroups)
    for (int s : group) total += wa.P[static_cast<size_t>(s)].size();
  check_capacity("residues in the concatenated text", static_cast<long>(total), MAX_KMR - 1);
  try {
    wa.T.clear();
    wa.T.reserve(total);
  } catch (const std::bad_alloc&) {
    wa.con.print("\n T est null");
    end_run(1);
  }
  wa.Drapeau.assign(1, 0);
  for (const auto& group : wa.SeqGroups) {
    FamilyEntry fam;
    fam.number = ++wa.NbFamilles;
    for (int s : group) {
      const std::string& seq = wa.P[static_cast<size_t>(s)];
      const auto L = static_cast<uint32_t>(seq.size());
      wa.Longueur = std::max(wa.Longueur, L);
      ++fam.nbSequences;
      SequenceEntry entry;
      entry.number = ++wa.NbChaines;
      entry.length = L;
      entry.start = static_cast<uint32_t>(wa.T.size());
      fam.sequences.push_back(std::move(entry));
      wa.T += seq;
      // An empty first sequence ends at -1: it covers no position of T.
      wa.Drapeau.push_back(static_cast<int64_t>(wa.T.size()) - 1);
    }
    wa.Results.push_back(std::move(fam));
  }
  wa.Drapeau[0] = 0;
}

uint32_t GetFamiliesNumber(const WorkArea& wa) { return wa.NbFamilles; }

uint32_t SequenceOfPosition(const WorkArea& wa, int64_t p) {
  // The smallest j >= 1 with Drapeau[j] >= p.
  auto it = std::lower_bound(wa.Drapeau.begin() + 1, wa.Drapeau.end(), p);
  return static_cast<uint32_t>(it - wa.Drapeau.begin());
}
