// The ddsm engine: descriptors (in the discovery's list order, never longer after shorter), each
// weighed with a mutation probability under the chosen matrix, ordered within each length group
// and marked where an earlier similar descriptor of the same length does not already stand for
// them. KeepMarked then removes the others. Any number of descriptors; the console's 60000 is
// its run's check.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/progress_fn.h"
#include "engine/descriptors/descriptor.h"
#include "engine/descriptors/family_table.h"
#include "engine/substitution/matrices.h"

// The ddsm descriptor table: parallel columns, an entry always moves as a whole.
struct DescriptorTable {
  std::vector<std::string> MLst;   // descriptor text, kept whole
  std::vector<float> CLst;         // mutation probability
  std::vector<uint8_t> CLst2;      // keep mark: 0 or 1
  std::vector<std::string> CLst3;  // class name of the descriptor's first family, kept whole
  uint32_t NbMSDD = 0;

  void reset() { *this = DescriptorTable(); }
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
// each with the class name of the lowest family it names (`classNames[family - 1]`).
void FillDescriptorTable(const FamilyTable& ft, const DiscoveryState& ds,
                         const std::vector<std::string>& classNames, DescriptorTable& t);

// Scores every entry, orders each length group and sets the keep marks (CLst2): the scored list
// and its marks, nothing removed yet.
void ScoreDescriptors(DescriptorTable& t, const Matrix& MS, float score,
                      const ProgressFn& progress = {});

// `Delete` of every unmarked entry: keeps the marked entries in their order.
void KeepMarked(DescriptorTable& t);

// The whole pruning: FillDescriptorTable, ScoreDescriptors with Score, KeepMarked.
void MSDescriptors(const FamilyTable& ft, const DiscoveryState& ds,
                   const std::vector<std::string>& classNames, const Matrix& MS, float Score,
                   DescriptorTable& t, const ProgressFn& progress = {});
