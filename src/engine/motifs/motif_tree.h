// The tree that the motif walk visits, taken from the suffix array of the sample in one
// bottom-up pass over its intervals. The strings that begin the same run of suffixes in the
// array share one node (an interval: its string is the common prefix of the run, its children
// are the runs one character further on), and the number of sequences that contain them comes
// from the array too: each suffix counts one at its own leaf and takes one away at the deepest
// interval it shares with the previous suffix of its sequence, so that an interval's sum counts
// each of its sequences once.
//
// Only what the walk can reach is kept: the intervals that enough sequences contain (the set is
// closed upwards, every string of an interval is contained by at least the sequences of its
// children) and, among their children, each one that fails, folded into a run of failures that
// records the candidates it costs and the occurrence tests the plain search would make on them.
// An interval shorter than the shortest motif that fails is folded the same way: every string of
// the shortest length below it is a candidate that fails. Children are in the order of their
// first occurrence in the joined text, which is the order in which a suffix tree built by plain
// insertion, sequence after sequence, creates them.
//
// On an array sorted only to a depth, the intervals no deeper than it are exact, and those that
// reach it stand for everything below them.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/motifs/suffix_array.h"

struct MotifTree {
  static constexpr uint64_t kRun = UINT64_MAX;
  struct Node {
    uint64_t depth;  // length of the interval's string
    uint64_t pos;    // its first occurrence in the joined text
    uint64_t count;  // sampled sequences that contain it
    uint64_t kidsBegin, kidsEnd;
  };
  // A child: a node, or (node == kRun) failing children in a row: `st` candidates tested,
  // `calls` occurrence tests the plain search would make on them.
  struct Kid {
    uint64_t node;
    uint64_t st;
    uint64_t calls;
  };
  std::vector<Node> nodes;  // every node after its descendants; the root (the empty string) last
  std::vector<Kid> kids;
  uint64_t root = 0;
};

struct TreeRules {
  uint64_t keepFrom;    // sequences that keep an interval as a node; 0 keeps every one
  uint64_t minLength;   // shortest candidate
  uint64_t sampled;     // sampled sequences
  uint64_t minSampled;  // the sample threshold the plain search tests against
  bool countTests;      // count the plain search's tests of failing candidates
};

template <class Index>
MotifTree build_motif_tree(const SuffixArray<Index>& sa, const TreeRules& rules);

// One pass of the plain search over n sequences, tested in order, after `have` occurrences
// counted elsewhere: it fails as soon as the count could no longer exceed `threshold`. The tests
// it makes and whether the candidate survives. `present` lists, sorted and distinct, the
// sequences that hold it.
struct PassResult {
  bool pass;
  uint64_t calls;
};
PassResult replay_pass(uint64_t n, const std::vector<uint64_t>& present, uint64_t have,
                       uint64_t threshold);
