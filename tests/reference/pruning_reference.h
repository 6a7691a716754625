// A literal version of the ddsm pruning, kept for differential tests: fixed columns, whole-table
// scans, a recursive quicksort and entry-by-entry deletes, exactly as the steps read.
#pragma once
#include <string>
#include <vector>

#include "engine/substitution/matrices.h"

struct ReferenceEntry {
  std::string text;
  float probability = 0;
  std::string className;
};

// Scores, orders, marks and removes as the pruning describes; returns the kept entries in
// table order. `entries` is the table after filling (list order).
std::vector<ReferenceEntry> ReferencePrune(const std::vector<ReferenceEntry>& entries,
                                           const Matrix& MS, float score);

// The literal similarity test (Index by scanning the alphabet; a letter outside it answers 0).
int ReferenceSubstitute(const Matrix& MS, float score, const std::string& first,
                        const std::string& second);
