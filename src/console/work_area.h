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

// The settings of a descriptor run: the discrimination thresholds and the similarity threshold
// of ddsm, as the prompts read them, and the filtering start the reports name (the engine's).
struct Settings {
  float ALPHA = 0, BETA = 0, Score = 0;
  static constexpr int32_t FilterAt = static_cast<int32_t>(kRetireFrom);

  void reset() { *this = Settings(); }
  // The engine's thresholds: each float converts to double and back unchanged.
  DescriptorSettings thresholds() const { return {ALPHA, BETA}; }
};

// What Discriminate leaves: the accepted descriptors in order of acceptance (AllDDs[0] is the
// first; the console's lists run from the most recent one back, so "list order" is this vector
// read from the back) and their number.
struct DiscoveryResults {
  std::vector<Descriptor> AllDDs;
  uint32_t NbMot = 0;
};

// The ddsm descriptor table that MSDescriptors fills from the pruning: parallel columns, an
// entry always moves as a whole.
struct DescriptorTable {
  std::vector<std::string> MLst;   // descriptor text, kept whole
  std::vector<float> CLst;         // mutation probability
  std::vector<uint8_t> CLst2;      // keep mark: 0 or 1
  std::vector<std::string> CLst3;  // class name of the descriptor's first family, kept whole
  uint32_t NbMSDD = 0;

  // Appends an entry with probability 0 and no mark.
  void add(std::string text, std::string className) {
    MLst.push_back(std::move(text));
    CLst.push_back(0.0f);
    CLst2.push_back(0);
    CLst3.push_back(std::move(className));
    ++NbMSDD;
  }
};

// Everything a console run works on.
struct WorkArea {
  Console con;
  FileNames names;
  InputTables input;
  ClassGrouping classes;
  FamilyTable families;
  DiscoveryResults discovery;
  DescriptorTable descriptors;
  Settings settings;
};
