// The discrimination filter: after every numbering of the repeat classes it decides, class by
// class in ascending class number, which words are discriminative descriptors, records them and,
// from length kRetireFrom on, retires their occurrences.
//
// Reads the repeat classes, the family table, the thresholds and the word length; appends to the
// accepted descriptors and writes V (retired = 0, dropped = negative). Any number of families:
// the counters are sized by the family table and only the entries a class touched are read and
// cleared.
#pragma once
#include <cstdint>
#include <limits>
#include <vector>

#include "engine/descriptors/descriptor.h"
#include "engine/descriptors/family_table.h"
#include "engine/descriptors/repeat_classes.h"

// The best family of a class: the largest count; among the tied families the smallest size;
// among those the highest number. The search for the smallest size starts above any family
// size (the old table started at 6000, above the largest family the console runs take, so the
// answer is the same).
struct BestFamily {
  uint32_t count = 0, size = std::numeric_limits<uint32_t>::max();
  uint32_t number = 0;  // 0: the word occurs nowhere
  float share = 0;      // the largest count / size over all families, best or not
};

// Counters of one filter pass, sized by the run (sequences and families), never by capacity,
// and cleared only where a class touched them.
struct FilterScratch {
  std::vector<uint32_t> seqCount;  // occurrences per sequence number
  std::vector<uint32_t> famCount;  // sequences containing the word, per family number
  std::vector<uint32_t> famOf;     // family number of every sequence number
  std::vector<uint32_t> famSize;   // sequences per family number
  std::vector<uint32_t> touchedSeqs, touchedFams;
  std::vector<int32_t> retire;
  bool records = true;  // keep each descriptor's presence

  // A pass in order over ungrouped classes: one tally per class, and what becomes of each class
  // (0 kept, -1 dropped, else 1 + the index of its descriptor among the accepted).
  struct Tally {
    uint32_t lastSeq = 0, family = 0, inFamily = 0;  // the family being counted
    uint32_t sequences = 0;
    int64_t first = -1;  // the first occurrence
    BestFamily best;
  };
  std::vector<Tally> tallies;
  std::vector<int64_t> fate;
};

// Sizes the counters for the family table.
void PrepareFilter(const FamilyTable& ft, FilterScratch& fs);

// One filter pass over the live classes of length wordLength, grouped or in order as the classes
// are.
//
// A class whose best in-family share (largest count/size over the families, single precision)
// is below alpha is dropped at once (its positions are marked dead): every longer word through
// those positions occurs live in no more sequences of any family, so neither the class nor any
// extension of it could ever be accepted, and dropping it early changes no result.
void Filter(const FamilyTable& ft, const DescriptorSettings& s, DiscoveryState& ds,
            RepeatClasses& rc, FilterScratch& fs);
