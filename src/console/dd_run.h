// DisClass, the dd run: the console adapter of the descriptor discovery. It asks for what it was
// not given, refuses what exceeds the console's capacities, runs the engine and writes
// "LesDDs.txt" and the ARFF context.
#pragma once
#include <string>

#include "console/work_area.h"
#include "core/progress_fn.h"

// dd: the three file names (empty from the menu) and the threshold texts.
void DisClass(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
              const std::string& contextFile, const std::string& alpha, const std::string& beta);

// The part of the run that dd and ddsm share once the files are open and the settings known:
// the sequences read and grouped (FormatFile, SeqFile.seq), the console's capacities, the family
// table, "\ndeb Discriminate" and the discovery, with progress on a terminal. `before` is
// printed between the capacity checks and the discovery.
void RunDiscovery(WorkArea& wa, FILE* seqFile, FILE* classFile, const char* before);

// The discovery on the family table with the run's thresholds: AllDDs (order of acceptance, with
// each descriptor's presence) and NbMot.
DiscoveryResults Discriminate(const FamilyTable& ft, const Settings& s,
                              const ProgressFn& progress = {});
