// The shared work area, in typed parts. Every step takes only the parts it reads and writes; the
// console runs hold all of them in one WorkArea, the workflow commands only the parts they use.
// Storage is allocated on demand and sized by the input, never by a capacity: the console's
// capacities are checked by its runs (console/capacity.h), before any part is filled.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "console/console.h"
#include "engine/descriptors/descriptor.h"
#include "engine/descriptors/family_table.h"
#include "engine/substitution/pruning.h"

// The file-name settings of the entry: the approach keyword and the three names it hands on.
struct FileNames {
  std::string algo, fichClassif, fichSeq, fichContext;
};

// The sequence tables the readers fill: P (sampled), D (left out of the sample), the copies of
// the n-gram run (SLst) and of the ddsm test set (SLstT), and their counters.
struct InputTables {
  std::vector<std::string> P;
  std::vector<std::string> D;
  std::vector<std::string> SLst;
  std::vector<std::string> SLstT;
  int Tot = 0, Sam = 0, Tot1 = 0, Sam1 = 0;

  void reset() { *this = InputTables(); }
};

// The classification file's names and the family grouping of the sequences, as the second stage
// of FormatFile leaves them.
struct ClassGrouping {
  std::vector<std::string> LstClsForMSDD;  // class names in file order, whole
  // SeqFile.seq as written: one group per '/' line, holding ordinals of P in file order.
  std::vector<std::vector<uint32_t>> SeqGroups;
  // The label lines read for the sequences written to SeqFile.seq, in order (label i belongs to
  // sequence number i + 1).
  std::vector<std::string> Labels;

  void reset() { *this = ClassGrouping(); }
};

// Everything a console run works on.
struct WorkArea {
  Console con;
  FileNames names;
  InputTables input;
  ClassGrouping classes;
  FamilyTable families;
  DiscoveryState discovery;
  DescriptorTable descriptors;
  Settings settings;
};
