// The classification file and SeqFile.seq, the sequences grouped by class.
#include "console/class_file.h"

#include <climits>
#include <unordered_set>

#include "console/capacity.h"
#include "console/limits.h"
#include "console/number_text.h"
#include "console/sequence_reader.h"
#include "core/files.h"
#include "core/out_file.h"
#include "core/progress.h"
#include "core/run_exit.h"

namespace {
constexpr const char* kBadCount = "\tErr: Class file invalid @class_number";
constexpr const char* kBadNames = "\tErr: Class file invalid @class_names";
constexpr const char* kBadData = "\tErr: Class file invalid @data";
constexpr const char* kSeqFileOpened = "j ai ouvert SeqFile.seq en ecriture\n";
constexpr const char* kSeqFileName = "SeqFile.seq";
constexpr const char* kGrouping = "grouping sequences by class: %d of %d";
constexpr int kGroupingEvery = 256;  // sequences between two progress calls

bool is_header(const std::string& line) { return !line.empty() && line[0] == '#'; }
}  // namespace

bool ClassFileReader::read_line(std::string& line) { return ::read_line(f_, line); }

std::string ClassFileReader::require_line() {
  std::string line;
  if (!read_line(line)) fail(1, "the classification file ends inside its header section");
  return line;
}

std::vector<std::string> ClassFileReader::read_names(int& count) {
  if (!is_header(require_line())) con_.print(kBadCount);
  long n = text_to_long(require_line());
  count = static_cast<int>(std::max<long>(INT_MIN, std::min<long>(INT_MAX, n)));
  if (!is_header(require_line())) con_.print(kBadNames);
  check_capacity("class names", count, kMaxClassNames);
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (int i = 0; i < count; ++i) {
    names.push_back(require_line());
    // The class attribute would list the name twice, and the ARFF reader refuses that.
    if (!seen.insert(names.back()).second)
      fail(1, "the classification file names the class \"%s\" twice",
           diagnostic_text(names.back()).c_str());
  }
  return names;
}

void ClassFileReader::read_data_header() {
  if (!is_header(require_line())) con_.print(kBadData);
}

std::string ClassFileReader::next_label(int ordinal) {
  std::string line;
  if (!read_line(line))
    fail(1, "the classification file has no label for sequence %d: its labels run out after %d",
         ordinal + 1, ordinal);
  return line;
}

ClassLabels ReadClassLabels(Console& con, FILE* classFile, int sequences) {
  ClassFileReader reader(classFile, con);
  ClassLabels classes;
  classes.names = reader.read_names(classes.count);
  reader.read_data_header();
  classes.labels.reserve(static_cast<size_t>(sequences > 0 ? sequences : 0));
  const std::unordered_set<std::string> names(classes.names.begin(), classes.names.end());
  for (int i = 0; i < sequences; ++i) {
    classes.labels.push_back(reader.next_label(i));
    // A row's class must be a declared value of the class attribute.
    if (!names.count(classes.labels.back()))
      fail(1,
           "the classification file gives sequence %d the label \"%s\", which is none of its "
           "class names",
           i + 1, diagnostic_text(classes.labels.back()).c_str());
  }
  return classes;
}

void WriteSeqFile(const InputTables& t, ClassGrouping& g, Console& con, FILE* classFile) {
  ClassFileReader reader(classFile, con);
  int N = 0;
  g.reset();
  g.LstClsForMSDD = reader.read_names(N);
  OutFile out = OutFile::create(kSeqFileName);
  con.print(kSeqFileOpened);
  reader.read_data_header();

  int k = 0, s = 0;
  bool need_label = true;
  std::string label;
  progress::show(kGrouping, s, t.Tot);
  while (k < N && s < t.Tot) {
    out.write("/\n");
    g.SeqGroups.emplace_back();
    for (;;) {
      if (need_label) {
        if (s == t.Tot) break;
        label = reader.next_label(s);
      }
      if (label != g.LstClsForMSDD[static_cast<size_t>(k)]) {
        // The label closes this class; it is compared again with the next class name.
        need_label = false;
        ++k;
        break;
      }
      out.write(t.P[static_cast<size_t>(s)]);
      if (s != t.Tot - 1) out.write("\n");
      g.SeqGroups.back().push_back(static_cast<uint32_t>(s));
      g.Labels.push_back(label);
      ++s;
      need_label = true;
      if (s % kGroupingEvery == 0) progress::show(kGrouping, s, t.Tot);
    }
  }
  // With no sequence at all the first class still gets its '/' line.
  if (t.Tot == 0 && N > 0) {
    out.write("/\n");
    g.SeqGroups.emplace_back();
  }
  out.close();
  progress::clear();
  if (s < t.Tot) {
    if (need_label)  // no label was read: the file names no class
      warn("all %d sequences left out of SeqFile.seq: the classification file names no class",
           t.Tot);
    else
      warn(
          "%d of %d sequences left out of SeqFile.seq, from sequence %d on: its label \"%s\" "
          "matches no remaining class name",
          t.Tot - s, t.Tot, s + 1, diagnostic_text(label).c_str());
  }
}

void FormatFile(InputTables& t, ClassGrouping& g, Console& con, FILE* seqFile, FILE* classFile) {
  read_sequences(t, con, seqFile, ReaderMember::FormatFile);
  WriteSeqFile(t, g, con, classFile);
}
