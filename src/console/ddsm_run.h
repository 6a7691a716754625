// DDMS, the ddsm run: the console adapter of the descriptor discovery and the substitution-matrix
// pruning. Every file and setting is asked for at its prompts (the three names it is given are
// not used); it writes "LesDDSMs.txt", the list of kept descriptors and, with a test file, the
// test context.
#pragma once
#include <string>

#include "console/work_area.h"

void DDMS(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
          const std::string& contextFile);
