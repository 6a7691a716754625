// The descriptor table of the ddsm run: the accepted descriptors copied from the discovery, each
// weighed with a mutation probability under the chosen matrix, ordered within each length group
// and pruned of descriptors that an earlier similar descriptor of the same length stands for.
// Reads T, AllDDs and LstClsForMSDD of the work area; the table holds what the writers report.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/work_area.h"
#include "submatrix/matrices.h"

// Parallel columns; an entry always moves as a whole.
struct DescriptorTable {
  std::vector<std::string> MLst;   // descriptor text, kept whole
  std::vector<float> CLst;         // mutation probability
  std::vector<uint8_t> CLst2;      // keep mark: 0 or 1
  std::vector<std::string> CLst3;  // class name of the descriptor's first family, kept whole
  uint32_t NbMSDD = 0;

  void clear();
  // Appends an entry with probability 0 and no mark.
  void add(std::string text, std::string className);
};

// The factor of every byte under MS: diagonal / (diagonal + positive off-diagonal entries of
// the row), in single precision; 1 for a letter without a matrix row.
std::array<float, 256> LetterFactors(const Matrix& MS);

// 1 minus the product of the letters' factors, taken in position order in single precision.
float MutationProbability(const std::array<float, 256>& factors, std::string_view text);

// Swaps two entries (text, probability, class name and mark).
void echange(DescriptorTable& t, int a, int b);

// Sorts entries lo..hi (inclusive) by probability, largest first, with the quicksort whose
// partition fixes the order of equal probabilities (the marking depends on that order). Runs
// with its own stack of ranges, so a long already-ordered group cannot exhaust the call stack.
void Tri(DescriptorTable& t, int lo, int hi);

// Fills the table from AllDDs, the most recent descriptor first (the discovery's list order),
// each with the class name of the lowest family it names. More than 60000 descriptors are
// refused (exit 1).
void FillDescriptorTable(const WorkArea& wa, DescriptorTable& t);

// Scores, orders, marks and keeps only the marked entries (their relative order unchanged).
void ScoreAndPrune(DescriptorTable& t, const Matrix& MS, float score);

// The whole pruning of the run: FillDescriptorTable then ScoreAndPrune with wa.Score.
void MSDescriptors(const WorkArea& wa, const Matrix& MS, DescriptorTable& t);
