// The shared work area of one run: sequence tables, counters, family tables, descriptor list and
// settings, with the shapes and capacities of limits.h. One instance is passed to every step;
// storage is allocated on demand, so a small run touches little memory.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/console.h"
#include "core/limits.h"

// A descriptor's record on a family it names (pushed when the descriptor is accepted).
struct FamilyHit {
  int32_t start;
  int32_t length;
};

// A descriptor's record on a sequence that contains it.
struct SequenceHit {
  uint32_t ddNumber;
  int32_t start;
  int32_t length;
  int32_t occurrences;  // live occurrences in this sequence
  int32_t familyCount;  // sequences of this sequence's family that contain the word
  int32_t totalCount;   // sequences of all families that contain the word
};

struct SequenceEntry {
  uint32_t number = 0;  // from 1 over the whole SeqFile.seq
  uint32_t length = 0;  // residues
  uint32_t start = 0;   // position in T of the first residue
  uint32_t nbDDs = 0;
  std::vector<SequenceHit> hits;  // a stack: the most recent record is the last element
};

struct FamilyEntry {
  uint32_t number = 0;  // from 1, in the order of the class names
  uint32_t nbSequences = 0;
  uint32_t nbDDs = 0;
  std::vector<SequenceEntry> sequences;  // in file order
  std::vector<FamilyHit> hits;           // a stack: the most recent record is the last element
};

// An accepted discriminative descriptor: its text is `length` characters of T from `start`.
struct DDEntry {
  uint32_t number = 0;            // 1, 2, ... in order of acceptance
  int32_t start = 0;              // first (lowest) live occurrence when accepted
  std::vector<int32_t> families;  // final tied set, lowest number first (the head of the stack)
  int32_t length = 0;
  int32_t familyCount = 0;  // sequences of the best family that contain the word
  int32_t familySize = 0;   // sequences of the best family
  // Live occurrences per sequence, stored sparse: (sequence number from 1, count), ascending
  // sequence numbers, only sequences with a count above 0.
  std::vector<std::pair<uint32_t, uint32_t>> presence;

  // Occurrences of the descriptor in sequence `seq` (1-based); 0 when absent.
  uint32_t presence_of(uint32_t seq) const;
};

struct WorkArea {
  Console con;

  // File-name settings written by the entry.
  std::string algo, fichClassif, fichSeq, fichContext;

  // Sequence tables (readers).
  std::vector<std::string> P;      // sampled sequences, file order
  std::vector<std::string> D;      // sequences left out of the sample, file order
  std::vector<std::string> SLst;   // the sequences of the n-gram run
  std::vector<std::string> SLstT;  // the test sequences of the ddsm run
  int Tot = 0, Sam = 0, Tot1 = 0, Sam1 = 0;

  // Classification file (second stage of FormatFile).
  std::vector<std::string> LstClsForMSDD;  // class names in file order, whole
  int NbClsForMSDD = 0;
  // SeqFile.seq as written: one group per '/' line, holding ordinals of P in file order.
  std::vector<std::vector<int>> SeqGroups;
  // The label lines read for the sequences written to SeqFile.seq, in order (label i belongs
  // to sequence number i + 1).
  std::vector<std::string> Labels;

  // Family tables of dd and ddsm.
  std::string T;                 // all training sequences concatenated
  std::vector<int64_t> Drapeau;  // [j] = position in T of the last residue of sequence j; [0] = 0
                                 // (signed: an empty first sequence ends at -1)
  std::vector<FamilyEntry> Results;
  uint32_t NbFamilles = 0, NbChaines = 0, Longueur = 0;
  uint32_t NbrClasses = 0, LongMot = 1, NbMot = 0;
  int32_t Step = 1, FilterAt = 3;
  float ALPHA = 0, BETA = 0, Score = 0;

  // Accepted descriptors in order of acceptance: AllDDs[0] is number 1. The old list ran from
  // the most recent descriptor back, so "list order" is this vector read from the back.
  std::vector<DDEntry> AllDDs;
};
