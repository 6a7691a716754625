// The descriptor discovery, the engine of dd and ddsm: repeat classes grown one residue per
// cycle over T, filtered after every cycle.
//
// Reads the family table (T, Drapeau, Results, NbFamilles, NbChaines, Longueur) and the settings
// (ALPHA, BETA, Step, FilterAt); leaves the accepted descriptors (AllDDs, in order of
// acceptance) and NbMot in the discovery state, and leaves the table as it was. Prints nothing:
// `progress`, when given, hears after every filter pass, so that the caller can show how far
// the discovery has come.
#pragma once
#include <functional>
#include <string_view>

#include "core/progress_fn.h"
#include "core/sequence_views.h"
#include "engine/descriptors/descriptor.h"
#include "engine/descriptors/family_table.h"

// What a discovery keeps besides the descriptors (text, families, support): the console run
// writes its context from each descriptor's per-sequence presence. A caller that needs only the
// descriptors leaves it out, which saves memory in proportion to the sequences that contain
// each descriptor.
enum class DiscoveryRecords { All, DescriptorsOnly };

// Only Step 1 is taken (std::invalid_argument otherwise): classes are built one residue at a
// time, and other steps would leave positions that the extension never visits with stale
// class numbers.
void Discriminate(const FamilyTable& ft, const Settings& s, DiscoveryState& ds,
                  const ProgressFn& progress = {},
                  DiscoveryRecords records = DiscoveryRecords::All);

// The whole engine in one call: the family table of `groups` (FillTable), then Discriminate.
void DiscoverDescriptors(SequenceViews sequences, const std::vector<std::vector<uint32_t>>& groups,
                         const Settings& s, FamilyTable& ft, DiscoveryState& ds,
                         const ProgressFn& progress = {},
                         DiscoveryRecords records = DiscoveryRecords::All);

// The text of a descriptor: `length` characters of T from `start`.
inline std::string_view DescriptorText(const FamilyTable& ft, const DDEntry& dd) {
  return std::string_view(ft.T).substr(static_cast<size_t>(dd.start),
                                       static_cast<size_t>(dd.length));
}
