// A straightforward, literal descriptor discovery kept only to check the fast one against it:
// linked integer stacks and class piles with linear look-ups, counters cleared in full for every
// class, a 6001-entry presence array per descriptor, every live class extended until it dies.
// Slow on purpose (the square of the number of classes per cycle); use it on small inputs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "console/work_area.h"

namespace literal {

struct PileCell {
  int32_t value;
  PileCell* next;
};

struct ClassPile {
  int32_t classNumber;
  PileCell* positions;
  ClassPile* next;
};

void Push(int value, PileCell*& stack);
void Pop(PileCell*& stack, unsigned& out);
int IsEmpty(PileCell* stack);
void EmptyPile(PileCell*& stack);
void Insert(PileCell*& first, PileCell*& source, PileCell*& target);
// Files `value` under the class V[key] of `list` (appending an entry for a new class number).
void Add(int value, ClassPile*& list, int key, const std::vector<int32_t>& V);
void DeleteListePile(ClassPile* list);

// The parts of the old work area that the discovery reads and writes.
struct Parts {
  const FamilyTable& families;
  DiscoveryState& discovery;
  const Settings& settings;
};

// The whole discovery on the family table (T, Drapeau, Results, NbChaines, NbFamilles, Longueur)
// with the settings (ALPHA, BETA, Step, FilterAt). Leaves AllDDs (order of acceptance, sparse
// presence) and NbMot, and returns the report and context texts built from the old descriptor
// list (see below).
struct Outcome {
  std::string resultFile;  // "LesDDs.txt", written from the head of the linked list
  std::string arffFile;    // the context, class names and labels read from `classFileText`
  uint32_t finalLongMot = 0;
};
Outcome Discriminate(const FamilyTable& ft, DiscoveryState& ds, const Settings& s,
                     const std::string& classFileText);

// The literal first numbering and one extension cycle on T, for the worked examples: returns V
// after Initialize followed by `cycles` calls of Construct (the last slot holds the scan bound).
std::vector<int32_t> ClassesAfter(const FamilyTable& ft, DiscoveryState& ds, const Settings& s,
                                  int cycles);

}  // namespace literal
