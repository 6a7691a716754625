// The active-motif search: the sample threshold Minsam, the stack of edge lengths, and the walk
// one_ptn over the suffix tree that tries every distinct substring of the sampled sequences as
// a candidate, counts the sequences containing it (sampled ones first, against Minsam, then the
// rest, against Minocc) and reports each motif that passes.
//
// Reads P (the Sam sampled sequences), D (the Tot - Sam others) and the tree; leaves St, Ct,
// the spinner and the motif list MLst in the MotifSearch; writes report lines through a sink
// and console texts through the Console.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/console.h"
#include "motifs/occurrence_test.h"
#include "motifs/suffix_tree.h"

// A motif found: its text is `length` characters of P[seq] from `start` (every path of the tree
// spells a stretch of the sequence of its last node, so no text is copied).
struct MotifRef {
  uint16_t seq;
  uint16_t start;
  uint16_t length;
};

struct MotifSearch {
  int16_t Minlgh = 3;     // shortest motif tried
  int16_t Maxlgh = 6000;  // longest motif tried; a longer one ends the branch
  int16_t Minocc = 0;     // sequences, among all Tot, that must contain a motif
  int16_t Dist = 0;       // largest distance still counted as an occurrence
  int16_t Minsam = 1;     // sampled sequences that must contain a motif
  uint64_t St = 0;        // candidates checked
  uint64_t Ct = 0;        // motifs found
  Spinner spinner;
  // The motifs in the order found. Grows without bound: no motif is ever dropped, even past
  // the 32767 that a 16-bit index could count.
  std::vector<MotifRef> MLst;
  // Deepest stack of edge lengths used by the walk (the stack grows as the path needs).
  size_t deepestPath = 0;

  std::string motif_text(const std::vector<std::string>& P, size_t r) const;
};

// The stack of edge lengths along the current path. It grows as needed: a path can hold more
// nodes with children than the 5999 entries of the old fixed table.
class LengthStack {
 public:
  int16_t push(int16_t value) {
    items_.push_back(value);
    return value;
  }
  int16_t pop() {
    int16_t v = items_.back();
    items_.pop_back();
    return v;
  }
  size_t size() const { return items_.size(); }

 private:
  std::vector<int16_t> items_;
};

// The smallest number of sampled sequences that must contain a motif (z = 2.58, double
// arithmetic); Sam + 1 when no value up to Sam passes, 2 when Tot is 1.
int16_t compute_minsam(int Tot, int Sam, int Minocc);

// Receives the report lines of the walk, each whole, and the request to flush them.
class ReportSink {
 public:
  virtual ~ReportSink() = default;
  virtual void write(std::string_view line) = 0;
  virtual void flush() {}
};

// The walk. With Dist 0 and Minlgh 3 the occurrences come from the tree itself (the sampled
// sequences) and from an index of 3-letter words (the others); the spinner still counts every
// test the plain search would make, so the console bytes are those of testing each sequence
// with match. Any other setting tests each sequence with match.
// Tot is P.size() + D.size(). Console and report are flushed now and then (at most every
// tenth of a second), not after every motif: the bytes are the same, the run much faster.
void one_ptn(MotifSearch& ms, const SuffixTree& tree, const std::vector<std::string>& P,
             const std::vector<std::string>& D, Console& con, ReportSink& report);
