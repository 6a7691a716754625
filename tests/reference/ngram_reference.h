// A literal version of the n-gram run's list building and writers, kept only to check the fast
// one: singly linked cells searched linearly, joined, duplicates removed pairwise, and every
// value a substring search of the n-gram in the sequence, repeated for each file.
#pragma once
#include <string>
#include <vector>

struct RefClassLabels {
  int count = 0;
  std::vector<std::string> names;
  std::vector<std::string> labels;  // one per sequence
};

struct RefNgOutput {
  int cells = 0;                   // size of the joined per-sequence lists
  int nbvar = 0;                   // distinct n-grams
  std::vector<std::string> texts;  // the distinct list, in list order
  std::vector<int> seqcount, count, pos;
  std::string context, dat, arff;  // the bytes of the three files
};

// Runs the literal list building on `sequences` with n-grams of length n (at most 15), then
// the three writers; classes null means no classification file.
RefNgOutput ReferenceNgRun(const std::vector<std::string>& sequences, int n,
                           const RefClassLabels* classes);
