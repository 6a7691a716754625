// Literal versions of the input readers, written as the old program worked: a 6000-byte line
// buffer filled piece by piece, one pass per step, no shortcuts. The tests and fuzz targets
// compare the readers of src/input with them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "console/sequence_reader.h"

struct RefSequences {
  int count = 0;               // header pieces
  std::vector<std::string> P;  // every sequence (only files within the sample size)
  std::string out;             // console texts
  bool ended = false;          // the test member stopped on an over-length sequence
};

// Reads `file` as `member` does, for files of at most 4000 sequences (every one sampled).
RefSequences reference_read_sequences(const std::string& file, ReaderMember member);

struct RefSeqFile {
  std::vector<std::string> names;
  std::string seqfile;  // bytes of SeqFile.seq
  std::string out;      // console texts
  bool failed = false;  // the class file ran out (header section or labels) or named a class twice
  int written = 0;      // sequences written
};

// The second stage: names and SeqFile.seq from the class file bytes and the sequences.
RefSeqFile reference_seq_file(const std::string& classFile, const std::vector<std::string>& P);

struct RefSequence {
  uint32_t number, length, start;
};
struct RefFamily {
  uint32_t number;
  std::vector<RefSequence> sequences;
};
struct RefTable {
  std::vector<RefFamily> families;
  std::string T;
  std::vector<int64_t> Drapeau;  // Drapeau[0] = 0
  uint32_t NbChaines = 0, Longueur = 0;
};

// The family table read back from the bytes of SeqFile.seq, in pieces of 5999 bytes.
RefTable reference_fill_table(const std::string& seqfile);
