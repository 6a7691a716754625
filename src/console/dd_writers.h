// The two outputs of the dd run: the descriptor report "LesDDs.txt" and the ARFF context. Both
// list the descriptors from the most recent one back to the first (AllDDs read from its end).
//
// Reads AllDDs, the family table (its sequence and family counts), ALPHA, BETA, FilterAt, the
// class names (LstClsForMSDD) and the label of every sequence (Labels) kept when SeqFile.seq was
// written.
#pragma once
#include <string>

#include "console/work_area.h"
#include "core/out_file.h"

// The first lines of the descriptor reports of dd and ddsm: "ALPHA = %f " and "BETA = %f ", each
// followed by "%" and a line end, with 100 x the threshold as a single-precision product (0.7
// reports as 70.000000, 0.3 as 30.000002).
void WriteThresholdLines(const Settings& s, OutFile& out);

// Creates or empties "LesDDs.txt" and writes the report (a file that cannot be created or
// written ends the run, status 1, naming it).
void GenerateResultFile(const DiscoveryResults& ds, const Settings& s);
// The report into an open file: the two thresholds as percentages of single-precision products,
// the filtering length, then one line per descriptor with the families it discriminates. No
// line end after the last descriptor.
void WriteResultFile(const DiscoveryResults& ds, const Settings& s, OutFile& out);

// Creates or empties the context file and writes the ARFF context.
void GenerateARFFFile(const FamilyTable& ft, const DiscoveryResults& ds, const ClassGrouping& g,
                      const std::string& contextName);
// The context into an open file: one {1,0} attribute per descriptor, the class attribute with
// the names of the families that have sequences, one row per sequence labelled with its class.
void WriteARFFContext(const FamilyTable& ft, const DiscoveryResults& ds, const ClassGrouping& g,
                      OutFile& out);
