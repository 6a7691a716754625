// The classification file and SeqFile.seq, the sequences grouped by class.
#include "input/class_file.h"

#include <climits>

#include "core/capacity.h"
#include "core/files.h"
#include "core/number_text.h"
#include "core/out_file.h"
#include "core/progress.h"
#include "core/run_exit.h"
#include "input/sequence_reader.h"

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
  for (int i = 0; i < count; ++i) names.push_back(require_line());
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

void WriteSeqFile(WorkArea& wa, FILE* classFile) {
  ClassFileReader reader(classFile, wa.con);
  int N = 0;
  wa.LstClsForMSDD = reader.read_names(N);
  wa.NbClsForMSDD = N;
  OutFile out = OutFile::create(kSeqFileName);
  wa.con.print(kSeqFileOpened);
  reader.read_data_header();

  wa.SeqGroups.clear();
  wa.Labels.clear();
  int k = 0, s = 0;
  bool need_label = true;
  std::string label;
  progress::show(kGrouping, s, wa.Tot);
  while (k < N && s < wa.Tot) {
    out.write("/\n");
    wa.SeqGroups.emplace_back();
    for (;;) {
      if (need_label) {
        if (s == wa.Tot) break;
        label = reader.next_label(s);
      }
      if (label != wa.LstClsForMSDD[static_cast<size_t>(k)]) {
        // The label closes this class; it is compared again with the next class name.
        need_label = false;
        ++k;
        break;
      }
      out.write(wa.P[static_cast<size_t>(s)]);
      if (s != wa.Tot - 1) out.write("\n");
      wa.SeqGroups.back().push_back(s);
      wa.Labels.push_back(label);
      ++s;
      need_label = true;
      if (s % kGroupingEvery == 0) progress::show(kGrouping, s, wa.Tot);
    }
  }
  // With no sequence at all the first class still gets its '/' line.
  if (wa.Tot == 0 && N > 0) {
    out.write("/\n");
    wa.SeqGroups.emplace_back();
  }
  out.close();
  progress::clear();
  if (s < wa.Tot) {
    progress::clear();
    std::fflush(stdout);
    if (need_label)  // no label was read: the file names no class
      std::fprintf(stderr, "warning: all %d sequences left out of SeqFile.seq: the classification "
                   "file names no class\n", wa.Tot);
    else
      std::fprintf(stderr,
                   "warning: %d of %d sequences left out of SeqFile.seq, from sequence %d on: "
                   "its label \"%s\" matches no remaining class name\n",
                   wa.Tot - s, wa.Tot, s + 1, label.c_str());
  }
}

void FormatFile(WorkArea& wa, FILE* seqFile, FILE* classFile) {
  read_sequences(wa, seqFile, ReaderMember::FormatFile);
  WriteSeqFile(wa, classFile);
}
