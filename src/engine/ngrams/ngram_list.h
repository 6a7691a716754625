// The distinct n-grams of the sequences of an ng run, in order of first appearance (by the first
// sequence that holds one, then by its first position there). The list keeps the table that
// numbers n-grams, so a writer finds the n-grams of a row from the row's own windows (never by
// searching the sequence for each n-gram), once per row for all three files.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/progress_fn.h"
#include "core/sequence_views.h"

// The longest n-gram the console run takes: an n-gram text held 16 characters, its terminator
// included. The engine itself takes any length from 1.
inline constexpr int kMaxNgramLength = 15;

// How n-grams find their numbers: Auto takes direct slots when the alphabet is small enough and
// hashing otherwise; Hashed forces hashing (both give the same list).
enum class NgramIndexing { Auto, Hashed };

class NgramIndex;

struct NgramList {
  int n = 0;
  // The distinct n-grams (the attribute list `Liste`), n characters each, back to back.
  std::string texts;
  // Per distinct n-gram, in list order: the number of sequences that hold it, and, in the first
  // sequence holding it, its occurrences and its first position.
  std::vector<uint32_t> seqcount, count, pos;
  // The size of the joined per-sequence lists (the "N-Grams" total): the sum over the sequences
  // of their numbers of distinct n-grams. Sequences without any n-gram add nothing and never
  // hide the sequences after them.
  int64_t cells = 0;
  size_t sequences = 0;  // sequences the list was built from

  // `Nbvar`: the number of distinct n-grams.
  int32_t Nbvar() const {
    return n == 0 ? 0 : static_cast<int32_t>(texts.size() / static_cast<size_t>(n));
  }
  std::string_view text(uint32_t k) const {
    return std::string_view(texts).substr(static_cast<size_t>(k) * static_cast<size_t>(n),
                                          static_cast<size_t>(n));
  }
  // The numbers of the n-grams at every window of `sequence`, in position order, repeats
  // included (windows whose n-gram is not in the list are left out).
  void window_numbers(std::string_view sequence, std::vector<uint32_t>& out) const;

  std::shared_ptr<const NgramIndex> index;
};

// The ng engine: the list of every window of n characters of each sequence (n >= 1, else
// std::invalid_argument). A window that reaches past the end, or holds a line feed, is no
// n-gram; a text ends at its first NUL. N-grams are compared byte for byte (case matters).
NgramList BuildNgramList(SequenceViews sequences, int n,
                         NgramIndexing indexing = NgramIndexing::Auto,
                         const ProgressFn& progress = {});
