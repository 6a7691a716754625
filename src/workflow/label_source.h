// Where the workflow commands take the class of each sequence from: a classification file (its
// first line begins with '#'; one label per sequence, in sequence order, classes in any order), a
// table of id<TAB>class lines, or the second word of each FASTA header. Lines end at a line feed;
// a carriage return before it belongs to the line end. Every problem ends the run (status 1)
// with one line naming the file and what is wrong.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/string_table.h"
#include "workflow/fasta_reader.h"

class LabelSource {
 public:
  // Reads a label file whole (labels are small beside the sequences they name).
  static LabelSource from_file(const std::string& path);
  // Classes from the second word of each header, in order of first appearance.
  static LabelSource from_headers(const std::string& sequenceFile);

  // The class names: the classification file's names section in file order, the table's classes
  // in order of first appearance, or the header classes seen so far. Class names are unique.
  const std::vector<std::string>& classes() const { return classes_; }

  // The class (index into classes()) of sequence number `ordinal` (from 0), whose record is `r`;
  // ends the run naming the sequence when it has no label.
  uint32_t class_of(uint64_t ordinal, const FastaRecord& r);

  // After the last of `sequences` sequences: ends the run on labels past the last sequence of a
  // classification file. A table may name more ids than the sequences (one table for a whole
  // project): those are ignored; a sequence without one is an error all the same.
  void finish(uint64_t sequences) const;

  // The classes of a whole set once read: for a table, only those that the sequences' labels
  // name, in the table's order, `classes` (one per sequence) renumbered to them (a table for a
  // whole project names classes of its own beyond the sequences); the other sources keep every
  // class, as they name them.
  std::vector<std::string> taken_classes(std::vector<uint32_t>& classes) const;

  const std::string& name() const { return name_; }

 private:
  enum class Kind { ClassificationFile, Table, Header };
  LabelSource(Kind kind, std::string name) : kind_(kind), name_(std::move(name)) {}
  void read_classification(const std::vector<std::string_view>& lines);
  void read_table(const std::vector<std::string_view>& lines);
  uint32_t add_class(std::string_view name);

  Kind kind_;
  std::string name_;
  std::vector<std::string> classes_;
  std::unordered_map<std::string, uint32_t> classIndex_;
  // Classification file: the class of each label line, in order, and the line of the first one.
  std::vector<uint32_t> labels_;
  uint64_t firstLabelLine_ = 0;
  // Table: its ids in file order, and by id its class.
  StringTable ids_;
  std::vector<uint32_t> idClass_;
};
