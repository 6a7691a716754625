// mainNGrams, the ng run: the console adapter of the n-gram engine. It asks for the names it was
// not given, reads the sequences and the classes, and writes the three n-gram contexts.
#pragma once
#include <string>

#include "console/work_area.h"

// ng: n-grams of length n (the entry passes 3). Returns 0.
int mainNGrams(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
               const std::string& contextFile, int n);
