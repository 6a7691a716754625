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

// The old discovery's counters: live classes, word length, descriptors accepted.
struct Counters {
  uint32_t NbrClasses = 0, LongMot = 1, NbMot = 0;
};

// The parts of the old work area that the discovery reads and writes.
struct Parts {
  const FamilyTable& families;
  Counters discovery;
  Settings settings;
};

// The whole discovery on the family table with the settings (ALPHA, BETA, FilterAt; the step is
// 1). Returns the descriptors (order of acceptance, sparse presence), NbMot, and the report and
// context texts built from the old descriptor list (see below).
struct Outcome {
  std::string resultFile;  // "LesDDs.txt", written from the head of the linked list
  std::string arffFile;    // the context, class names and labels read from `classFileText`
  uint32_t finalLongMot = 0;
  uint32_t NbMot = 0;
  std::vector<Descriptor> AllDDs;
};
Outcome Discriminate(const FamilyTable& ft, const Settings& s, const std::string& classFileText);

// The literal first numbering and one extension cycle on the text, for the worked examples:
// returns V after Initialize followed by `cycles` calls of Construct (the last slot holds the
// scan bound).
std::vector<int32_t> ClassesAfter(const FamilyTable& ft, int cycles);

}  // namespace literal
