// The sequences joined into one text with a separator byte after each, the suffix array of that
// text (sorted by a maintained library) and, when asked for, the length of the common prefix of
// each suffix with the one before it in the array, cut at sequence ends: no common prefix
// crosses a separator, so every prefix counted is a substring of one sequence.
//
// Sorted to a depth (sortDepth > 0), the suffixes are ordered by their first sortDepth
// characters only, equal ones by position, and the common prefixes are cut at that depth: enough
// for every interval no deeper than it, at a fraction of the cost of the full sort. The sequence
// of each rank is then kept too (one Index a residue), found while the keys are gathered.
//
// Index is the width of the positions: 32 bits while the text has fewer than 2^31 bytes (the
// sorter's own limit), 64 bits beyond. Memory: the text (1 byte a residue), the array (one Index
// a residue), the prefix lengths (one more, or one byte sorted to a depth, with the sequences by
// rank: one Index), and a small table to find the sequence of a position.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/progress_fn.h"
#include "core/sequence_views.h"

template <class Index>
class SuffixArray {
 public:
  // The separator is a byte that no sequence holds (0 unless a sequence holds a NUL byte); when
  // every byte value occurs, std::invalid_argument. Exhausted memory throws std::bad_alloc.
  // `progress` (when given) hears the name of each step as it starts.
  // A sortDepth above 0 implies withLcp; the depth reached may be smaller (see sorted_depth).
  SuffixArray(SequenceViews seqs, bool withLcp, const ProgressFn& progress = {},
              unsigned sortDepth = 0);

  // The largest text the width can sort.
  static uint64_t capacity();

  Index size() const { return static_cast<Index>(text_.size()); }
  const std::string& text() const { return text_; }
  // The start of the suffix at rank i.
  Index at(Index i) const { return sa_[i]; }
  // The common prefix of the suffixes at ranks i - 1 and i within their sequences (0 for i = 0).
  Index lcp(Index i) const { return depth_ ? lcpRank_[i] : plcp_[sa_[i]]; }
  // How deep the order and the common prefixes are exact: UINT64_MAX when sorted in full.
  uint64_t sorted_depth() const { return depth_ ? depth_ : UINT64_MAX; }
  // Ask the memory ahead of use for what rank i leads to: the ranks are read in order, but the
  // prefix lengths and sequence tables they lead to lie anywhere. The sequence of a position
  // takes two steps: its block first, then (some ranks later) the sequence starts after it.
  void prefetch_lcp(Index i) const {
    if (!depth_) __builtin_prefetch(&plcp_[sa_[i]]);
  }
  void prefetch_block(Index i) const {
    if (!depth_) __builtin_prefetch(&blocks_[sa_[i] >> kBlockBits]);
  }
  void prefetch_start(Index i) const {
    __builtin_prefetch(&starts_[(depth_ ? rankSeq_[i] : blocks_[sa_[i] >> kBlockBits]) + 1]);
  }

  size_t sequences() const { return starts_.size() - 1; }
  // The sequence that holds text position p (a separator belongs to the sequence it ends).
  Index sequence_of(Index p) const {
    Index s = blocks_[p >> kBlockBits];
    while (starts_[s + 1] <= p) ++s;
    return s;
  }
  // The sequence of the suffix at rank i (kept by rank when sorted to a depth).
  Index sequence_at(Index i) const { return depth_ ? rankSeq_[i] : sequence_of(sa_[i]); }
  Index start_of(Index s) const { return starts_[s]; }
  // The position of the separator after sequence s.
  Index end_of(Index s) const { return starts_[s + 1] - 1; }
  std::string_view sequence(Index s) const {
    return std::string_view(text_).substr(starts_[s], end_of(s) - starts_[s]);
  }

 private:
  static constexpr int kBlockBits = 8;
  void compute_lcp();
  void sort_to_depth(unsigned sortDepth);

  std::string text_;
  char separator_ = '\0';
  std::vector<Index> starts_;  // by sequence, then the text length
  std::vector<Index> blocks_;  // by block of 2^kBlockBits positions: the sequence at its start
  std::vector<Index> sa_;
  std::vector<Index> plcp_;       // by text position
  unsigned depth_ = 0;            // sorted to this depth; 0: in full
  std::vector<uint8_t> lcpRank_;  // sorted to a depth: the common prefixes by rank
  std::vector<Index> rankSeq_;    // sorted to a depth: the sequences by rank
};

extern template class SuffixArray<uint32_t>;
extern template class SuffixArray<uint64_t>;
