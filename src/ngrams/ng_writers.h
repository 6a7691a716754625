// The classification file as the ng run reads it, and the three contexts of the run: the ARFF
// file "contexte.txt", the context file named by the user (its own format, "#motifs number"
// first) and the data file "contextedat.dat". Every file gets the same 0/1 values, taken from
// each row's own windows through the n-gram list's table (never from a search in the sequences).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/out_file.h"
#include "ngrams/ngram_list.h"

struct NgClasses {
  int32_t count = 0;                // the class count as the file states it
  std::vector<std::string> names;   // the names section, in file order
  std::vector<std::string> labels;  // the class of each sequence, in sequence order
};

// Reads the header section (printing "\tErr: Class file invalid @..." without a line end for a
// header line without '#') and one label per sequence. A file that ends inside its header
// section, or whose labels run out before `sequences` labels were read, ends the run with one
// line on standard error and status 1, so no row is ever written with a missing or repeated
// label. More than 100 class names are refused.
NgClasses ReadNgClasses(Console& con, FILE* classFile, int sequences);

// Writes the three files, heads first, then row by row, one row per sequence (the sequences
// the list was built from, in the same order).
// Without classes (null) the contexts carry no class part and "contextedat.dat" stays empty.
// The files are left open (the caller closes them, which checks the writes).
void WriteNgContexts(const NgramList& list, const std::vector<std::string>& sequences,
                     const NgClasses* classes, OutFile& context,
                     OutFile& dat, OutFile& arff);
