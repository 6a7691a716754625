// DDMS, the ddsm run: the console adapter of the descriptor discovery and the substitution-matrix
// pruning. Every file and setting is asked for at its prompts (the three names it is given are
// not used); it writes "LesDDSMs.txt", the list of kept descriptors and, with a test file, the
// test context.
#pragma once
#include <string>
#include <vector>

#include "console/work_area.h"
#include "core/progress_fn.h"
#include "engine/substitution/matrices.h"

void DDMS(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
          const std::string& contextFile);

// The pruning of AllDDs under MS with the similarity threshold Score, as the console's table: the
// kept descriptors in the pruning's order, each with its mutation probability, its keep mark and
// the class name of its first family (classNames[family - 1]; empty when there is none).
DescriptorTable MSDescriptors(const DiscoveryResults& ds,
                              const std::vector<std::string>& classNames, const Matrix& MS,
                              float Score, const ProgressFn& progress = {});
