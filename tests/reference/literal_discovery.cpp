// The literal discovery: each step exactly as the old program performed it.
#include "reference/literal_discovery.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "console/limits.h"
#include "core/arff.h"

namespace literal {

// The old fixed tables of the discovery: sequence ends and per-sequence counters.
constexpr int32_t MAX_CHAINE = 6000;
// The old discovery's step: classes grow one residue per cycle.
constexpr int32_t Step = 1;

void Push(int value, PileCell*& stack) { stack = new PileCell{value, stack}; }

void Pop(PileCell*& stack, unsigned& out) {
  PileCell* top = stack;
  out = static_cast<unsigned>(top->value);
  stack = top->next;
  delete top;
}

int IsEmpty(PileCell* stack) { return stack == nullptr ? 1 : 0; }

void EmptyPile(PileCell*& stack) {
  unsigned dummy;
  while (!IsEmpty(stack)) Pop(stack, dummy);
}

void Insert(PileCell*& first, PileCell*& source, PileCell*& target) {
  unsigned v;
  while (!IsEmpty(source)) {
    Pop(source, v);
    Push(static_cast<int>(v), target);
    Push(static_cast<int>(v), first);
  }
}

void Add(int value, ClassPile*& list, int key, const std::vector<int32_t>& V) {
  const int32_t cls = V[static_cast<size_t>(key)];
  ClassPile* last = nullptr;
  for (ClassPile* e = list; e; e = e->next) {
    if (e->classNumber == cls) {
      Push(value, e->positions);
      return;
    }
    last = e;
  }
  auto* entry = new ClassPile{cls, nullptr, nullptr};
  Push(value, entry->positions);
  if (last)
    last->next = entry;
  else
    list = entry;
}

void DeleteListePile(ClassPile* list) {
  while (list) {
    ClassPile* next = list->next;
    EmptyPile(list->positions);
    delete list;
    list = next;
  }
}

namespace {

struct LDDEntry {
  uint32_t number;
  int32_t start;
  PileCell* families;
  int32_t length;
  int32_t familyCount;
  int32_t familySize;
  int32_t presence[MAX_CHAINE + 1];
  LDDEntry* next;
};

// The discovery's globals.
struct State {
  Parts wa;
  std::vector<int32_t> V;  // one slot per position of T, then the scan bound
  size_t boundSlot = 0;
  LDDEntry* AllDDs = nullptr;

  explicit State(Parts w) : wa(w) {}
  int64_t bound() const { return V[boundSlot]; }
};

ClassPile* Find(ClassPile* list, int32_t k) {
  ClassPile* e = list;
  while (e && e->classNumber != k) e = e->next;
  return e;
}

void Initialize(State& st) {
  Parts& wa = st.wa;
  const size_t n = wa.families.text.size();
  st.V.assign(n + 1, 0);
  st.boundSlot = n;
  wa.discovery.NbrClasses = 0;
  wa.discovery.NbMot = 0;
  wa.discovery.LongMot = 1;
  int seen[256], cls[256];
  std::memset(seen, 0, sizeof seen);
  std::memset(cls, 0, sizeof cls);
  for (size_t p = 0; p < n; ++p) {
    int x = static_cast<unsigned char>(wa.families.text[p]);
    if (seen[x]) {
      st.V[p] = cls[x];
    } else {
      ++wa.discovery.NbrClasses;
      st.V[p] = static_cast<int32_t>(wa.discovery.NbrClasses);
      cls[x] = static_cast<int>(wa.discovery.NbrClasses);
      seen[x] = 1;
    }
  }
  st.V[st.boundSlot] = static_cast<int32_t>(n) - 1;
}

int64_t EndOfSequenceOf(const Parts& wa, int64_t p) {
  uint32_t j = 1;
  while (wa.families.sequenceEnds[j] < p) ++j;
  return wa.families.sequenceEnds[j];
}

void Construct(State& st) {
  Parts& wa = st.wa;
  auto& V = st.V;
  const int64_t L = wa.discovery.LongMot;
  ClassPile* A = nullptr;
  ClassPile* B = nullptr;
  PileCell* dead = nullptr;
  for (int64_t p = 0; p <= st.bound() - Step + 1; ++p)
    if (V[static_cast<size_t>(p)] > 0) Add(static_cast<int>(p), A, static_cast<int>(p), V);
  for (uint32_t k = 1; k <= wa.discovery.NbrClasses; ++k) {
    ClassPile* e = Find(A, static_cast<int32_t>(k));
    if (!e) continue;
    unsigned p;
    while (!IsEmpty(e->positions)) {
      Pop(e->positions, p);
      const int64_t end = EndOfSequenceOf(wa, p);
      if (static_cast<int64_t>(p) + Step <= end - L + 1 && V[p + static_cast<unsigned>(Step)] > 0)
        Add(static_cast<int>(p), B, static_cast<int>(p) + Step, V);
      else
        Push(static_cast<int>(p), dead);
    }
  }
  uint32_t counter = 0;
  for (uint32_t m = 1; m <= wa.discovery.NbrClasses; ++m) {
    ClassPile* e = Find(B, static_cast<int32_t>(m));
    if (!e || IsEmpty(e->positions)) continue;
    unsigned p;
    ++counter;
    Pop(e->positions, p);
    int32_t prev = V[p];
    V[p] = static_cast<int32_t>(counter);
    while (!IsEmpty(e->positions)) {
      Pop(e->positions, p);
      if (V[p] != prev) {
        ++counter;
        prev = V[p];
      }
      V[p] = static_cast<int32_t>(counter);
    }
  }
  wa.discovery.NbrClasses = counter;
  V[st.boundSlot] -= 1;
  DeleteListePile(A);
  DeleteListePile(B);
  unsigned q;
  while (!IsEmpty(dead)) {
    Pop(dead, q);
    V[q] = -V[q];
  }
}

// The sequence j with sequenceEnds[j-1] < p <= sequenceEnds[j], sequence 1 starting at position 0.
uint32_t SequenceOf(const Parts& wa, int64_t p) {
  for (uint32_t j = 1;; ++j) {
    const int64_t before = j == 1 ? -1 : wa.families.sequenceEnds[j - 1];
    if (before < p && p <= wa.families.sequenceEnds[j]) return j;
  }
}

void Filter(State& st) {
  Parts& wa = st.wa;
  auto& V = st.V;
  if (wa.discovery.NbrClasses == 0) return;
  ClassPile* list = nullptr;
  for (int64_t p = 0; p <= st.bound(); ++p)
    if (V[static_cast<size_t>(p)] > 0) Add(static_cast<int>(p), list, static_cast<int>(p), V);

  unsigned seqCount[MAX_CHAINE];
  unsigned famCount[MAX_FAM];
  PileCell* occ = nullptr;
  PileCell* tied = nullptr;
  PileCell* finalSet = nullptr;
  PileCell* scratch = nullptr;
  PileCell* retire = nullptr;
  for (uint32_t k = 1; k <= wa.discovery.NbrClasses; ++k) {
    ClassPile* e = Find(list, static_cast<int32_t>(k));
    famCount[0] = 0;
    for (uint32_t f = 1; f <= wa.families.familyCount; ++f) famCount[f] = 0;
    for (uint32_t j = 1; j <= wa.families.sequenceCount; ++j) seqCount[j] = 0;
    unsigned p = 0, s = 0;
    while (!IsEmpty(e->positions)) {
      Pop(e->positions, p);
      Push(static_cast<int>(p), occ);
      ++seqCount[SequenceOf(wa, p)];
      s = p;
    }
    unsigned total = 0;
    for (const FamilyEntry& f : wa.families.families) {
      unsigned c = 0;
      for (const SequenceEntry& q : f.sequences)
        if (seqCount[q.number] != 0) ++c;
      famCount[f.number] = c;
      total += c;
    }
    unsigned max = famCount[0];
    for (uint32_t f = 1; f <= wa.families.familyCount; ++f)
      if (famCount[f] > max) max = famCount[f];
    for (uint32_t f = 1; f <= wa.families.familyCount; ++f)
      if (famCount[f] == max) Push(static_cast<int>(f), tied);
    unsigned minSize = MAX_CHAINE;
    for (PileCell* c = tied; c; c = c->next)
      if (wa.families.families[static_cast<size_t>(c->value) - 1].size() < minSize)
        minSize = wa.families.families[static_cast<size_t>(c->value) - 1].size();
    for (uint32_t f = 1; f <= wa.families.familyCount; ++f)
      if (famCount[f] == max && wa.families.families[f - 1].size() == minSize)
        Push(static_cast<int>(f), finalSet);
    const auto best = static_cast<uint32_t>(finalSet->value);
    const unsigned size = wa.families.families[best - 1].size();
    const float in = static_cast<float>(famCount[best]) / static_cast<float>(size);
    const float out = static_cast<float>(total - famCount[best]) /
                      static_cast<float>(wa.families.sequenceCount - size);
    bool ok = in >= wa.settings.ALPHA && wa.settings.BETA >= out;
    for (unsigned q = s; ok && q < s + wa.discovery.LongMot; ++q)
      if (V[q] == 0) ok = false;
    EmptyPile(tied);
    if (!ok) {
      EmptyPile(occ);
      EmptyPile(finalSet);
      continue;
    }
    ++wa.discovery.NbMot;
    auto* dd = new LDDEntry;
    dd->number = wa.discovery.NbMot;
    dd->start = static_cast<int32_t>(s);
    dd->families = nullptr;
    Insert(dd->families, finalSet, scratch);
    dd->length = static_cast<int32_t>(wa.discovery.LongMot);
    dd->familyCount = static_cast<int32_t>(famCount[best]);
    dd->familySize = static_cast<int32_t>(size);
    std::memset(dd->presence, 0, sizeof dd->presence);
    for (uint32_t j = 1; j <= wa.families.sequenceCount; ++j)
      dd->presence[j] = static_cast<int32_t>(seqCount[j]);
    dd->next = st.AllDDs;
    st.AllDDs = dd;
    while (!IsEmpty(occ)) {
      Pop(occ, p);
      Push(static_cast<int>(p), retire);
    }
  }
  EmptyPile(scratch);
  unsigned q;
  while (!IsEmpty(retire)) {
    Pop(retire, q);
    if (wa.discovery.LongMot >= static_cast<unsigned>(wa.settings.FilterAt)) V[q] = 0;
  }
  DeleteListePile(list);
}

std::string Text(const Parts& wa, const LDDEntry* dd) {
  return wa.families.text.substr(static_cast<size_t>(dd->start), static_cast<size_t>(dd->length));
}

std::string ResultFile(const Parts& wa, const LDDEntry* head) {
  char buf[256];
  std::string out;
  std::snprintf(buf, sizeof buf, "ALPHA = %f ", static_cast<double>(100 * wa.settings.ALPHA));
  out += buf;
  out += "%\n";
  std::snprintf(buf, sizeof buf, "BETA = %f ", static_cast<double>(100 * wa.settings.BETA));
  out += buf;
  out += "%\n";
  std::snprintf(buf, sizeof buf, "La valeur du debut du filtrage = %d\n\n\n", wa.settings.FilterAt);
  out += buf;
  for (const LDDEntry* dd = head; dd; dd = dd->next) {
    out += "\n>>" + Text(wa, dd) + "        ";
    for (PileCell* c = dd->families; c; c = c->next)
      out += "\tFamily # " + std::to_string(c->value);
  }
  return out;
}

std::string ArffFile(const Parts& wa, const LDDEntry* head, const std::string& classFileText) {
  std::istringstream cls(classFileText);
  std::string line;
  std::string out = "@relation Context\n\n";
  for (const LDDEntry* dd = head; dd; dd = dd->next)
    out += "@attribute " + arff_quote(Text(wa, dd)) + " {1,0}\n";
  out += "@attribute class {";
  std::getline(cls, line);
  std::getline(cls, line);
  const long N = std::stol(line);
  std::getline(cls, line);
  for (uint32_t j = 0; j < wa.families.familyCount; ++j) {
    std::getline(cls, line);
    if (j > 0) out += ",";
    out += arff_quote(line);
  }
  out += "}\n\n@data\n";
  for (long j = wa.families.familyCount; j < N; ++j) std::getline(cls, line);
  std::getline(cls, line);
  for (uint32_t i = 1; i <= wa.families.sequenceCount; ++i) {
    bool firstValue = true;
    for (const LDDEntry* dd = head; dd; dd = dd->next) {
      if (!firstValue) out += ",";
      out += dd->presence[i] != 0 ? "1" : "0";
      firstValue = false;
    }
    std::getline(cls, line);
    if (head) out += ",";
    out += arff_quote(line);
    out += "\n";
  }
  return out;
}

}  // namespace

Outcome Discriminate(const FamilyTable& ft, const Settings& s, const std::string& classFileText) {
  State st({ft, {}, s});
  Parts& wa = st.wa;
  wa.discovery.LongMot = 1;
  Initialize(st);
  Filter(st);
  do {
    Construct(st);
    ++wa.discovery.LongMot;
    Filter(st);
  } while (wa.discovery.LongMot < wa.families.longest && wa.discovery.NbrClasses != 0);

  Outcome result;
  result.finalLongMot = wa.discovery.LongMot;
  result.NbMot = wa.discovery.NbMot;
  result.resultFile = ResultFile(wa, st.AllDDs);
  result.arffFile = ArffFile(wa, st.AllDDs, classFileText);
  // The list runs from the most recent descriptor back: the order of acceptance is the reverse.
  for (const LDDEntry* dd = st.AllDDs; dd; dd = dd->next) {
    Descriptor e;
    e.text = Text(wa, dd);
    for (PileCell* c = dd->families; c; c = c->next)
      e.families.push_back(static_cast<uint32_t>(c->value));
    e.count = static_cast<uint32_t>(dd->familyCount);
    e.size = static_cast<uint32_t>(dd->familySize);
    for (uint32_t j = 1; j <= wa.families.sequenceCount; ++j)
      if (dd->presence[j] != 0) e.presence.emplace_back(j, static_cast<uint32_t>(dd->presence[j]));
    result.AllDDs.push_back(std::move(e));
  }
  std::reverse(result.AllDDs.begin(), result.AllDDs.end());
  while (st.AllDDs) {
    LDDEntry* next = st.AllDDs->next;
    EmptyPile(st.AllDDs->families);
    delete st.AllDDs;
    st.AllDDs = next;
  }
  return result;
}

std::vector<int32_t> ClassesAfter(const FamilyTable& ft, int cycles) {
  State st({ft, {}, Settings{}});
  Parts& wa = st.wa;
  Initialize(st);
  for (int i = 0; i < cycles; ++i) {
    Construct(st);
    ++wa.discovery.LongMot;
  }
  return st.V;
}

}  // namespace literal
