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
constexpr uint64_t Minlgh = 3;
constexpr uint64_t Maxlgh = 6000;
constexpr uint64_t Dist = 0;
constexpr auto kFlushEvery = std::chrono::milliseconds(100);

}  // namespace

MotifSettings ma_settings(int Tot, int Sam) {
  MotifSettings ms;
  ms.minLength = Minlgh;
  ms.maxLength = Maxlgh;
  const auto Minocc = static_cast<uint64_t>(Tot / 4);
  ms.minAllSequences = Minocc;
  ms.minSequences =
      min_sampled_sequences(static_cast<uint64_t>(Tot), static_cast<uint64_t>(Sam), Minocc);
  ms.distance = Dist;
  return ms;
}

void ConsoleReport::tested(uint64_t calls) {
  spinner_.advance(calls, pending_);
  tick();
}

void ConsoleReport::found(const MotifRef& motif, std::string_view text, uint64_t Ct) {
  report_.print(kMotifLine, static_cast<short>(motif.count));
  report_.write(text);
  report_.write("*\n");
  pending_ += format_text(kMotifProgress, spinner_.current(), static_cast<unsigned long>(Ct));
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

MotifResult one_ptn(std::shared_ptr<const MotifIndex> index, SequenceViews D,
                    const MotifSettings& ms, ConsoleReport& report) {
  MotifResult found = search_motifs(std::move(index), D, ms, &report);
  report.finish();
  return found;
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

  OutFile out = OutFile::create(kReportName);
  const ProcessorClock clock;
  const MotifSettings ms = ma_settings(t.Tot, t.Sam);
  out.print(kHeadMinLength, static_cast<short>(ms.minLength));
  out.print(kHeadMinOcc, static_cast<short>(ms.minAllSequences));
  out.print(kHeadMutations, static_cast<short>(ms.distance));
  out.print(kHeadTotal, static_cast<short>(t.Tot));
  out.print(kHeadInput, seqName.c_str());
  if (classF) out.print(kHeadClass, className.c_str());
  out.flush();

  ConsoleReport report(wa.con, out);
  const std::vector<std::string_view> sample = views_of(t.P);
  std::shared_ptr<const MotifIndex> index;
  try {
    index = std::make_shared<const MotifIndex>(sample, progress::engine());
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

  const std::vector<std::string_view> rest = views_of(t.D);
  const MotifResult found = one_ptn(std::move(index), rest, ms, report);
  const uint64_t St = found.checked, Ct = found.motifs.size();
  const std::vector<MotifRef>& MLst = found.motifs;

  out.print(kReportTail, static_cast<unsigned long>(Ct), static_cast<unsigned long>(St));
  wa.con.print(kChecked, static_cast<unsigned long>(St));
  clock.print_seconds(wa.con);
  out.close();

  OutFile context = OutFile::create(contextName);
  for (const MotifRef& m : MLst) {
    context.write(found.text(m));
    context.put('\n');
  }
  context.close();
  wa.con.print(kDone);
}
