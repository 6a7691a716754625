// The discrimination filter: after every numbering of the repeat classes it decides, class by
// class in ascending class number, which words are discriminative descriptors, records them and,
// from length FilterAt on, retires their occurrences.
//
// Reads the repeat classes, the family table, ALPHA, BETA, LongMot and FilterAt; appends to
// AllDDs, increments NbMot, and writes V (retired = 0, dropped = negative). Any number of families:
// the counters are sized by the family table and only the entries a class touched are read and
// cleared.
#pragma once
#include <cstdint>
#include <vector>

#include "core/work_area.h"
#include "descriptors/repeat_classes.h"

// Counters of one filter pass, sized by the run (sequences and families), never by capacity,
// and cleared only where a class touched them.
struct FilterScratch {
  std::vector<uint32_t> seqCount;  // occurrences per sequence number
  std::vector<uint32_t> famCount;  // sequences containing the word, per family number
  std::vector<uint32_t> famOf;     // family number of every sequence number
  std::vector<uint32_t> famSize;   // nbSequences per family number
  std::vector<uint32_t> touchedSeqs, touchedFams;
  std::vector<int32_t> retire;
  bool records = true;  // keep each descriptor's presence
};

// Sizes the counters for the family table.
void PrepareFilter(const FamilyTable& ft, FilterScratch& fs);

// One filter pass over the live classes of length LongMot.
//
// A class whose best in-family share (largest count/size over the families, single precision)
// is below ALPHA is dropped at once (its positions are marked dead): every longer word through
// those positions occurs live in no more sequences of any family, so neither the class nor any
// extension of it could ever be accepted, and dropping it early changes no result.
void Filter(const FamilyTable& ft, const Settings& s, DiscoveryState& ds, RepeatClasses& rc,
            FilterScratch& fs);
