// The four approach runs the entry can start. Each takes the three file names in the order
// classification file, sequence file, context file (empty from the menu) and returns when the
// whole approach is done; an early end is a RunExit (run_exit.h).
#pragma once
#include <string>

#include "core/work_area.h"

// dd: discriminative descriptors (alpha and beta are the threshold texts).
void DisClass(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
              const std::string& contextFile, const std::string& alpha, const std::string& beta);
// ddsm: descriptors weighed and pruned with a substitution matrix.
void DDMS(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
          const std::string& contextFile);
// ng: n-grams of length n.
int mainNGrams(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
               const std::string& contextFile, int n);
// ma: active motifs.
void Discover(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
              const std::string& contextFile);
