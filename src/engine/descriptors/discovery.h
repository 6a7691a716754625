// The descriptor discovery, the engine of dd and ddsm: repeat classes grown one residue per
// cycle over the family table's text, filtered after every cycle.
//
// Reads the family table and the thresholds, and leaves the table as it was. Prints nothing:
// `progress`, when given, hears after every filter pass, so that the caller can show how far
// the discovery has come.
#pragma once
#include <cstdint>
#include <vector>

#include "core/progress_fn.h"
#include "core/sequence_views.h"
#include "engine/descriptors/descriptor.h"
#include "engine/descriptors/family_table.h"

// What a discovery keeps besides the descriptors (text, families, support): the console run
// writes its context from each descriptor's per-sequence presence. A caller that needs only the
// descriptors leaves it out, which saves memory in proportion to the sequences that contain
// each descriptor.
enum class DiscoveryRecords { All, DescriptorsOnly };

// The accepted descriptors in order of acceptance: by word length, shorter first, and within
// one length by class number (the order Construct numbers the classes in). The console's lists
// read them from the back, the most recent one first.
std::vector<Descriptor> discover_descriptors(const FamilyTable& ft,
                                             const DescriptorSettings& settings,
                                             DiscoveryRecords records = DiscoveryRecords::All,
                                             const ProgressFn& progress = {});

// The whole engine in one call: the family table of `groups` (build_family_table), then the
// discovery on it.
std::vector<Descriptor> discover_descriptors(SequenceViews sequences,
                                             const std::vector<std::vector<uint32_t>>& groups,
                                             const DescriptorSettings& settings,
                                             DiscoveryRecords records = DiscoveryRecords::All,
                                             const ProgressFn& progress = {});
