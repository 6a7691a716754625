// A whole sequence file in memory, as mine and folds need it: the residues of all sequences back
// to back in one buffer with their end offsets (no allocation per sequence), the ids likewise,
// and each sequence's class when labels are given.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/string_table.h"
#include "workflow/label_source.h"
#include "workflow/packed_texts.h"

struct SequenceSet {
  PackedTexts residues, ids;            // by sequence, in file order
  std::vector<uint64_t> lines;          // the header line of each sequence
  std::vector<uint32_t> classes;        // class number of each sequence (with labels)
  std::vector<std::string> classNames;  // the label source's classes (with labels)
  bool labelled = false;

  size_t size() const { return residues.size(); }
  std::string_view sequence(size_t i) const { return residues[i]; }
  std::string_view id(size_t i) const { return ids[i]; }
  // Views of the sequences numbered `which` (all of them when empty), in that order; they live
  // as long as the set.
  std::vector<std::string_view> views(const std::vector<uint32_t>& which = {}) const;
};

// The sequence file `path` as messages name it: the sequence file "PATH", or standard input.
std::string sequence_file(const std::string& path);
// Ends the run (status 1): the sequence file `path` holds no sequence.
[[noreturn]] void no_sequence(const std::string& path);

// Reads every sequence of `path` ("-": standard input), with the class of each from `labels`
// when given. Ends the run (status 1) on a duplicate id, naming it and both lines, and on any
// label problem.
SequenceSet read_sequence_set(const std::string& path, LabelSource* labels);

// Remembers the ids of a stream of sequences and refuses one seen before, naming the file, the
// line and the id (the same rule as read_sequence_set, for commands that stream).
class IdChecker {
 public:
  explicit IdChecker(std::string file) : file_(std::move(file)) {}
  void check(std::string_view id, uint64_t line);

 private:
  std::string file_;
  StringTable seen_;
  std::vector<uint64_t> lines_;  // by id seen: its header line
};
