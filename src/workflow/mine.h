// `mine`: the features of one approach found on a set of sequences, as the console run finds
// them on the same sequences when their labels are grouped as it needs. Sequences are grouped
// into families by class (family f = class f of the label source, in input order within each),
// so labels may come in any order.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workflow/approach.h"
#include "workflow/features_file.h"

// What a mine function reads: the sequences, the class of each (a number into classNames; empty
// when mining without labels), the names of the classes, and the background: sequences of no
// class, which approaches that take one count among the other sequences of every class.
struct MineInput {
  const std::vector<std::string_view>& sequences;
  const std::vector<uint32_t>& classes;
  const std::vector<std::string>& classNames;
  const std::vector<std::string_view>& background;
};

// Mines `sequences` (classes[i] is the class of sequences[i], a number into classNames; both
// empty when mining without labels), mapped to the settings' alphabet when they give one. The
// result lists classNames as its classes, all of them, even those without sequences, so that every
// table encoded with it shares one class attribute; it records the number of sequences and, per
// feature, how many of them contain it. `background` is taken only by the approaches whose table
// entry says so (dd, ddsm), mapped the same way.
FeatureSet mine_features(const std::vector<std::string_view>& sequences,
                         const std::vector<uint32_t>& classes,
                         const std::vector<std::string>& classNames, const MineSettings& s,
                         const std::vector<std::string_view>& background = {});

// The mine function of each approach (the approach table holds them): the features of the
// input, appended to `out`, whose classes are the input's class names.
namespace miners {
void dd(const MineInput& in, const MineSettings& s, FeatureSet& out);
void ddsm(const MineInput& in, const MineSettings& s, FeatureSet& out);
void ng(const MineInput& in, const MineSettings& s, FeatureSet& out);
void ma(const MineInput& in, const MineSettings& s, FeatureSet& out);
}  // namespace miners
