// The dd run: files and thresholds, the family-grouped text, the discovery, the two outputs.
#include "core/approaches.h"
#include "core/capacity.h"
#include "core/number_text.h"
#include "core/prompts.h"
#include "descriptors/dd_writers.h"
#include "descriptors/discovery.h"
#include "input/class_file.h"
#include "input/family_table.h"

namespace {
constexpr const char* kStarted = "fin startt ";
constexpr const char* kRunning = "\n%\tRunning...\n";
constexpr const char* kFound = "\n%\t%d  discriminative descriptors";
constexpr const char* kDefaultContext = "Context.arff";

float threshold(const std::string& text) { return static_cast<float>(text_to_double(text)); }
}  // namespace

void DisClass(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
              const std::string& contextFile, const std::string& alpha, const std::string& beta) {
  wa.Step = 1;
  wa.FilterAt = 3;
  wa.Results.clear();
  wa.AllDDs.clear();
  wa.NbFamilles = wa.NbChaines = wa.NbMot = wa.NbrClasses = wa.Longueur = 0;
  wa.LongMot = 1;
  wa.ALPHA = wa.BETA = 0;

  std::string seqName = seqFile, className = classFile;
  InFile in = open_or_ask_sequence_file(wa, seqName);
  InFile classF = ask_classification_file(wa, className, false);

  wa.ALPHA = threshold(alpha);
  wa.BETA = threshold(beta);
  while (!thresholds_in_range(wa.ALPHA, wa.BETA)) ask_thresholds(wa);

  FormatFile(wa, in.get(), classF.get());
  FillTable(wa);
  // The filter counts at most MAX_FAM - 1 families; refuse more before any descriptor exists.
  check_capacity("families", static_cast<long>(wa.NbFamilles), kMaxFamilies);

  wa.con.print(kStarted);
  wa.con.print(kRunning);
  Discriminate(wa);
  wa.con.print(kFound, static_cast<int>(wa.NbMot));
  wa.con.flush();

  GenerateResultFile(wa);
  GenerateARFFFile(wa, contextFile.empty() ? kDefaultContext : contextFile);
}
