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
}  // namespace

void RunDiscovery(WorkArea& wa, FILE* seqFile, FILE* classFile, const char* before) {
  FormatFile(wa.input, wa.classes, wa.con, seqFile, classFile);
  const std::vector<std::string_view> P = views_of(wa.input.P);
  check_capacity("residues in the concatenated text",
                 static_cast<long>(GroupedResidues(P, wa.classes.SeqGroups)), MAX_KMR - 1);
  try {
    FillTable(P, wa.classes.SeqGroups, wa.families);
  } catch (const std::bad_alloc&) {
    wa.con.print(kNoText);
    end_run(1);
  }
  // The filter counts at most MAX_FAM - 1 families; refuse more before any descriptor exists.
  check_capacity("families", static_cast<long>(wa.families.NbFamilles), kMaxFamilies);

  wa.con.print(before);
  wa.con.print(kRunning);
  wa.con.print(kDiscoveryStart);
  Discriminate(wa.families, wa.settings, wa.discovery, progress::engine());
  progress::clear();
}

void DisClass(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
              const std::string& contextFile, const std::string& alpha, const std::string& beta) {
  std::string seqName = seqFile, className = classFile;
  InFile in = open_or_ask_sequence_file(wa.con, seqName);
  InFile classF = ask_classification_file(wa.con, className, false);

  wa.settings.reset();  // Step 1, FilterAt 3
  wa.settings.ALPHA = threshold(alpha);
  wa.settings.BETA = threshold(beta);
  while (!thresholds_in_range(wa.settings.ALPHA, wa.settings.BETA))
    ask_thresholds(wa.con, wa.settings);

  RunDiscovery(wa, in.get(), classF.get(), kStarted);
  wa.con.print(kFound, static_cast<int>(wa.discovery.NbMot));
  wa.con.flush();

  GenerateResultFile(wa.families, wa.discovery, wa.settings);
  GenerateARFFFile(wa.families, wa.discovery, wa.classes,
                   contextFile.empty() ? kDefaultContext : contextFile);
}
