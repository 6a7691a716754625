// The ma run: reads the sequences, builds the index of the sampled ones, walks it for the motifs
// and writes "Report.out" and the motif list under the context file name.
#include "console/ma_run.h"

#include <chrono>
#include <new>

#include "console/limits.h"
#include "console/processor_time.h"
#include "console/prompts.h"
#include "console/sequence_reader.h"
#include "core/engine_progress.h"
#include "core/files.h"
#include "core/out_file.h"
#include "core/progress.h"
#include "core/run_exit.h"
#include "core/text_format.h"
#include "engine/motifs/motif_search.h"

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
constexpr const char* kNoMotifYet = "      0 motifs found\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b";
constexpr const char* kNoMemory = "\tErr:no enough memory\n";
constexpr const char* kMotifLine = "\t%3hd\t\t*";
constexpr const char* kMotifProgress = "%c%6lu\b\b\b\b\b\b\b";
constexpr const char* kReportTail = "\n\n%6lu motifs found\n%6lu motifs checked";
constexpr const char* kChecked = " \n%7lu motifs checked\n";
constexpr const char* kDone = "\n ===>   Encoding complete, press any buton to return to menu";
constexpr int64_t kMaxMotifLength = 6000;  // Maxlgh
constexpr auto kFlushEvery = std::chrono::milliseconds(100);

}  // namespace

void ConsoleReport::building(uint64_t done, uint64_t total, uint64_t size) {
  progress::engine()({"building the motif index", done, total, "sequences", size});
}

void ConsoleReport::phase(const char* step) { progress::engine()({step, 0, 0, {}, 0}); }

void ConsoleReport::tested(uint64_t calls) {
  spinner_.advance(calls, pending_);
  tick();
}

void ConsoleReport::found(const MotifSearch& ms, std::string_view text) {
  report_.print(kMotifLine, static_cast<short>(ms.MLst.back().count));
  report_.write(text);
  report_.write("*\n");
  pending_ += format_text(kMotifProgress, spinner_.current(), static_cast<unsigned long>(ms.Ct));
  tick();
}

void ConsoleReport::finish() {
  emit();
  con_.flush();
  report_.flush();
}

void ConsoleReport::emit() {
  if (!pending_.empty()) con_.write(pending_);
  pending_.clear();
}

void ConsoleReport::tick() {
  if (pending_.size() >= (1u << 16)) emit();
  const auto now = std::chrono::steady_clock::now();
  if (now - lastFlush_ < kFlushEvery) return;
  lastFlush_ = now;
  finish();
}

void Discover(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
              const std::string& contextFile) {
  std::string seqName = seqFile, className = classFile, contextName = contextFile;
  InFile in, classF;
  if (seqName.empty()) {
    // Started from the menu: the three names are asked for before the run starts.
    in = ask_sequence_file(wa.con, seqName);
    classF = ask_optional_classification_file(wa.con, className);
    contextName = ask_context_file(wa.con);
  } else {
    in = open_input(seqName);
    if (!in) fail(1, "cannot open the sequence file \"%s\"", seqName.c_str());
    if (!className.empty()) classF = open_input(className);
  }

  InputTables& t = wa.input;
  wa.con.print("%s", seqName.c_str());
  get_data(t, wa.con, in.get());
  in.reset();
  wa.con.print(kSequencesFound, static_cast<short>(t.Tot), seqName.c_str());

  MotifSearch ms;
  ms.Maxlgh = kMaxMotifLength;
  ms.Minlgh = 3;
  ms.Minocc = t.Tot / 4;
  ms.Dist = 0;

  OutFile out = OutFile::create(kReportName);
  const ProcessorClock clock;
  ms.Minsam = compute_minsam(t.Tot, t.Sam, static_cast<int>(ms.Minocc));
  out.print(kHeadMinLength, static_cast<short>(ms.Minlgh));
  out.print(kHeadMinOcc, static_cast<short>(ms.Minocc));
  out.print(kHeadMutations, static_cast<short>(ms.Dist));
  out.print(kHeadTotal, static_cast<short>(t.Tot));
  out.print(kHeadInput, seqName.c_str());
  if (classF) out.print(kHeadClass, className.c_str());
  out.flush();

  ConsoleReport report(wa.con, out);
  const std::vector<std::string_view> sample = views_of(t.P);
  std::unique_ptr<MotifIndex> index;
  try {
    index = std::make_unique<MotifIndex>(sample, &report);
  } catch (const std::bad_alloc&) {
    progress::clear();
    out.print(kNoMemory);
    out.close();
    fail(1, "not enough memory to build the motif index of %d sequences", t.Sam);
  }
  progress::clear();
  out.print(kColumns1);
  out.print(kColumns2);
  wa.con.print(kNoMotifYet);

  one_ptn(ms, *index, views_of(t.D), &report);
  report.finish();

  out.print(kReportTail, static_cast<unsigned long>(ms.Ct), static_cast<unsigned long>(ms.St));
  wa.con.print(kChecked, static_cast<unsigned long>(ms.St));
  clock.print_seconds(wa.con);
  out.close();

  OutFile context = OutFile::create(contextName);
  for (const MotifRef& m : ms.MLst) {
    context.write(index->text(m));
    context.put('\n');
  }
  context.close();
  wa.con.print(kDone);
}
