// The ma engine, the active-motif search: every distinct substring of the sampled sequences is a
// candidate, tried in the order of a depth-first walk of their suffix tree; a candidate is a
// motif when enough sequences contain it (the sampled ones first, against Minsam, then the rest,
// against Minocc), and the extensions of a candidate that fails are never tried.
//
// MotifIndex builds the index of the sampled sequences once; one_ptn walks it. Prints nothing:
// a MotifObserver, when given, hears of every occurrence test the plain search would make, of
// every motif found and of the building, so that a caller can show progress or reports.
#pragma once
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/sequence_views.h"

// A motif found: its text is `length` characters of sample[seq] from `start`, and `count`
// sequences contain it.
struct MotifRef {
  uint32_t seq;
  uint32_t start;
  uint32_t length;
  uint64_t count;
};

// The settings and the results of one search.
struct MotifSearch {
  int64_t Minlgh = 3;                                     // shortest motif tried
  int64_t Maxlgh = std::numeric_limits<int64_t>::max();   // longest motif tried
  int64_t Minocc = 0;  // sequences, among all (sampled and rest), that must contain a motif
  int64_t Dist = 0;    // largest distance still counted as an occurrence
  int64_t Minsam = 1;  // sampled sequences that must contain a motif
  uint64_t St = 0;     // candidates checked
  uint64_t Ct = 0;     // motifs found
  // The motifs in the order found.
  std::vector<MotifRef> MLst;
  // Deepest stack of edge lengths used by the walk (the stack grows as the path needs).
  size_t deepestPath = 0;
};

class MotifObserver {
 public:
  virtual ~MotifObserver() = default;
  // The index has taken `done` of `total` sampled sequences and has `size` nodes.
  virtual void building(uint64_t /*done*/, uint64_t /*total*/, uint64_t /*size*/) {}
  // The plain search would have made `calls` more occurrence tests (match calls) by now.
  virtual void tested(uint64_t /*calls*/) {}
  // A motif was found; it is the last entry of ms.MLst, and ms.Ct counts it.
  virtual void found(const MotifSearch& /*ms*/, std::string_view /*text*/) {}
};

class SuffixTree;

// The index of the sampled sequences (it keeps its own copy of them). Building it on exhausted
// memory throws std::bad_alloc.
class MotifIndex {
 public:
  explicit MotifIndex(SequenceViews sample, MotifObserver* observer = nullptr);
  ~MotifIndex();
  const SuffixTree& tree() const { return *tree_; }
  SequenceViews sample() const { return sample_; }
  std::string_view text(const MotifRef& m) const {
    return sample_[m.seq].substr(m.start, m.length);
  }

 private:
  std::vector<std::string> texts_;  // the tree reads one byte past each text: its terminator
  std::vector<std::string_view> sample_;
  std::unique_ptr<SuffixTree> tree_;
};

// The smallest number of sampled sequences that must contain a motif (z = 2.58, double
// arithmetic); Sam + 1 when no value up to Sam passes, 2 when Tot is 1.
int16_t compute_minsam(int Tot, int Sam, int Minocc);

// The walk: tries every candidate of `index` against the sampled sequences and `rest`, and
// leaves St, Ct and MLst in `ms`. With Dist 0 the occurrences come from the index itself (the
// sampled sequences) and from an index of 3-letter words (the rest); the observer still hears
// of every test the plain search would make. Any other Dist tests each sequence with match.
void one_ptn(MotifSearch& ms, const MotifIndex& index, SequenceViews rest,
             MotifObserver* observer = nullptr);
