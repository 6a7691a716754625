// The discovery driver: first numbering, then one extension cycle and one filter pass per
// residue until the words reach the longest sequence or no live class is left.
#include "engine/descriptors/discovery.h"

#include <utility>

#include "engine/descriptors/family_table.h"
#include "engine/descriptors/filter.h"
#include "engine/descriptors/repeat_classes.h"

namespace {
// After every filter pass: the word length reached, of the longest sequence's.
void report(const ProgressFn& progress, const FamilyTable& ft, const DiscoveryState& ds) {
  if (progress)
    progress({"descriptor discovery", ds.wordLength, ft.longest, "residues", ds.accepted.size()});
}
}  // namespace

std::vector<Descriptor> discover_descriptors(const FamilyTable& ft,
                                             const DescriptorSettings& settings,
                                             DiscoveryRecords records, const ProgressFn& progress) {
  DiscoveryState ds;
  RepeatClasses rc;
  FilterScratch fs;
  Initialize(ft, ds, rc);
  PrepareFilter(ft, fs);
  fs.records = records == DiscoveryRecords::All;
  Filter(ft, settings, ds, rc, fs);
  report(progress, ft, ds);
  do {
    if (ShouldGroup(ds, rc)) GroupByClass(ft, ds, rc);
    Construct(ft, ds, rc);
    ++ds.wordLength;
    if (ShouldGroup(ds, rc)) GroupByClass(ft, ds, rc);
    Filter(ft, settings, ds, rc, fs);
    report(progress, ft, ds);
  } while (ds.wordLength < ft.longest && ds.liveClasses != 0);
  return std::move(ds.accepted);
}

std::vector<Descriptor> discover_descriptors(SequenceViews sequences,
                                             const std::vector<std::vector<uint32_t>>& groups,
                                             const DescriptorSettings& settings,
                                             DiscoveryRecords records, const ProgressFn& progress) {
  return discover_descriptors(build_family_table(sequences, groups), settings, records, progress);
}
