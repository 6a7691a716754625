// The approaches of `mine`, `encode` and `folds` in one table: per approach its name, whether it
// needs labels, its options with their checks, the columns of its features file, its mine
// function and how `encode` matches its features. Everything else asks the table; approach
// names are compared only where a command line or a features file is read (approach_named).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/alphabet/reduced_alphabet.h"

enum class Approach : uint8_t { Dd, Ddsm, Ng, Ma };
inline constexpr size_t kApproachCount = 4;

// What `mine` is asked for: the approach and the value of every approach option.
struct MineSettings {
  Approach approach = Approach::Dd;
  double alpha = 0, beta = 0;       // dd, ddsm
  std::string matrix = "BLOSUM62";  // ddsm
  double similarity = 0.5;          // ddsm
  int n = 3, nMax = 3;              // ng: the n-grams of every length from n to nMax
  int64_t minLength = 3;            // ma
  int64_t minSequences = 0;         // ma; 0: a quarter of the sequences, at least 1
  int64_t distance = 0;             // ma
  int64_t maxLength = 0;            // ma; 0: no limit
  int64_t maxFeatures = 10000000;   // ma; and 100 bytes each for the features file in all
  ReducedAlphabet alphabet{};       // all: the groups residues are mapped to before mining
};

// An option of one or more approaches, given on the command line as `flag VALUE` and recorded in
// the features file as `#setting<TAB>setting<TAB>VALUE`. Both are read by `parse`, which checks
// the value and stores it, or returns what is wrong with it ("is not a number", "must be ...").
struct ApproachOption {
  std::string_view flag;     // "--alpha"
  std::string_view setting;  // "alpha"
  std::string_view value;    // the value's name in the help: "A"
  std::string_view help;     // what it means
  // Stores the value; returns an empty text, or the problem in words after the value's name.
  std::string (*parse)(MineSettings& s, std::string_view value);
  // The value as the features file records it; an empty text is not recorded (an option left
  // at a default that a file without its line reads as such).
  std::string (*show)(const MineSettings& s);
  bool required = false;
};

// The columns of the feature lines of a features file, after the feature itself. Sequences, the
// training sequences that contain the feature, is the last column of every approach.
enum class FeatureColumn { Families, Family, Support, Probability, Sequences };
std::string_view column_name(FeatureColumn column);

struct FeatureSet;
struct MineInput;

struct ApproachInfo {
  Approach approach;
  std::string_view name;
  bool needsLabels;
  // Whether mine takes background sequences (--background): sequences of no class, counted
  // among the other sequences of every class; no feature is chosen for them.
  bool takesBackground;
  std::span<const ApproachOption* const> options;
  std::span<const FeatureColumn> columns;
  // Mines the features of the input (the classes of the result are filled by the caller).
  void (*mine)(const MineInput& in, const MineSettings& s, FeatureSet& out);
  // The edit distance within which a feature occurs in a sequence (0: as a substring).
  int64_t (*matchDistance)(const MineSettings& s);
  // What is wrong with the settings together (each one is checked by its parser), or an empty
  // text; the options are named by their flags, or with `flags` false by their setting names.
  std::string (*check)(const MineSettings& s, bool flags);
};

// The entry of an approach; every approach has one (checked when the table is built).
const ApproachInfo& approach_info(Approach a);
const std::array<ApproachInfo, kApproachCount>& approaches();

// The approach of a name, as a command line or a features file gives it.
std::optional<Approach> approach_named(std::string_view name);
inline std::string_view approach_name(Approach a) { return approach_info(a).name; }

// The names of the approaches joined: "dd, ddsm, ng or ma".
std::string approach_list();

// The options of every approach, each once, in the order the help lists them.
std::vector<const ApproachOption*> all_approach_options();
// Whether `option` belongs to `a`.
bool approach_has(Approach a, const ApproachOption* option);
// The option of `a` recorded under a setting name, or null.
const ApproachOption* approach_setting(Approach a, std::string_view setting);

// The settings with the defaults that depend on the input filled in, as mining on `sequences`
// sequences takes them (min-sequences 0: a quarter of the sequences, at least 1).
MineSettings resolved(const MineSettings& s, size_t sequences);

// The settings lines of a features file mined with `s` (resolved), without those of options
// that record nothing.
std::vector<std::pair<std::string, std::string>> settings_lines(const MineSettings& s);
