// Test helpers of the descriptor discovery: the engine's parts built from families given as
// strings, as FormatFile and FillTable would leave them, and a dump of everything the discovery
// leaves.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "console/dd_run.h"
#include "console/work_area.h"
#include "core/out_file.h"
#include "engine/descriptors/discovery.h"
#include "engine/descriptors/family_table.h"
#include "support/run_program.h"

struct FamilySet {
  std::vector<std::vector<std::string>> families;  // the sequences of family 1, 2, ...
  std::vector<std::string> names = {};             // class names; missing ones are F1, F2, ...
};

inline std::string class_name(const FamilySet& set, size_t f) {
  return f < set.names.size() ? set.names[f] : "F" + std::to_string(f + 1);
}

// The parts a dd run reads and writes once its input is grouped: the class names and labels, the
// family table, the discovery state and the settings.
struct DdParts {
  ClassGrouping classes;
  FamilyTable families;
  DiscoveryResults discovery;
  Settings settings;
};

// The parts after the readers and FillTable, thresholds set.
inline DdParts make_dd_parts(const FamilySet& set, float alpha, float beta) {
  DdParts wa;
  std::vector<std::string> sequences;
  size_t classes = std::max(set.names.size(), set.families.size());
  for (size_t f = 0; f < classes; ++f) wa.classes.LstClsForMSDD.push_back(class_name(set, f));
  for (size_t f = 0; f < set.families.size(); ++f) {
    wa.classes.SeqGroups.emplace_back();
    for (const std::string& s : set.families[f]) {
      wa.classes.SeqGroups.back().push_back(static_cast<uint32_t>(sequences.size()));
      sequences.push_back(s);
      wa.classes.Labels.push_back(class_name(set, f));
    }
  }
  wa.families = build_family_table(views_of(sequences), wa.classes.SeqGroups);
  wa.settings.ALPHA = alpha;
  wa.settings.BETA = beta;
  return wa;
}

// The classification file that FormatFile would have read for `set`.
inline std::string class_file_text(const FamilySet& set) {
  size_t classes = std::max(set.names.size(), set.families.size());
  std::string out = "#class_number\n" + std::to_string(classes) + "\n#class_names\n";
  for (size_t f = 0; f < classes; ++f) out += class_name(set, f) + "\n";
  out += "#data\n";
  for (size_t f = 0; f < set.families.size(); ++f)
    for (size_t i = 0; i < set.families[f].size(); ++i) out += class_name(set, f) + "\n";
  return out;
}

// Every result of a discovery, one descriptor per line, numbered from 1 in order of acceptance.
inline std::string dump_results(const std::vector<Descriptor>& accepted) {
  std::string out;
  uint32_t number = 0;
  for (const Descriptor& dd : accepted) {
    out += "dd " + std::to_string(++number) + " " + dd.text + " count " + std::to_string(dd.count) +
           "/" + std::to_string(dd.size) + " families";
    for (uint32_t f : dd.families) out += " " + std::to_string(f);
    out += " presence";
    for (auto [s, c] : dd.presence) out += " " + std::to_string(s) + ":" + std::to_string(c);
    out += "\n";
  }
  return out;
}

// A scratch file for written_bytes: in memory-backed /dev/shm when there is one (thousands of
// small files are slow on a disk), else in a temporary folder; removed when the tests end.
class ScratchFile {
 public:
  ScratchFile() {
    std::error_code ec;
    if (std::filesystem::is_directory("/dev/shm", ec))
      path_ = "/dev/shm/protfeat-dd-test-" + std::to_string(::getpid());
    else
      path_ = (dir_.path() / "out").string();
  }
  ~ScratchFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  TempDir dir_;
  std::string path_;
};

// Runs `write` on the scratch file and returns its bytes.
template <typename Write>
std::string written_bytes(Write write) {
  static ScratchFile scratch;
  const std::string& path = scratch.path();
  {
    OutFile out = OutFile::create(path);
    write(out);
    out.close();
  }
  return read_file(path);
}
