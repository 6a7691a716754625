// The classification file as the ng run reads it, and the three contexts of the run: the ARFF
// file "contexte.txt", the context file named by the user (its own format, "#motifs number"
// first) and the data file "contextedat.dat". Every file gets the same 0/1 values, taken from
// each row's own windows through the n-gram list's table (never from a search in the sequences).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "console/class_file.h"
#include "core/out_file.h"
#include "engine/ngrams/ngram_list.h"

// Writes the three files, heads first, then row by row, one row per sequence (the sequences
// the list was built from, in the same order).
// Without classes (null) the contexts carry no class part and "contextedat.dat" stays empty.
// The files are left open (the caller closes them, which checks the writes).
void WriteNgContexts(const NgramList& list, const std::vector<std::string>& sequences,
                     const ClassLabels* classes, OutFile& context, OutFile& dat, OutFile& arff);
