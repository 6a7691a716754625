// The workflow commands once their command lines are parsed: mine, encode and folds. Each
// returns the exit status; bad input ends it through RunExit (status 1) with one error line,
// and no output is left behind (files and folders are staged and renamed at the end).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "workflow/mine.h"
#include "workflow/table_formats.h"
#include "workflow/value_kind.h"

struct InputOptions {
  std::string sequences;  // "-": standard input
  std::string labels;     // empty: none
  bool headerLabels = false;
};

struct MineOptions {
  InputOptions input;
  MineSettings settings;
  std::string output;
  std::vector<std::string> background;  // FASTA files of sequences of no class
};

struct EncodeOptions {
  InputOptions input;
  std::vector<std::string> features;  // the features files, their columns side by side in order
  std::string output;
  std::string ids;  // the file of the rows' ids, one per line; empty: none
  TableFormat format = TableFormat::Arff;
  ValueKind values = ValueKind::Binary;
  unsigned threads = 1;
};

struct FoldsOptions {
  InputOptions input;
  MineSettings settings;
  uint32_t k = 0;
  uint64_t seed = 1;
  std::string folder;
  TableFormat format = TableFormat::Arff;
  ValueKind values = ValueKind::Binary;
  unsigned threads = 1;
};

int run_mine(const MineOptions& o);
int run_encode(const EncodeOptions& o);
int run_folds(const FoldsOptions& o);
