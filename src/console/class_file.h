// The classification file ('#' header, class count, '#' header, class names, '#' header, one
// label per sequence) and the family-grouped file SeqFile.seq.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "console/work_area.h"

// Reads a classification file line by line; lines are kept whole, without their line end (a
// carriage return before it stays part of the name or label).
class ClassFileReader {
 public:
  ClassFileReader(FILE* f, Console& con) : f_(f), con_(con) {}

  // Reads lines 1 to N+3: the count header, the count N, the names header and the N names,
  // printing "\tErr: Class file invalid @class_number" or "...@class_names" (no line end) for a
  // header line without '#'. Ends the run (status 1) when the file ends inside the section,
  // names more than 100 classes or names one class twice (two empty lines are two empty names).
  // Returns the names in file order; `count` receives N.
  std::vector<std::string> read_names(int& count);
  // Reads the data header line, printing "\tErr: Class file invalid @data" when it has no '#';
  // ends the run (status 1) when the file ends before it.
  void read_data_header();

  // The next label line; ends the run (status 1, one line on standard error) when the labels
  // run out before sequence `ordinal` (0-based) has one.
  std::string next_label(int ordinal);

 private:
  bool read_line(std::string& line);
  std::string require_line();
  FILE* f_;
  Console& con_;
};

// The names of a classification file and one label per sequence, read whole (the ng run's
// classes, the ddsm run's test classification file).
struct ClassLabels {
  int32_t count = 0;                // the class count as the file states it
  std::vector<std::string> names;   // the names section, in file order
  std::vector<std::string> labels;  // the class of each sequence, in sequence order
};

// Reads the header section (printing "\tErr: Class file invalid @..." without a line end for a
// header line without '#') and one label per sequence. A file that ends inside its header
// section, whose labels run out before `sequences` labels were read, or that gives a sequence a
// label which is none of its class names, ends the run with one line on standard error and
// status 1, so every row written has a label that the class attribute declares. The header
// section is refused as read_names refuses it.
ClassLabels ReadClassLabels(Console& con, FILE* classFile, int sequences);

// FormatFile: first stage (sequence reader), then the second stage: the class names into
// LstClsForMSDD, SeqFile.seq written (and its grouping kept in SeqGroups, its labels in Labels).
// Sequences left out of SeqFile.seq are reported on standard error.
void FormatFile(InputTables& t, ClassGrouping& g, Console& con, FILE* seqFile, FILE* classFile);

// The second stage alone, on sequences already in P (Tot of them).
void WriteSeqFile(const InputTables& t, ClassGrouping& g, Console& con, FILE* classFile);
