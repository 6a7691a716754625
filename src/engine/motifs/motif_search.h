// The ma engine, the active-motif search: every distinct substring of the sampled sequences is a
// candidate, tried in depth-first order of their suffix tree (the children of a string in the
// order of their first occurrence, sequence by sequence); a candidate is a motif when enough
// sequences contain it (the sampled ones first, against Minsam, then the rest, against Minocc),
// and the extensions of a candidate that fails are never tried.
//
// MotifIndex builds the index of the sampled sequences once: their suffix array with the common
// prefixes of neighbouring suffixes, linear in the residues. one_ptn walks it. Prints nothing:
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
  uint64_t seq;
  uint64_t start;
  uint64_t length;
  uint64_t count;
};

// The settings and the results of one search.
struct MotifSearch {
  int64_t Minlgh = 3;                                    // shortest motif tried
  int64_t Maxlgh = std::numeric_limits<int64_t>::max();  // longest motif tried
  int64_t Minocc = 0;  // sequences, among all (sampled and rest), that must contain a motif
  int64_t Dist = 0;    // largest distance still counted as an occurrence
  int64_t Minsam = 1;  // sampled sequences that must contain a motif
  uint64_t St = 0;     // candidates checked
  uint64_t Ct = 0;     // motifs found
  // The motifs in the order found.
  std::vector<MotifRef> MLst;
  // Deepest path of strings with children that the walk went down (it grows as the path needs).
  size_t deepestPath = 0;
};

class MotifObserver {
 public:
  virtual ~MotifObserver() = default;
  // The index holds `done` of `total` sampled sequences, `size` residues in all.
  virtual void building(uint64_t /*done*/, uint64_t /*total*/, uint64_t /*size*/) {}
  // A step of building the index starts ("sorting the suffixes", ...).
  virtual void phase(const char* /*step*/) {}
  // The plain search would have made `calls` more occurrence tests (match calls) by now.
  virtual void tested(uint64_t /*calls*/) {}
  // Whether tested() is wanted: with Dist 0 the counts of a failing candidate come from its
  // occurrences in the index, so that an observer that ignores them saves a pass over them.
  virtual bool hears_tests() const { return true; }
  // A motif was found; it is the last entry of ms.MLst, and ms.Ct counts it.
  virtual void found(const MotifSearch& /*ms*/, std::string_view /*text*/) {}
};

// The index of the sampled sequences (it keeps its own copy of them, joined in one text).
// Building it on exhausted memory throws std::bad_alloc; sequences that hold all 256 byte values
// (none is left to separate them) throw std::invalid_argument.
class MotifIndex {
 public:
  // Positions take 32 bits while the joined text has fewer than 2^31 bytes, 64 beyond; Wide
  // takes 64 bits whatever the size.
  enum class Width { Fit, Wide };
  // A sortDepth above 0 sorts the suffixes only that deep (see find_motifs); a walk that would
  // need more throws TooShallow before it changes its MotifSearch.
  explicit MotifIndex(SequenceViews sample, MotifObserver* observer = nullptr,
                      Width width = Width::Fit, unsigned sortDepth = 0);
  struct TooShallow {};
  ~MotifIndex();
  MotifIndex(const MotifIndex&) = delete;
  MotifIndex& operator=(const MotifIndex&) = delete;

  SequenceViews sample() const { return sample_; }
  std::string_view text(const MotifRef& m) const {
    return sample_[m.seq].substr(m.start, m.length);
  }
  bool wide() const;

 private:
  friend void one_ptn(MotifSearch&, const MotifIndex&, SequenceViews, MotifObserver*);
  struct Arrays;
  std::unique_ptr<Arrays> arrays_;
  std::vector<std::string_view> sample_;  // views of the joined text
};

// The smallest number of sampled sequences that must contain a motif (z = 2.58, double
// arithmetic); Sam + 1 when no value up to Sam passes, 2 when Tot is 1.
int16_t compute_minsam(int Tot, int Sam, int Minocc);

// The walk: tries every candidate of `index` against the sampled sequences and `rest`, and
// leaves St, Ct and MLst in `ms`. With Dist 0 the occurrences come from the index itself (the
// sampled sequences) and from a suffix array of the rest; the observer still hears of every test
// the plain search would make. Any other Dist tests each sequence with match, candidate by
// candidate: slow (each test is a dynamic-programming pass over a sequence), and it keeps the
// whole tree of the sample (up to some 130 bytes a residue), since no count prunes it in advance.
void one_ptn(MotifSearch& ms, const MotifIndex& index, SequenceViews rest,
             MotifObserver* observer = nullptr);

// The search over every sequence (none left out of the sample). With Dist 0 the motifs are
// usually short: the index is first sorted only as deep as a 64-bit key of characters holds (12
// for up to 31 distinct residues), and in full only when the motifs reach that deep. Returns the
// index, which the motifs' texts point into.
std::unique_ptr<MotifIndex> find_motifs(MotifSearch& ms, SequenceViews sequences,
                                        MotifObserver* observer = nullptr, unsigned sortDepth = 64);
