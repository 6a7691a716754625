// The residue alphabet, the six substitution matrices of the ddsm run, the letter lookup and the
// similarity test of two descriptors of equal length.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

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

// The position of `letter` in AA, or -1 for a letter outside the alphabet (no matrix row).
int Index(char letter);

// 1 when `second` reads as a mutated form of `first` under MS: no negative pair score at any
// position, and (pair score / self score of first) strictly above score, both sums and the
// division in single precision. Directional: the self score comes from `first` alone. A letter
// outside AA at a compared position, an empty `first` or a `second` shorter than `first` gives 0.
int Substitute(const Matrix& MS, float score, std::string_view first, std::string_view second);
