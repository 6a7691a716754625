// The ddsm run: prompts, the descriptor discovery shared with dd, the pruning with the chosen
// substitution matrix, and the report, the descriptor list and (with a test file) the test
// context.
#include <optional>
#include <string>
#include <vector>

#include "core/approaches.h"
#include "core/number_text.h"
#include "core/out_file.h"
#include "core/prompts.h"
#include "descriptors/discovery.h"
#include "input/class_file.h"
#include "input/family_table.h"
#include "input/sequence_reader.h"
#include "submatrix/ddsm_writers.h"
#include "submatrix/matrices.h"
#include "submatrix/pruning.h"

namespace {
constexpr const char* kTestPrompt1 = "\n%%\tEnter the test file \n";
constexpr const char* kTestPrompt2 = "  \tif there is no test file press ENTER: ";
constexpr const char* kTestClassPrompt1 = "\n%%\tEnter the test classification file for the %hd sequences\n";
constexpr const char* kTestClassPrompt2 = "  \tof the test file: ";
constexpr const char* kMatrixPrompt1 = "\n%%\tEnter the substitution matrix number  1 or 2\n";
constexpr const char* kMatrixPrompt2 = "  \t(1 means BLOSUM45; 4 means PAM30)";
constexpr const char* kMatrixPrompt3 = "  \t(2 means BLOSUM62; 5 means PAM70)";
constexpr const char* kMatrixPrompt4 = "  \t(3 means BLOSUM80; 6 means PAM250) default[2] : ";
constexpr const char* kScorePrompt1 = "\n%%\tEnter the threshold similarity score default value[0.5]: \n";
constexpr const char* kScorePrompt2 = "  \tThreshold similarity score [0.5]= ";
constexpr const char* kRunning = "\n%\tRunning...\n";
constexpr const char* kDescriptorCount = "\n%\t %d  discriminative descriptors";
constexpr const char* kContextPrompt = "%%\tEnter the ARFF Context file name [Context.arff]: ";
constexpr const char* kTestContextPrompt = "%%\tEnter the ARFF test file name [Test.arff]: ";
constexpr const char* kComplete = "\n ===>   Encoding complete, press any buton to return to menu";
constexpr const char* kDefaultContext = "Context.arff";
constexpr const char* kDefaultTestContext = "Test.arff";
constexpr long kDefaultMatrix = 2;
constexpr float kDefaultScore = 0.5f;

// The test set: its sequences are in wa.SLstT; the names and labels of its classification file.
struct TestSet {
  std::vector<std::string> classNames;
  std::vector<std::string> labels;
};

// Test file prompt: an empty answer means no test file; a name that cannot be opened is asked
// again. The test sequences are read at once, before the training sequences.
bool ask_test_file(WorkArea& wa) {
  for (;;) {
    wa.con.print(kTestPrompt1);
    wa.con.print(kTestPrompt2);
    const std::string name = wa.con.read_answer();
    if (name.empty()) return false;
    if (InFile f = open_input(name)) {
      wa.Sam1 = kSampleSize;
      get_test_data(wa, f.get());
      return true;
    }
  }
}

// Test classification prompt, asked until the file opens. The file is read whole right away
// (names, data header and one label per test sequence), so that a file short of labels ends the
// run before the long discovery and before any output file is written.
TestSet ask_test_classification(WorkArea& wa) {
  InFile f;
  for (;;) {
    wa.con.print(kTestClassPrompt1, static_cast<short>(wa.Tot1));
    wa.con.print(kTestClassPrompt2);
    if ((f = open_input(wa.con.read_answer()))) break;
  }
  TestSet set;
  ClassFileReader reader(f.get(), wa.con);
  int count = 0;
  set.classNames = reader.read_names(count);
  reader.read_data_header();
  for (int i = 0; i < static_cast<int>(wa.SLstT.size()); ++i) set.labels.push_back(reader.next_label(i));
  return set;
}

void ask_matrix(WorkArea& wa, Matrix& MS) {
  for (;;) {
    wa.con.print(kMatrixPrompt1);
    wa.con.print(kMatrixPrompt2);
    wa.con.print("\n");
    wa.con.print(kMatrixPrompt3);
    wa.con.print("\n");
    wa.con.print(kMatrixPrompt4);
    const std::string answer = wa.con.read_answer();
    // The whole number is checked: 65537 is refused rather than read as 1 in 16 bits.
    const long number = answer.empty() ? kDefaultMatrix : text_to_long(answer);
    if (const Matrix* m = MatrixOfNumber(number)) {
      MS = *m;
      return;
    }
  }
}

void ask_score(WorkArea& wa) {
  for (;;) {
    wa.con.print(kScorePrompt1);
    wa.con.print(kScorePrompt2);
    const std::string answer = wa.con.read_answer();
    wa.Score = answer.empty() ? kDefaultScore : static_cast<float>(text_to_double(answer));
    // A negative threshold, or one that is not a number, is asked again.
    if (wa.Score >= 0) return;
  }
}

std::string ask_name(WorkArea& wa, const char* prompt, const char* fallback) {
  wa.con.print(prompt);
  std::string answer = wa.con.read_answer();
  return answer.empty() ? fallback : answer;
}
}  // namespace

void DDMS(WorkArea& wa, const std::string&, const std::string&, const std::string&) {
  wa.Step = 1;
  wa.FilterAt = 3;
  wa.T.clear();
  wa.Drapeau.clear();
  wa.Results.clear();
  wa.AllDDs.clear();
  wa.NbFamilles = wa.NbChaines = wa.NbMot = wa.NbrClasses = wa.Longueur = 0;
  wa.LongMot = 1;

  std::string seqName, className;
  InFile seqFile = ask_sequence_file(wa, seqName);
  InFile classFile = ask_classification_file(wa, className, true);
  const bool withTest = ask_test_file(wa);
  TestSet test;
  if (withTest) test = ask_test_classification(wa);
  do {
    ask_thresholds(wa);
  } while (!thresholds_in_range(wa.ALPHA, wa.BETA));
  Matrix MS{};
  ask_matrix(wa, MS);
  ask_score(wa);

  FormatFile(wa, seqFile.get(), classFile.get());
  FillTable(wa);
  wa.con.print(kRunning);
  Discriminate(wa);
  DescriptorTable table;
  MSDescriptors(wa, MS, table);
  wa.con.print(kDescriptorCount, static_cast<int>(table.NbMSDD));
  GenerateResultFile2(wa, table);

  const std::string contextName = ask_name(wa, kContextPrompt, kDefaultContext);
  std::optional<OutFile> testContext;
  if (withTest) {
    while (!testContext) testContext = OutFile::try_create(ask_name(wa, kTestContextPrompt, kDefaultTestContext));
  }
  GenerateListMotifs(contextName, table);
  if (testContext) {
    WriteTestContext(*testContext, table, wa.SLstT, test.classNames, test.labels);
    testContext->close();
  }
  wa.con.print(kComplete);
}
