// The residue alphabet, the six substitution matrices of the ddsm run, the letter lookup and the
// similarity test of two descriptors of equal length.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// The residue alphabet: the index of a residue is its position here; every matrix row and
// column follows this order.
inline constexpr std::string_view AA = "ARNDCQEGHILKMFPSTWYV";
inline constexpr int kResidueCount = 20;

// 20 rows of 20 scores; the row is the residue of the first string of a comparison.
using Matrix = std::array<std::array<int32_t, kResidueCount>, kResidueCount>;

extern const Matrix BLOSUM45;
extern const Matrix BLOSUM62;
extern const Matrix BLOSUM80;
extern const Matrix PAM30;
extern const Matrix PAM70;
extern const Matrix PAM250;

// The matrix the user picks by number: 1 BLOSUM45, 2 BLOSUM62, 3 BLOSUM80, 4 PAM30, 5 PAM70,
// 6 PAM250; null for any other number.
const Matrix* MatrixOfNumber(long number);
// The matrix of that name ("BLOSUM62", ...); null for any other name.
const Matrix* MatrixOfName(std::string_view name);
// The names of the six matrices, in the order of their numbers.
inline constexpr std::array<std::string_view, 6> kMatrixNames = {"BLOSUM45", "BLOSUM62", "BLOSUM80",
                                                                 "PAM30",    "PAM70",    "PAM250"};

// The position of `letter` in AA, or -1 for a letter outside the alphabet (no matrix row).
int Index(char letter);

// 1 when `second` reads as a mutated form of `first` under MS: no negative pair score at any
// position, and (pair score / self score of first) strictly above score, both sums and the
// division in single precision. Directional: the self score comes from `first` alone. A letter
// outside AA at a compared position, an empty `first` or a `second` shorter than `first` gives 0.
int Substitute(const Matrix& MS, float score, std::string_view first, std::string_view second);

// The letters of `text` as matrix indices, appended to `codes`; returns false when a letter has
// no matrix row (its code is -1).
bool EncodeLetters(std::string_view text, std::vector<int8_t>& codes);

// The self score of n coded letters: the sum of their diagonal entries, in single precision.
float SelfScore(const Matrix& MS, const int8_t* codes, size_t n);

// Substitute on letters already coded (every code a row of MS), with the self score of `first`
// given: the form the pruning calls for every pair of descriptors of one length.
inline int SubstituteCoded(const Matrix& MS, float score, const int8_t* first, float firstSelf,
                           const int8_t* second, size_t n) {
  float pair = 0;
  for (size_t p = 0; p < n; ++p) {
    const int32_t v = MS[static_cast<size_t>(first[p])][static_cast<size_t>(second[p])];
    if (v < 0) return 0;
    pair += static_cast<float>(v);
  }
  return pair / firstSelf > score ? 1 : 0;
}
