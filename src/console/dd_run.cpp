// The dd run: files and thresholds, the family-grouped text, the discovery, the two outputs.
#include "console/dd_run.h"

#include <new>

#include "console/capacity.h"
#include "console/class_file.h"
#include "console/dd_writers.h"
#include "console/limits.h"
#include "console/number_text.h"
#include "console/prompts.h"
#include "core/engine_progress.h"
#include "core/progress.h"
#include "core/run_exit.h"
#include "engine/descriptors/discovery.h"
#include "engine/descriptors/family_table.h"

namespace {
constexpr const char* kStarted = "fin startt ";
constexpr const char* kRunning = "\n%\tRunning...\n";
constexpr const char* kDiscoveryStart = "\ndeb Discriminate";
constexpr const char* kNoText = "\n T est null";
constexpr const char* kFound = "\n%\t%d  discriminative descriptors";
constexpr const char* kDefaultContext = "Context.arff";

float threshold(const std::string& text) { return static_cast<float>(text_to_double(text)); }

// The family table of the sequences as SeqFile.seq groups them.
void FillTable(WorkArea& wa) {
  wa.families = build_family_table(views_of(wa.input.P), wa.classes.SeqGroups);
}
}  // namespace

DiscoveryResults Discriminate(const FamilyTable& ft, const Settings& s,
                              const ProgressFn& progress) {
  DiscoveryResults ds;
  ds.AllDDs = discover_descriptors(ft, s.thresholds(), DiscoveryRecords::All, progress);
  ds.NbMot = static_cast<uint32_t>(ds.AllDDs.size());
  return ds;
}

void RunDiscovery(WorkArea& wa, FILE* seqFile, FILE* classFile, const char* before) {
  FormatFile(wa.input, wa.classes, wa.con, seqFile, classFile);
  check_capacity("residues in the concatenated text",
                 static_cast<long>(GroupedResidues(views_of(wa.input.P), wa.classes.SeqGroups)),
                 MAX_KMR - 1);
  try {
    FillTable(wa);
  } catch (const std::bad_alloc&) {
    wa.con.print(kNoText);
    end_run(1);
  }
  // The filter counts at most MAX_FAM - 1 families; refuse more before any descriptor exists.
  check_capacity("families", static_cast<long>(wa.families.familyCount), kMaxFamilies);

  wa.con.print(before);
  wa.con.print(kRunning);
  wa.con.print(kDiscoveryStart);
  wa.discovery = Discriminate(wa.families, wa.settings, progress::engine());
  progress::clear();
}

void DisClass(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
              const std::string& contextFile, const std::string& alpha, const std::string& beta) {
  std::string seqName = seqFile, className = classFile;
  InFile in = open_or_ask_sequence_file(wa.con, seqName);
  InFile classF = ask_classification_file(wa.con, className, false);

  wa.settings.reset();
  wa.settings.ALPHA = threshold(alpha);
  wa.settings.BETA = threshold(beta);
  while (!thresholds_in_range(wa.settings.ALPHA, wa.settings.BETA))
    ask_thresholds(wa.con, wa.settings);

  RunDiscovery(wa, in.get(), classF.get(), kStarted);
  wa.con.print(kFound, static_cast<int>(wa.discovery.NbMot));
  wa.con.flush();

  GenerateResultFile(wa.discovery, wa.settings);
  GenerateARFFFile(wa.families, wa.discovery, wa.classes,
                   contextFile.empty() ? kDefaultContext : contextFile);
}
