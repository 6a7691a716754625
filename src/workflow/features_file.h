// The features file: what `mine` found and `encode` applies. Tab-separated text:
//   #protfeat<TAB>VERSION
//   #approach<TAB>dd|ddsm|ng|ma
//   #setting<TAB>NAME<TAB>VALUE        one per option of the approach, checked as the
//                                      command line checks it
//   #class<TAB>NAME                    one per training class, in order
//   #columns<TAB>feature<TAB>...       the last header line
//   then one line per feature, in attribute order.
// Columns: dd: feature, families (class names joined by '|'), support (count/size, the same in
// each family named: they are tied); ddsm: feature, family, support, mutation probability;
// ng and ma: feature, sequences.
// One escape rule for every field: backslash as \\, tab \t, carriage return \r, line feed \n,
// and, inside the families field only, '|' in a name as \| (the reader takes \| anywhere). So
// every byte of a feature or class name survives the round trip.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/out_file.h"
#include "workflow/approach.h"

struct Feature {
  std::string text;
  std::vector<std::string> families;  // dd: the classes it discriminates
  std::string family;                 // ddsm: the class of its lowest family
  std::string support;                // dd, ddsm: "count/size"
  std::string probability;            // ddsm: the mutation probability
  uint64_t sequences = 0;             // ng, ma: sequences that contain it
};

struct FeatureSet {
  std::string version;
  MineSettings settings;             // the approach and its settings, as mined
  std::vector<std::string> classes;  // training classes in order; empty: mined without labels
  std::vector<Feature> features;     // attribute order

  Approach approach() const { return settings.approach; }
};

// For approaches whose features stand for classes (dd: the families each discriminates; ddsm:
// its family), the number of features of each class of the set; empty for the others.
std::vector<size_t> features_per_class(const FeatureSet& set);

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
