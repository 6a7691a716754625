// `mine`: the features of one approach found on a set of sequences, as the console run finds
// them on the same sequences when their labels are grouped as it needs. Sequences are grouped
// into families by class (family f = class f of the label source, in input order within each),
// so labels may come in any order.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workflow/features_file.h"

struct MineSettings {
  std::string approach;             // dd, ddsm, ng or ma
  double alpha = 0, beta = 0;       // dd, ddsm
  std::string matrix = "BLOSUM62";  // ddsm
  double similarity = 0.5;          // ddsm
  int n = 3;                        // ng
  int64_t minLength = 3;            // ma
  int64_t minSequences = 0;         // ma; 0: a quarter of the sequences, at least 1
  int64_t distance = 0;             // ma
};

// Mines `sequences` (classes[i] is the class of sequences[i], a number into classNames; both
// empty when mining without labels). The result lists classNames as its classes, all of them,
// even those without sequences, so that every table encoded with it shares one class attribute.
FeatureSet mine_features(const std::vector<std::string_view>& sequences,
                         const std::vector<uint32_t>& classes,
                         const std::vector<std::string>& classNames, const MineSettings& s);

// The settings lines an approach's features file records.
std::vector<std::pair<std::string, std::string>> settings_lines(const MineSettings& s,
                                                                size_t sequences);
