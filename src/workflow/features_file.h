// The features file: what `mine` found and `encode` applies. Tab-separated text:
//   #protfeat<TAB>VERSION
//   #approach<TAB>dd|ddsm|ng|ma
//   #setting<TAB>NAME<TAB>VALUE        one per option of the approach, checked as the
//                                      command line checks it (alphabet only when one was
//                                      given)
//   #training<TAB>N                    the number of sequences mined on
//   #class<TAB>NAME                    one per training class, in order
//   #background<TAB>COUNT              the background sequences mined against, when any
//   #columns<TAB>feature<TAB>...       the last header line
//   then one line per feature, in attribute order.
// Columns: dd: feature, families (class names joined by '|'), support (count/size, the same in
// each family named: they are tied), sequences; ddsm: feature, family, support, mutation
// probability, sequences; ng and ma: feature, sequences. `sequences` is the number of training
// sequences that contain the feature (as encode matches it): with #training, what tf-idf
// weighs by. Files written before those were recorded lack #training, and dd and ddsm files
// lack the sequences column: they still read, for every value kind but tf-idf.
// Mined with an alphabet, a feature is written as the pattern it matches ("[LVIM]C[ST]"), and a
// pattern read back must fit the alphabet of the #setting line; in memory a feature's text is
// the mapped text, each group standing as its first letter.
// One escape rule for every field: backslash as \\, tab \t, carriage return \r, line feed \n,
// and, inside the families field only, '|' in a name as \| (the reader takes \| anywhere). So
// every byte of a feature or class name survives the round trip.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/out_file.h"
#include "workflow/approach.h"

struct Feature {
  std::string text;                   // with an alphabet, the mapped text
  std::vector<std::string> families;  // dd: the classes it discriminates
  std::string family;                 // ddsm: the class of its lowest family
  std::string support;                // dd, ddsm: "count/size"
  std::string probability;            // ddsm: the mutation probability
  uint64_t sequences = 0;             // training sequences that contain it
};

struct FeatureSet {
  std::string version;
  MineSettings settings;             // the approach and its settings, as mined
  std::vector<std::string> classes;  // training classes in order; empty: mined without labels
  uint64_t background = 0;           // background sequences mined against (dd, ddsm)
  std::vector<Feature> features;     // attribute order
  // The sequences mined on; absent in a file written before it was recorded.
  std::optional<uint64_t> training;
  // Whether the features' `sequences` are known (false for a dd or ddsm file written before
  // that column).
  bool sequencesKnown = true;

  Approach approach() const { return settings.approach; }
};

// For approaches whose features stand for classes (dd: the families each discriminates; ddsm:
// its family), the number of features of each class of the set; empty for the others.
std::vector<size_t> features_per_class(const FeatureSet& set);

// The name of each feature, as the features file and every table write it: its text, or with an
// alphabet the pattern it matches.
std::vector<std::string> feature_names(const FeatureSet& set);

// Writes the whole file.
void write_features(OutFile& out, const FeatureSet& set);

// The whole file as a text.
std::string features_text(const FeatureSet& set);

// Reads a features file; a file it cannot read ends the run (status 1) naming the file and the
// line.
FeatureSet read_features(const std::string& path);
// The same for the text of a features file, named `name` in messages.
FeatureSet features_from_text(std::string_view text, const std::string& name);

// The field escape rule (with `pipes`, '|' is escaped too), and its inverse; unescape returns
// false on a backslash that starts no escape.
std::string escape_field(std::string_view field, bool pipes = false);
bool unescape_field(std::string_view field, std::string& out);
