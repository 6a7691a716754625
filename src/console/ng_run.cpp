// mainNGrams, the ng run: the file names (asked for when empty), the sequences, the distinct
// 3-grams with their presence, then the three contexts.
#include "console/ng_run.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "console/ng_writers.h"
#include "console/processor_time.h"
#include "console/prompts.h"
#include "console/sequence_reader.h"
#include "core/engine_progress.h"
#include "core/files.h"
#include "core/out_file.h"
#include "core/progress.h"
#include "core/run_exit.h"
#include "engine/ngrams/ngram_list.h"

namespace {
constexpr const char* kSequencesFound = "\n ===> %hd sequences found in file <%s>\n";
constexpr const char* kNgrams = "\n%\t%d N-Grams";
constexpr const char* kDistinctNgrams = "\n%\t%d distinct N-Grams";
constexpr const char* kDatFile = "contextedat.dat";
constexpr const char* kArffFile = "contexte.txt";

bool same_file(const std::string& a, const std::string& b) {
  // Made absolute first: a relative name whose first part does not exist stays relative.
  std::error_code ea, eb;
  const auto pa = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ea), ea);
  const auto pb = std::filesystem::weakly_canonical(std::filesystem::absolute(b, eb), eb);
  return ea || eb ? a == b : pa == pb;
}
}  // namespace

int mainNGrams(WorkArea& wa, const std::string& classFile, const std::string& seqFile,
               const std::string& contextFile, int n) {
  if (n < 1 || n > kMaxNgramLength)
    fail(1, "the n-gram length %d is outside 1 to %d", n, kMaxNgramLength);
  // From the menu every name is empty: all three are asked for before the run starts. A class
  // file given by name that cannot be opened means a run without classes.
  std::string seqName = seqFile, className = classFile, contextName = contextFile;
  InFile in = seqName.empty() ? ask_sequence_file(wa.con, seqName)
                              : open_or_ask_sequence_file(wa.con, seqName);
  InFile classF = className.empty() ? ask_optional_classification_file(wa.con, className)
                                    : open_input(className);
  if (contextName.empty()) contextName = ask_context_file(wa.con);

  InputTables& t = wa.input;
  get_data_ng(t, wa.con, in.get());
  in.reset();
  wa.con.print(kSequencesFound, static_cast<short>(t.Tot), seqName.c_str());

  const ProcessorClock clock;
  const NgramList list =
      BuildNgramList(views_of(t.SLst), n, NgramIndexing::Auto, progress::engine());
  progress::clear();
  wa.con.print(kNgrams, static_cast<int>(list.cells));
  wa.con.print(kDistinctNgrams, list.Nbvar());
  clock.print_seconds(wa.con);

  // Every label is read before any file is created, so a short classification file ends the
  // run without a half-written context.
  std::optional<ClassLabels> classes;
  if (classF) {
    classes = ReadClassLabels(wa.con, classF.get(), t.Tot);
    classF.reset();
  }

  // Two streams on one file would interleave into garbage: a context file named like one of the
  // fixed outputs is refused before anything is written.
  for (const char* fixed : {kDatFile, kArffFile})
    if (same_file(contextName, fixed))
      fail(1, "the context file \"%s\" would overwrite \"%s\", which the run also writes",
           contextName.c_str(), fixed);
  OutFile context = OutFile::create(contextName);
  OutFile dat = OutFile::create(kDatFile);
  OutFile arff = OutFile::create(kArffFile);
  WriteNgContexts(list, t.SLst, classes ? &*classes : nullptr, context, dat, arff);
  dat.close();
  arff.close();
  context.close();
  return 0;
}
