// The shared work area, in typed parts. Every step takes only the parts it reads and writes; the
// console runs hold all of them in one WorkArea, the workflow commands only the parts they use.
// Storage is allocated on demand and sized by the input, never by a capacity: the console's
// capacities are checked by its runs (core/capacity.h), before any part is filled.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/console.h"

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

struct SequenceEntry {
  uint32_t number = 0;  // from 1 over the whole grouped order
  uint32_t length = 0;  // residues
  uint64_t start = 0;   // position in T of the first residue
};

struct FamilyEntry {
  uint32_t number = 0;  // from 1, in the order of the class names
  uint32_t nbSequences = 0;
  std::vector<SequenceEntry> sequences;  // in grouped order
};

// The family table and the concatenated text of the descriptor approaches (FillTable).
struct FamilyTable {
  std::string T;                 // all sequences concatenated, family after family
  std::vector<int64_t> Drapeau;  // [j] = position in T of the last residue of sequence j; [0] = 0
                                 // (signed: an empty first sequence ends at -1)
  std::vector<FamilyEntry> Results;
  uint32_t NbFamilles = 0, NbChaines = 0, Longueur = 0;

  void reset() { *this = FamilyTable(); }
};

// An accepted discriminative descriptor: its text is `length` characters of T from `start`.
struct DDEntry {
  uint32_t number = 0;             // 1, 2, ... in order of acceptance
  int64_t start = 0;               // first (lowest) live occurrence when accepted
  std::vector<uint32_t> families;  // final tied set, lowest number first (the head of the stack)
  int64_t length = 0;
  uint32_t familyCount = 0;  // sequences of the best family that contain the word
  uint32_t familySize = 0;   // sequences of the best family
  // Live occurrences per sequence, stored sparse: (sequence number from 1, count), ascending
  // sequence numbers, only sequences with a count above 0.
  std::vector<std::pair<uint32_t, uint32_t>> presence;
};

// What a descriptor discovery leaves: the accepted descriptors in order of acceptance
// (AllDDs[0] is number 1; the old list ran from the most recent one back, so "list order" is
// this vector read from the back) and the state of the last cycle.
struct DiscoveryState {
  uint32_t NbrClasses = 0, LongMot = 1, NbMot = 0;
  std::vector<DDEntry> AllDDs;

  void reset() { *this = DiscoveryState(); }
};

// The settings of a run: the discrimination thresholds, the similarity threshold of ddsm and the
// fixed settings of the discovery.
struct Settings {
  float ALPHA = 0, BETA = 0, Score = 0;
  int32_t Step = 1, FilterAt = 3;  // what every descriptor run sets

  void reset() { *this = Settings(); }
};

// The ddsm descriptor table: parallel columns, an entry always moves as a whole.
struct DescriptorTable {
  std::vector<std::string> MLst;   // descriptor text, kept whole
  std::vector<float> CLst;         // mutation probability
  std::vector<uint8_t> CLst2;      // keep mark: 0 or 1
  std::vector<std::string> CLst3;  // class name of the descriptor's first family, kept whole
  uint32_t NbMSDD = 0;

  void reset() { *this = DescriptorTable(); }
  // Appends an entry with probability 0 and no mark.
  void add(std::string text, std::string className);
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
