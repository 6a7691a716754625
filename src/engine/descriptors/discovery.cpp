// The discovery driver: first numbering, then one extension cycle and one filter pass per
// residue until the words reach the longest sequence or no live class is left.
#include "engine/descriptors/discovery.h"

#include <stdexcept>
#include <string>

#include "engine/descriptors/family_table.h"
#include "engine/descriptors/filter.h"
#include "engine/descriptors/repeat_classes.h"

namespace {
// After every filter pass: the word length reached, of the longest sequence's.
void report(const ProgressFn& progress, const FamilyTable& ft, const DiscoveryState& ds) {
  if (progress) progress({"descriptor discovery", ds.LongMot, ft.Longueur, "residues", ds.NbMot});
}
}  // namespace

void Discriminate(const FamilyTable& ft, const Settings& s, DiscoveryState& ds,
                  const ProgressFn& progress, DiscoveryRecords records) {
  if (s.Step != 1)
    throw std::invalid_argument("the descriptor discovery works only with step 1 (step " +
                                std::to_string(s.Step) + " given)");
  ds.reset();

  RepeatClasses rc;
  FilterScratch fs;
  Initialize(ft, ds, rc);
  PrepareFilter(ft, fs);
  fs.records = records == DiscoveryRecords::All;
  Filter(ft, s, ds, rc, fs);
  report(progress, ft, ds);
  do {
    if (ShouldGroup(ds, rc)) GroupByClass(ft, ds, rc);
    Construct(ft, ds, rc);
    ++ds.LongMot;
    if (ShouldGroup(ds, rc)) GroupByClass(ft, ds, rc);
    Filter(ft, s, ds, rc, fs);
    report(progress, ft, ds);
  } while (ds.LongMot < ft.Longueur && ds.NbrClasses != 0);
}

void DiscoverDescriptors(SequenceViews sequences, const std::vector<std::vector<uint32_t>>& groups,
                         const Settings& s, FamilyTable& ft, DiscoveryState& ds,
                         const ProgressFn& progress, DiscoveryRecords records) {
  FillTable(sequences, groups, ft);
  Discriminate(ft, s, ds, progress, records);
}
