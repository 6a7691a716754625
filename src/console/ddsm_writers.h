// The files of the ddsm run: the report "LesDDSMs.txt", the plain list of kept descriptors, and
// the test context (the kept descriptors against the test sequences, in the shared ARFF layout).
// They read the pruned descriptor table and the settings (ALPHA, BETA, FilterAt). A file that
// cannot be created or written ends the run naming it (exit 1).
#pragma once
#include <string>
#include <vector>

#include "console/work_area.h"
#include "core/out_file.h"

inline constexpr const char* kDdsmReportName = "LesDDSMs.txt";

// The report: thresholds (100 x ALPHA and BETA in single precision), the filter start, the
// column header, then one record per kept descriptor, each opened by a line end; no final one.
void GenerateResultFile2(const Settings& s, const DescriptorTable& t);

// The kept descriptors, one per line.
void GenerateListMotifs(const std::string& name, const DescriptorTable& t);

// The test context: one attribute per kept descriptor (table order), the class attribute with
// `classNames` (the test classification file's names, in file order), then one row per test
// sequence: "1" where the descriptor occurs in it, and its label (labels[i] for sequence i).
void WriteTestContext(OutFile& out, const DescriptorTable& t, const std::vector<std::string>& tests,
                      const std::vector<std::string>& classNames,
                      const std::vector<std::string>& labels);
