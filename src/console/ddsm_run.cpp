// The ddsm run: prompts, the descriptor discovery shared with dd, the pruning with the chosen
// substitution matrix, and the report, the descriptor list and (with a test file) the test
// context.
#include "console/ddsm_run.h"

#include <optional>
#include <string>
#include <vector>

#include "console/capacity.h"
#include "console/class_file.h"
#include "console/dd_run.h"
#include "console/ddsm_writers.h"
#include "console/limits.h"
#include "console/number_text.h"
#include "console/prompts.h"
#include "console/sequence_reader.h"
#include "core/engine_progress.h"
#include "core/out_file.h"
#include "core/progress.h"
#include "engine/substitution/matrices.h"
#include "engine/substitution/pruning.h"

namespace {
constexpr const char* kTestPrompt1 = "\n%%\tEnter the test file \n";
constexpr const char* kTestPrompt2 = "  \tif there is no test file press ENTER: ";
constexpr const char* kTestClassPrompt1 =
    "\n%%\tEnter the test classification file for the %hd sequences\n";
constexpr const char* kTestClassPrompt2 = "  \tof the test file: ";
constexpr const char* kMatrixPrompt1 = "\n%%\tEnter the substitution matrix number  1 or 2\n";
constexpr const char* kMatrixPrompt2 = "  \t(1 means BLOSUM45; 4 means PAM30)";
constexpr const char* kMatrixPrompt3 = "  \t(2 means BLOSUM62; 5 means PAM70)";
constexpr const char* kMatrixPrompt4 = "  \t(3 means BLOSUM80; 6 means PAM250) default[2] : ";
constexpr const char* kScorePrompt1 =
    "\n%%\tEnter the threshold similarity score default value[0.5]: \n";
constexpr const char* kScorePrompt2 = "  \tThreshold similarity score [0.5]= ";
constexpr const char* kDescriptorCount = "\n%\t %d  discriminative descriptors";
constexpr const char* kContextPrompt = "%%\tEnter the ARFF Context file name [Context.arff]: ";
constexpr const char* kTestContextPrompt = "%%\tEnter the ARFF test file name [Test.arff]: ";
constexpr const char* kComplete = "\n ===>   Encoding complete, press any buton to return to menu";
constexpr const char* kDefaultContext = "Context.arff";
constexpr const char* kDefaultTestContext = "Test.arff";
constexpr long kDefaultMatrix = 2;
constexpr float kDefaultScore = 0.5f;

// Test file prompt: an empty answer means no test file; a name that cannot be opened is asked
// again. The test sequences are read at once, before the training sequences.
bool ask_test_file(Console& con, InputTables& t) {
  for (;;) {
    const std::string name = ask_with_default(con, {kTestPrompt1, kTestPrompt2}, "");
    if (name.empty()) return false;
    if (InFile f = open_input(name)) {
      get_test_data(t, con, f.get());
      return true;
    }
  }
}

// Test classification prompt, asked until the file opens. The file is read whole right away
// (names, data header and one label per test sequence), so that a file short of labels, naming a
// class twice or giving a label it does not name ends the run before the long discovery and
// before any output file is written.
ClassLabels ask_test_classification(Console& con, const InputTables& t) {
  InFile f;
  for (;;) {
    con.print(kTestClassPrompt1, static_cast<short>(t.Tot1));
    con.print(kTestClassPrompt2);
    if ((f = open_input(con.read_answer()))) break;
  }
  return ReadClassLabels(con, f.get(), static_cast<int>(t.SLstT.size()));
}

void ask_matrix(Console& con, Matrix& MS) {
  for (;;) {
    const std::string answer = ask_with_default(
        con, {kMatrixPrompt1, kMatrixPrompt2, "\n", kMatrixPrompt3, "\n", kMatrixPrompt4}, "");
    // The whole number is checked: 65537 is refused rather than read as 1 in 16 bits.
    const long number = answer.empty() ? kDefaultMatrix : text_to_long(answer);
    if (const Matrix* m = MatrixOfNumber(number)) {
      MS = *m;
      return;
    }
  }
}

void ask_score(Console& con, Settings& s) {
  for (;;) {
    const std::string answer = ask_with_default(con, {kScorePrompt1, kScorePrompt2}, "");
    s.Score = answer.empty() ? kDefaultScore : static_cast<float>(text_to_double(answer));
    // A negative threshold, or one that is not a number, is asked again.
    if (s.Score >= 0) return;
  }
}
}  // namespace

DescriptorTable MSDescriptors(const DiscoveryResults& ds,
                              const std::vector<std::string>& classNames, const Matrix& MS,
                              float Score, const ProgressFn& progress) {
  static const std::string kNoClass;
  DescriptorTable t;
  for (ScoredDescriptor& d : prune_descriptors(ds.AllDDs, {&MS, Score}, progress)) {
    const bool named = d.family >= 1 && d.family <= classNames.size();
    t.add(std::move(d.text), named ? classNames[d.family - 1] : kNoClass);
    t.CLst.back() = d.probability;
    t.CLst2.back() = 1;
  }
  return t;
}

void DDMS(WorkArea& wa, const std::string&, const std::string&, const std::string&) {
  wa.settings.reset();
  std::string seqName, className;
  InFile seqFile = ask_sequence_file(wa.con, seqName);
  InFile classFile = ask_classification_file(wa.con, className, true);
  const bool withTest = ask_test_file(wa.con, wa.input);
  ClassLabels test;
  if (withTest) test = ask_test_classification(wa.con, wa.input);
  do {
    ask_thresholds(wa.con, wa.settings);
  } while (!thresholds_in_range(wa.settings.ALPHA, wa.settings.BETA));
  Matrix MS{};
  ask_matrix(wa.con, MS);
  ask_score(wa.con, wa.settings);

  RunDiscovery(wa, seqFile.get(), classFile.get(), "");
  check_capacity("descriptors", static_cast<long>(wa.discovery.AllDDs.size()), kMaxDescriptors);
  wa.descriptors = MSDescriptors(wa.discovery, wa.classes.LstClsForMSDD, MS, wa.settings.Score,
                                 progress::engine());
  progress::clear();
  const DescriptorTable& table = wa.descriptors;
  wa.con.print(kDescriptorCount, static_cast<int>(table.NbMSDD));
  GenerateResultFile2(wa.settings, table);

  const std::string contextName = ask_with_default(wa.con, {kContextPrompt}, kDefaultContext);
  std::optional<OutFile> testContext;
  if (withTest) {
    while (!testContext)
      testContext =
          OutFile::try_create(ask_with_default(wa.con, {kTestContextPrompt}, kDefaultTestContext));
  }
  GenerateListMotifs(contextName, table);
  if (testContext) {
    WriteTestContext(*testContext, table, wa.input.SLstT, test.names, test.labels);
    testContext->close();
  }
  wa.con.print(kComplete);
}
