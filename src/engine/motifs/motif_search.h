// The motif engine, the active-motif search: every distinct substring of the sampled sequences
// is a candidate, tried in depth-first order of their suffix tree (the children of a string in
// the order of their first occurrence, sequence by sequence); a candidate is a motif when enough
// sequences contain it (the sampled ones first, against minSequences, then the rest, against
// minAllSequences), and the extensions of a candidate that fails are never tried.
//
// MotifIndex builds the index of the sampled sequences once: their suffix array with the common
// prefixes of neighbouring suffixes, linear in the residues. search_motifs walks it and returns
// the motifs. Prints nothing: the building, its phases and each motif found are reported through
// a ProgressFn; a MotifListener, when given, hears what the console's run needs beyond that.
#pragma once
#include <cstdint>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

#include "core/progress_fn.h"
#include "core/sequence_views.h"

struct MotifSettings {
  uint64_t minLength = 3;                                     // shortest motif tried
  uint64_t maxLength = std::numeric_limits<uint64_t>::max();  // longest motif tried
  uint64_t minSequences = 1;  // sampled sequences that must contain a motif
  // Sequences, among all (sampled and rest), that must contain a motif.
  uint64_t minAllSequences = 0;
  // Largest edit distance still counted as an occurrence; above 0 the search is slow (see
  // search_motifs).
  uint64_t distance = 0;
  // The walk stops as soon as it has found more than maxMotifs motifs, or as soon as the motifs
  // written one a line as text<TAB>count take more than maxBytes (MotifResult::stopped).
  uint64_t maxMotifs = std::numeric_limits<uint64_t>::max();
  uint64_t maxBytes = std::numeric_limits<uint64_t>::max();
};

// Why a walk stopped before its end: not at all, past maxMotifs, past maxBytes.
enum class MotifStop : uint8_t { None, Motifs, Bytes };

// A motif found: its text is `length` characters of sampled sequence `seq` from `start`, and
// `count` sequences contain it.
struct MotifRef {
  uint64_t seq;
  uint64_t start;
  uint64_t length;
  uint64_t count;
};

// What a caller that shows the walk as it goes hears beyond progress: the occurrence tests of
// the plain search (the console's spinner moves by them) and each motif as it is found (the
// console writes its report line at once, so that a run cut short keeps what it found).
class MotifListener {
 public:
  virtual ~MotifListener() = default;
  // The plain search would have made `calls` more occurrence tests (match calls) by now.
  virtual void tested(uint64_t /*calls*/) {}
  // Whether tested() is wanted: with distance 0 the counts of a failing candidate come from its
  // occurrences in the index, so that a listener that ignores them saves a pass over them.
  virtual bool hears_tests() const { return true; }
  // The motif number `number` (from 1) was found.
  virtual void found(const MotifRef& /*motif*/, std::string_view /*text*/, uint64_t /*number*/) {}
};

struct MotifResult;

// The index of the sampled sequences (it keeps its own copy of them, joined in one text).
// Building it on exhausted memory throws std::bad_alloc; sequences that hold all 256 byte values
// (none is left to separate them) throw std::invalid_argument.
class MotifIndex {
 public:
  // Positions take 32 bits while the joined text has fewer than 2^31 bytes, 64 beyond; Wide
  // takes 64 bits whatever the size.
  enum class Width { Fit, Wide };
  // A sortDepth above 0 sorts the suffixes only that deep (see find_motifs); a walk that would
  // need more throws TooShallow before it reports anything.
  explicit MotifIndex(SequenceViews sample, const ProgressFn& progress = {},
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
  friend MotifResult search_motifs(std::shared_ptr<const MotifIndex>, SequenceViews,
                                   const MotifSettings&, MotifListener*, const ProgressFn&);
  struct Arrays;
  std::unique_ptr<Arrays> arrays_;
  std::vector<std::string_view> sample_;  // views of the joined text
};

// What a search found, standing alone: the motifs point into the index it keeps.
struct MotifResult {
  std::vector<MotifRef> motifs;  // in the order found
  uint64_t checked = 0;          // candidates checked
  // Deepest path of strings with children that the walk went down (it grows as the path needs).
  size_t deepestPath = 0;
  // A bound of the settings was passed: the motifs are the first ones found, the last one past
  // the bound.
  MotifStop stopped = MotifStop::None;
  uint64_t bytes = 0;  // the motifs as lines text<TAB>count
  std::shared_ptr<const MotifIndex> index;

  std::string_view text(const MotifRef& m) const { return index->text(m); }
};

// The smallest number of sampled sequences that must contain a motif for `minAll` of `total`
// sequences to be likely to (z = 2.58, double arithmetic), `sampled` of them in the sample;
// sampled + 1 when no value up to it passes, 2 when total is 1.
uint64_t min_sampled_sequences(uint64_t total, uint64_t sampled, uint64_t minAll);

// The walk: tries every candidate of `index` against the sampled sequences and `rest`. With
// distance 0 the occurrences come from the index itself (the sampled sequences) and from a
// suffix array of the rest; the listener still hears of every test the plain search would make.
// Any other distance tests each sequence with match, candidate by candidate: slow (each test is
// a dynamic-programming pass over a sequence), and it keeps the whole tree of the sample (up to
// some 130 bytes a residue), since no count prunes it in advance. `progress` hears of each motif
// found; with a distance above 0 it hears of every candidate, against the total of the
// candidates of the tree (the candidates below one that fails count as done when it fails).
MotifResult search_motifs(std::shared_ptr<const MotifIndex> index, SequenceViews rest,
                          const MotifSettings& settings, MotifListener* listener = nullptr,
                          const ProgressFn& progress = {});

// The search over every sequence (none left out of the sample), index included. With distance 0
// the motifs are usually short: the index is first sorted only as deep as a 64-bit key of
// characters holds (12 for up to 31 distinct residues), and in full only when the motifs reach
// that deep.
MotifResult find_motifs(SequenceViews sequences, const MotifSettings& settings,
                        const ProgressFn& progress = {}, MotifListener* listener = nullptr,
                        unsigned sortDepth = 64);
