// The ma run: reads the sequences, builds the suffix tree of the sampled ones, walks it for the
// motifs and writes "Report.out" and the motif list under the context file name.
#include <ctime>
#include <new>

#include "core/approaches.h"
#include "core/files.h"
#include "core/out_file.h"
#include "core/prompts.h"
#include "core/run_exit.h"
#include "input/sequence_reader.h"
#include "motifs/motif_search.h"
#include "motifs/suffix_tree.h"

namespace {
constexpr const char* kReportName = "Report.out";
constexpr const char* kSequencesFound = "\n ===>   %hd sequences found in file <%s>\n";
constexpr const char* kHeadMinLength = "Minimum length = %hd\n";
constexpr const char* kHeadMinOcc = "Minimum occurrence number = %hd\n";
constexpr const char* kHeadMutations = "Number of mutations allowed = %hd\n";
constexpr const char* kHeadTotal = "Total number of sequences = %hd\n";
constexpr const char* kHeadInput = "Input file name = %s\n";
constexpr const char* kHeadClass = "Classification file name = %s\n\n\n";
constexpr const char* kColumns1 = "  Occurrence number     Motif\n";
constexpr const char* kColumns2 = "  -----------------     -----\n";
constexpr const char* kNoMotifYet =
    "      0 motifs found\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b";
constexpr const char* kNoMemory = "\tErr:no enough memory\n";
constexpr const char* kReportTail = "\n\n%6lu motifs found\n%6lu motifs checked";
constexpr const char* kChecked = " \n%7lu motifs checked\n";
constexpr const char* kSeconds = "\n%\t%f seconds\n";
constexpr const char* kDone = "\n ===>   Encoding complete, press any buton to return to menu";

class OutFileSink : public ReportSink {
 public:
  explicit OutFileSink(OutFile& f) : f_(f) {}
  void write(std::string_view line) override { f_.write(line); }
  void flush() override { f_.flush(); }

 private:
  OutFile& f_;
};
}  // namespace

void Discover(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
              const std::string& contextFile) {
  std::string seqName = seqFile, className = classFile, contextName = contextFile;
  InFile in, classF;
  if (seqName.empty()) {
    // Started from the menu: the three names are asked for before the run starts.
    in = ask_sequence_file(wa, seqName);
    classF = ask_optional_classification_file(wa, className);
    contextName = ask_context_file(wa);
  } else {
    in = open_input(seqName);
    if (!in) fail(1, "cannot open the sequence file \"%s\"", seqName.c_str());
    if (!className.empty()) classF = open_input(className);
  }

  wa.con.print("%s", seqName.c_str());
  wa.Sam = kSampleSize;
  get_data(wa, in.get());
  in.reset();
  wa.con.print(kSequencesFound, static_cast<short>(wa.Tot), seqName.c_str());

  MotifSearch ms;
  ms.Maxlgh = 6000;
  ms.Minlgh = 3;
  ms.Minocc = static_cast<int16_t>(wa.Tot / 4);
  ms.Dist = 0;

  OutFile out = OutFile::create(kReportName);
  const std::clock_t started = std::clock();
  SuffixTree tree(wa.P);
  try {
    tree.make_root();
    ms.Minsam = compute_minsam(wa.Tot, wa.Sam, ms.Minocc);
    out.print(kHeadMinLength, static_cast<short>(ms.Minlgh));
    out.print(kHeadMinOcc, static_cast<short>(ms.Minocc));
    out.print(kHeadMutations, static_cast<short>(ms.Dist));
    out.print(kHeadTotal, static_cast<short>(wa.Tot));
    out.print(kHeadInput, seqName.c_str());
    if (classF) out.print(kHeadClass, className.c_str());
    out.flush();
    tree.insert_all(wa.Sam);
  } catch (const std::bad_alloc&) {
    out.print(kNoMemory);
    out.close();
    fail(1, "not enough memory to build the suffix tree of %d sequences", wa.Sam);
  }
  out.print(kColumns1);
  out.print(kColumns2);
  wa.con.print(kNoMotifYet);

  OutFileSink sink(out);
  one_ptn(ms, tree, wa.P, wa.D, wa.con, sink);

  out.print(kReportTail, static_cast<unsigned long>(ms.Ct), static_cast<unsigned long>(ms.St));
  wa.con.print(kChecked, static_cast<unsigned long>(ms.St));
  wa.con.print(kSeconds, static_cast<double>(std::clock() - started) / 1000000);
  out.close();

  OutFile context = OutFile::create(contextName);
  for (size_t r = 0; r < ms.MLst.size(); ++r) {
    const MotifRef& m = ms.MLst[r];
    context.write(std::string_view(wa.P[m.seq]).substr(m.start, m.length));
    context.put('\n');
  }
  context.close();
  wa.con.print(kDone);
}
