// The distinct n-grams of the sequences of an ng run, in order of first appearance (by the first
// sequence that holds one, then by its first position there), with the presence of each n-gram
// in each sequence. Built once from every sequence's own windows; the three context writers
// only read it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The longest n-gram the run takes: an n-gram text held 16 characters, its terminator included.
inline constexpr int kMaxNgramLength = 15;

struct NgramList {
  int n = 0;
  // The distinct n-grams (the attribute list `Liste`), n characters each, back to back.
  std::string texts;
  // Per distinct n-gram, in list order: the number of sequences that hold it, and, in the first
  // sequence holding it, its occurrences and its first position.
  std::vector<uint32_t> seqcount, count, pos;
  // Per sequence, the numbers (indexes into the list) of the distinct n-grams it holds, in
  // order of their first occurrence in it: sequence i owns present[presentStart[i] ..
  // presentStart[i + 1]).
  std::vector<uint32_t> present;
  std::vector<size_t> presentStart;

  // `Nbvar`: the number of distinct n-grams.
  int32_t Nbvar() const { return n == 0 ? 0 : static_cast<int32_t>(texts.size() / static_cast<size_t>(n)); }
  // The size of the joined per-sequence lists (the "N-Grams" total): sequences without any
  // n-gram add nothing, and never hide the sequences after them.
  int64_t cells() const { return static_cast<int64_t>(present.size()); }
  std::string_view text(uint32_t k) const {
    return std::string_view(texts).substr(static_cast<size_t>(k) * static_cast<size_t>(n), static_cast<size_t>(n));
  }
  size_t sequences() const { return presentStart.empty() ? 0 : presentStart.size() - 1; }
};

// How n-grams find their numbers: Auto takes direct slots when the alphabet is small enough and
// hashing otherwise; Hashed forces hashing (both give the same list).
enum class NgramIndexing { Auto, Hashed };

// Builds the list from every window of n characters of each sequence (1 <= n <= 15). A window
// that reaches past the end, or holds a line feed, is no n-gram; a text ends at its first NUL.
// N-grams are compared byte for byte (case matters).
NgramList BuildNgramList(const std::vector<std::string>& sequences, int n,
                         NgramIndexing indexing = NgramIndexing::Auto);
