// Descriptor discovery: repeat classes grown one residue per cycle over T, filtered after every
// cycle. Reads T, Drapeau, Results, NbFamilles, NbChaines, Longueur, ALPHA, BETA, Step and
// FilterAt; leaves the accepted descriptors in AllDDs (order of acceptance) and NbMot, and the
// hit records on the families and sequences of Results.
#pragma once
#include <string_view>

#include "core/work_area.h"

void Discriminate(WorkArea& wa);

// The text of a descriptor: `length` characters of T from `start`.
inline std::string_view DescriptorText(const WorkArea& wa, const DDEntry& dd) {
  return std::string_view(wa.T).substr(static_cast<size_t>(dd.start), static_cast<size_t>(dd.length));
}
