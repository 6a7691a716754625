// The values of a table's rows, before any formatting: for one sequence, over the features of
// one or more features files side by side, the ascending column numbers of its non-zero cells
// and their values. The Encoder makes every cell of every format from RowValues::compute, and
// any other caller (the Python package) gets the same numbers from it.
//
// One FeatureMatcher per features file does all the matching of that file; RowValues puts the
// matchers' outputs side by side and turns them into values.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/alphabet/reduced_alphabet.h"
#include "engine/matching/keyword_matcher.h"
#include "workflow/features_file.h"
#include "workflow/value_kind.h"

// Finds the features of one features file in a sequence: all at once through the keyword
// automaton (every approach, ma with distance 0), or, for ma with a distance above 0, one
// edit-distance test per motif (slow: its cost grows with motifs times residues). A sequence is
// first mapped to the alphabet the features were mined in. Read-only once
// built: several threads may use one at once, each with its own Scratch.
class FeatureMatcher {
 public:
  explicit FeatureMatcher(const FeatureSet& set);

  // What one thread's searches need of their own.
  struct Scratch {
    KeywordMatcher::Scratch keywords;
    std::string mapped;  // the sequence in the features' alphabet
  };

  size_t size() const { return count_; }
  // The numbers of the features `sequence` contains, ascending.
  void find(std::string_view sequence, std::vector<uint32_t>& found, Scratch& scratch) const;
  // The same, and in counts[i] how often found[i] occurs: the positions where the feature
  // starts, overlapping occurrences included (one pass of the automaton). For ma with a distance
  // above 0, the positions where an occurrence within the distance ends (count_within): every
  // window ending there within the distance is one occurrence, however many starts reach it.
  void count(std::string_view sequence, std::vector<uint32_t>& found, std::vector<uint64_t>& counts,
             Scratch& scratch) const;

 private:
  size_t count_;
  int64_t distance_;
  KeywordMatcher automaton_;         // empty with a distance
  std::vector<std::string> motifs_;  // with a distance: the motifs, and framed "*motif*" for
  std::vector<std::string> framed_;  // the presence test
  ReducedAlphabet alphabet_;         // a sequence is mapped to it first
};

// Whether a features file records what tf-idf needs: the number of training sequences
// (#training) and, per feature, the training sequences that contain it. Files written before
// those were recorded have neither.
bool has_training_frequencies(const FeatureSet& set);

// Per feature of `set`, how many of `sequences` contain it, as FeatureMatcher finds it (the
// sequences shared between the cores).
std::vector<uint64_t> sequences_containing(const FeatureSet& set,
                                           const std::vector<std::string_view>& sequences);

class RowValues {
 public:
  // The columns of `sets` side by side, in order; `sets` must outlive the object. Throws
  // std::invalid_argument for tfidf when a set lacks its training frequencies, and when the
  // sets hold more than 2^32 - 1 features together.
  RowValues(const std::vector<const FeatureSet*>& sets, ValueKind kind);

  ValueKind kind() const { return kind_; }
  // The columns of all sets.
  size_t columns() const { return columns_; }
  // The column of the first feature of set `s`: its feature k is column first_column(s) + k.
  size_t first_column(size_t s) const { return first_[s]; }

  // One row: its non-zero cells, by ascending column.
  struct Row {
    std::vector<uint32_t> columns;
    std::vector<double> values;  // values[i] is the cell of columns[i]
  };
  // What one thread's rows need of their own.
  class Scratch {
    friend class RowValues;
    std::vector<FeatureMatcher::Scratch> matchers_;
    std::vector<uint32_t> found_;
    std::vector<uint64_t> counts_;
  };

  // The row of `sequence`. Binary: 1.0 for each feature it contains. Count: the occurrences
  // (FeatureMatcher::count). Tfidf: per set, (1 + ln count) * idf, with idf = ln((1 + N) /
  // (1 + df)) + 1 (N the set's training sequences, df those containing the feature), each set's
  // cells then divided by their Euclidean norm: a set's block of the row has unit length. This
  // is scikit-learn's TfidfTransformer(sublinear_tf=True) fitted on the training counts, and
  // for several sets its FeatureUnion of one such transformer per set.
  // Const: several threads may call it on one shared object, each with its own Row and Scratch.
  void compute(std::string_view sequence, Row& row, Scratch& scratch) const;

 private:
  ValueKind kind_;
  std::vector<FeatureMatcher> matchers_;
  std::vector<size_t> first_;
  std::vector<std::vector<double>> idf_;  // tfidf: per set, per feature
  size_t columns_ = 0;
};
