// The command lines of the workflow commands, parsed with CLI11: usage and help texts, version,
// the checks of each approach's options, and the exit statuses (0 done, 1 bad input, 2 usage).
#include "workflow/workflow_main.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <thread>

#include "core/progress.h"
#include "core/run_exit.h"
#include "engine/substitution/matrices.h"
#include "workflow/commands.h"
#include "workflow/version.h"

namespace {
constexpr int kUsage = 2;

// The texts are raw literals, laid out as they print.
constexpr const char* kUsageLines =
    R"(usage: protfeat mine APPROACH -i SEQUENCES [-l LABELS | --header-labels] -o FEATURES [approach options]
       protfeat encode -f FEATURES -i SEQUENCES [-l LABELS | --header-labels] -o TABLE [--format FMT]
       protfeat folds APPROACH -i SEQUENCES (-l LABELS | --header-labels) -k K [--seed S] -d DIR [--format FMT] [approach options]
       protfeat --help | -h | --version
)";

constexpr const char* kInputHelp =
    R"(  -i SEQUENCES       FASTA file, plain or gzip-compressed; - reads standard input
  -l LABELS          a classification file (first line begins with '#'), or id<TAB>class lines
  --header-labels    take each class from the second word of the FASTA header
)";

constexpr const char* kApproachHelp = R"(APPROACH is dd, ddsm, ng or ma. Approach options:
  dd, ddsm           --alpha A --beta B (both required, from 0 to 1): a descriptor occurs in
                     at least the share A of one class and at most the share B of the others
  ddsm               --matrix BLOSUM45|BLOSUM62|BLOSUM80|PAM30|PAM70|PAM250 (default BLOSUM62)
                     --similarity S (default 0.5)
  ng                 -n N (default 3)
  ma                 --min-length L (default 3), --min-sequences M (default: a quarter of the
                     sequences, at least 1), --distance D (default 0; above 0 is slow)
)";

constexpr const char* kFormatHelp =
    R"(  --format FMT       arff, sparse-arff, csv, tsv or libsvm (default: from the extension of
                     the table's name: .arff .csv .tsv .libsvm)
  --threads N        threads that match and format rows (default: all cores)
)";

constexpr const char* kTopHelp = R"(
Turns labelled protein sequences into binary feature tables for classification.
  mine     finds the features of an approach on training sequences (a features file)
  encode   writes the table of any sequences for the features of a features file
  folds    stratified folds: features mined on each training part, both parts encoded
Run protfeat COMMAND --help for the options of a command.

Without these commands protfeat is the console program: with no argument it asks for an
approach (menu mode); "protfeat dd CLASSES SEQUENCES CONTEXT ALPHA BETA" runs dd at once.
)";

std::string mine_help() {
  return std::string(
             R"(usage: protfeat mine APPROACH -i SEQUENCES [-l LABELS | --header-labels] -o FEATURES [approach options]

Finds the features of APPROACH on the sequences and writes them to the features file
(tab-separated, with the settings and the classes). dd and ddsm need labels; ng and ma
record the classes when labels are given.

)") + kInputHelp +
         "  -o FEATURES        the features file to write\n\n" + kApproachHelp;
}

std::string encode_help() {
  return std::string(
             R"(usage: protfeat encode -f FEATURES -i SEQUENCES [-l LABELS | --header-labels] -o TABLE [--format FMT] [--threads N]

Writes one row per sequence, in input order: 1 where a feature occurs in it. The
classes are those of the features file; a sequence without labels gets the missing class.

  -f FEATURES        a features file written by mine
)") + kInputHelp +
         "  -o TABLE           the table to write\n" + kFormatHelp;
}

std::string folds_help() {
  return std::string(
             R"(usage: protfeat folds APPROACH -i SEQUENCES (-l LABELS | --header-labels) -k K [--seed S] -d DIR [--format FMT] [approach options]

Splits the sequences into K stratified folds (the same for the same seed). For each fold,
mines the features on the other folds only and encodes both parts with them:
DIR/fold-01/{features.tsv,train.FMT,test.FMT}, ..., and DIR/folds.tsv (id, fold).

)") + kInputHelp +
         R"(  -k K               number of folds, from 2 to the number of sequences
  --seed S           seed of the shuffle (default 1)
  -d DIR             the folder to write (it must not exist, or be empty)
)" + kFormatHelp +
         "\n" + kApproachHelp;
}

struct UsageError {
  std::string message;
};

// The options every command has for its input.
void add_input(CLI::App& app, InputOptions& in) {
  app.add_option("-i", in.sequences, "sequences")->required();
  CLI::Option* l = app.add_option("-l", in.labels, "labels");
  CLI::Option* h = app.add_flag("--header-labels", in.headerLabels, "labels from headers");
  l->excludes(h);
}

// The approach and its options, checked against each other once parsed.
class ApproachOptions {
 public:
  ApproachOptions(CLI::App& app, MineSettings& s) : s_(s) {
    app.add_option("approach", s.approach, "approach")
        ->required()
        ->check(CLI::IsMember({"dd", "ddsm", "ng", "ma"}));
    alpha_ = app.add_option("--alpha", s.alpha)->check(CLI::Range(0.0, 1.0));
    beta_ = app.add_option("--beta", s.beta)->check(CLI::Range(0.0, 1.0));
    std::vector<std::string> names(kMatrixNames.begin(), kMatrixNames.end());
    matrix_ = app.add_option("--matrix", s.matrix)->check(CLI::IsMember(names));
    similarity_ = app.add_option("--similarity", s.similarity)->check(CLI::NonNegativeNumber);
    n_ = app.add_option("-n", s.n)->check(CLI::Range(1, 1 << 20));
    minLength_ = app.add_option("--min-length", s.minLength)->check(CLI::PositiveNumber);
    minSequences_ = app.add_option("--min-sequences", s.minSequences)->check(CLI::PositiveNumber);
    distance_ = app.add_option("--distance", s.distance)->check(CLI::NonNegativeNumber);
  }

  void check() const {
    const std::string& a = s_.approach;
    const bool descriptors = a == "dd" || a == "ddsm";
    if (descriptors && (alpha_->count() == 0 || beta_->count() == 0))
      throw UsageError{a + " needs --alpha and --beta"};
    only(alpha_, descriptors, "dd and ddsm");
    only(beta_, descriptors, "dd and ddsm");
    only(matrix_, a == "ddsm", "ddsm");
    only(similarity_, a == "ddsm", "ddsm");
    only(n_, a == "ng", "ng");
    only(minLength_, a == "ma", "ma");
    only(minSequences_, a == "ma", "ma");
    only(distance_, a == "ma", "ma");
  }

 private:
  static void only(const CLI::Option* o, bool applies, const char* approaches) {
    if (o->count() > 0 && !applies)
      throw UsageError{o->get_name() + " applies to " + approaches + " only"};
  }
  MineSettings& s_;
  CLI::Option *alpha_, *beta_, *matrix_, *similarity_, *n_, *minLength_, *minSequences_, *distance_;
};

// --format, or the extension of the table's name.
TableFormat table_format(const std::string& format, const std::string& path, const char* what) {
  if (!format.empty()) return *format_named(format);
  if (const std::optional<TableFormat> f = format_of_path(path)) return *f;
  throw UsageError{std::string("cannot tell the format of ") + what + " \"" + path +
                   "\" from its extension: give --format"};
}

unsigned default_threads() { return std::max(1u, std::thread::hardware_concurrency()); }

// Parses a command's options; help goes to standard output (status 0), wrong usage to standard
// error with the command's usage (status 2). Returns -1 when the command is to run.
template <class Check>
int parse(CLI::App& app, int argc, char** argv, const std::string& help, Check&& check) {
  try {
    app.parse(argc, argv);
    check();
    return -1;
  } catch (const CLI::CallForHelp&) {
    std::fputs(help.c_str(), stdout);
    return 0;
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "error: %s\n%s", e.what(), help.c_str());
    return kUsage;
  } catch (const UsageError& e) {
    std::fprintf(stderr, "error: %s\n%s", e.message.c_str(), help.c_str());
    return kUsage;
  }
}

// The options of the commands that write tables: their format and the threads that encode.
void add_table_options(CLI::App& app, std::string& format, unsigned& threads) {
  app.add_option("--format", format)->check(CLI::IsMember(format_names()));
  threads = default_threads();
  app.add_option("--threads", threads)->check(CLI::Range(1u, 4096u));
}

int mine_command(int argc, char** argv) {
  CLI::App app("protfeat mine", "protfeat mine");
  MineOptions o;
  add_input(app, o.input);
  app.add_option("-o", o.output, "features file")->required();
  ApproachOptions approach(app, o.settings);
  const int status = parse(app, argc, argv, mine_help(), [&] {
    approach.check();
    const std::string& a = o.settings.approach;
    if ((a == "dd" || a == "ddsm") && o.input.labels.empty() && !o.input.headerLabels)
      throw UsageError{a + " needs labels: -l LABELS or --header-labels"};
  });
  return status >= 0 ? status : run_mine(o);
}

int encode_command(int argc, char** argv) {
  CLI::App app("protfeat encode", "protfeat encode");
  EncodeOptions o;
  std::string format;
  add_input(app, o.input);
  app.add_option("-f", o.features, "features file")->required();
  app.add_option("-o", o.output, "table")->required();
  add_table_options(app, format, o.threads);
  const int status = parse(app, argc, argv, encode_help(),
                           [&] { o.format = table_format(format, o.output, "the table"); });
  return status >= 0 ? status : run_encode(o);
}

int folds_command(int argc, char** argv) {
  CLI::App app("protfeat folds", "protfeat folds");
  FoldsOptions o;
  std::string format;
  add_input(app, o.input);
  app.add_option("-k", o.k)->required()->check(CLI::Range(2u, 1u << 30));
  app.add_option("--seed", o.seed);
  app.add_option("-d", o.folder)->required();
  add_table_options(app, format, o.threads);
  ApproachOptions approach(app, o.settings);
  const int status = parse(app, argc, argv, folds_help(), [&] {
    approach.check();
    if (o.input.labels.empty() && !o.input.headerLabels)
      throw UsageError{"folds needs labels: -l LABELS or --header-labels"};
    o.format = format.empty() ? TableFormat::Arff : *format_named(format);
  });
  return status >= 0 ? status : run_folds(o);
}

int dispatch(int argc, char** argv) {
  const std::string command = argv[1];
  if (command == "--version") {
    std::printf("protfeat %s\n", kProtfeatVersion);
    return 0;
  }
  if (command == "--help" || command == "-h") {
    std::printf("%s%s", kUsageLines, kTopHelp);
    return 0;
  }
  // CLI11 sees the command's own arguments, with the command as the program name.
  if (command == "mine") return mine_command(argc - 1, argv + 1);
  if (command == "encode") return encode_command(argc - 1, argv + 1);
  if (command == "folds") return folds_command(argc - 1, argv + 1);
  std::fputs(kUsageLines, stderr);
  return kUsage;
}
}  // namespace

bool is_workflow_command(const char* word) {
  const std::string w = word;
  return w == "mine" || w == "encode" || w == "folds" || w == "--help" || w == "-h" ||
         w == "--version";
}

int workflow_main(int argc, char** argv) {
  return exit_status_of([&] { return dispatch(argc, argv); },
                        [] { report_error("not enough memory"); });
}
