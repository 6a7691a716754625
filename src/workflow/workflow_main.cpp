// The command lines of the workflow commands: every command's options in one list each, from
// which CLI11 is set up and the help is written, so that the help documents exactly the options
// taken. Usage errors are one line naming the option and the problem, then where the help is
// (status 2); bad input ends a run with status 1.
#include "workflow/workflow_main.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>

#include "core/run_exit.h"
#include "engine/matching/edit_distance.h"
#include "workflow/approach.h"
#include "workflow/commands.h"
#include "workflow/option_values.h"
#include "workflow/version.h"

namespace {
constexpr int kUsage = 2;

struct UsageError {
  std::string message;
};

// An option of a command: its name, the name of its value (empty for a flag), its help, and
// whether it may be given more than once.
struct CommandOption {
  std::string_view name, value, help;
  bool repeatable = false;
};

constexpr CommandOption kSequences{"-i", "SEQUENCES",
                                   "FASTA file, plain or gzip-compressed; - reads standard input"};
constexpr CommandOption kLabels{
    "-l", "LABELS", "a classification file (first line begins with '#'), or id<TAB>class lines"};
constexpr CommandOption kHeaderLabels{"--header-labels", "",
                                      "take each class from the second word of the FASTA header"};
constexpr CommandOption kFeaturesOut{"-o", "FEATURES", "the features file to write"};
constexpr CommandOption kBackground{"--background", "FILE",
                                    "dd, ddsm: sequences of no class, among the others of every "
                                    "class; no feature is chosen for them (repeatable)",
                                    true};
constexpr CommandOption kFeaturesIn{
    "-f", "FEATURES",
    "a features file written by mine; repeated, the files' columns side by side in that order "
    "(a name several files share gets each file's number: 1:AHG, 2:AHG)",
    true};
constexpr CommandOption kTableOut{"-o", "TABLE", "the table to write"};
constexpr CommandOption kEncodeFormat{
    "--format", "FMT",
    "arff, sparse-arff, csv, tsv or libsvm (default: from the table's name: .arff .sparse.arff "
    ".csv .tsv .libsvm)"};
constexpr CommandOption kFoldsFormat{"--format", "FMT",
                                     "arff, sparse-arff, csv, tsv or libsvm (default arff)"};
constexpr CommandOption kValues{
    "--values", "V",
    "binary (1 where a feature occurs; default), count (its occurrences, overlapping ones "
    "included) or tfidf ((1 + ln count) x the idf of the sequences mined on, each features "
    "file's part of a row scaled to unit length)"};
constexpr CommandOption kIds{"--ids", "FILE",
                             "also write the ids of the table's rows, one per line, in order"};
constexpr CommandOption kThreads{"--threads", "N",
                                 "threads that match and format rows (default: all cores)"};
constexpr CommandOption kFolds{"-k", "K", "number of folds, from 2 to the number of sequences"};
constexpr CommandOption kSeed{"--seed", "S", "seed of the shuffle (default 1)"};
constexpr CommandOption kFolder{"-d", "DIR",
                                "the folder to write (it must not exist, or be empty)"};
constexpr CommandOption kHelp{"--help", "", "this help (also -h)"};

struct Command {
  std::string_view name;
  std::string_view usage;  // after "protfeat NAME "
  std::string_view about;
  bool approach;  // takes APPROACH and the approach options
  std::vector<CommandOption> options;
};

const std::vector<Command>& commands() {
  static const std::vector<Command> list = {
      {"mine",
       "APPROACH -i SEQUENCES [-l LABELS | --header-labels] -o FEATURES [--background FILE] "
       "[approach options]",
       "Finds the features of APPROACH on the sequences and writes them to the features file\n"
       "(tab-separated, with the settings and the classes). dd and ddsm need labels; ng and ma\n"
       "record the classes when labels are given.\n",
       true,
       {kSequences, kLabels, kHeaderLabels, kFeaturesOut, kBackground, kHelp}},
      {"encode",
       "-f FEATURES [-f FEATURES ...] -i SEQUENCES [-l LABELS | --header-labels] -o TABLE "
       "[--format FMT] [--values V] [--ids FILE] [--threads N]",
       "Writes one row per sequence, in input order: 1 where a feature occurs in it, or its\n"
       "count or tf-idf weight. The classes are those of the features files (files that list\n"
       "classes must list the same); a sequence without labels gets the missing class.\n",
       false,
       {kFeaturesIn, kSequences, kLabels, kHeaderLabels, kTableOut, kEncodeFormat, kValues, kIds,
        kThreads, kHelp}},
      {"folds",
       "APPROACH -i SEQUENCES (-l LABELS | --header-labels) -k K [--seed S] -d DIR [--format FMT] "
       "[--values V] [--threads N] [approach options]",
       "Splits the sequences into K stratified folds (the same for the same seed). For each fold,\n"
       "mines the features on the other folds only and encodes both parts with them:\n"
       "DIR/fold-01/{features.tsv,train.FMT,test.FMT}, ..., and DIR/folds.tsv (id, fold).\n",
       true,
       {kSequences, kLabels, kHeaderLabels, kFolds, kSeed, kFolder, kFoldsFormat, kValues, kThreads,
        kHelp}},
  };
  return list;
}

const Command* command_named(std::string_view name) {
  for (const Command& c : commands())
    if (c.name == name) return &c;
  return nullptr;
}

std::string pad(std::string text, size_t width) {
  if (text.size() + 2 > width) return text + "\n" + std::string(width, ' ');
  text.resize(width, ' ');
  return text;
}

constexpr size_t kHelpColumn = 23;

std::string usage_lines() {
  std::string s;
  for (const Command& c : commands())
    s += std::string(s.empty() ? "usage: " : "       ") + "protfeat " + std::string(c.name) + " " +
         std::string(c.usage) + "\n";
  s += "       protfeat help [COMMAND] | --help | -h | --version\n";
  return s;
}

std::string approach_help() {
  std::string s = "APPROACH is " + approach_list() + ". Approach options:\n";
  for (const ApproachOption* o : all_approach_options()) {
    std::string which;
    for (const ApproachInfo& a : approaches())
      if (approach_has(a.approach, o)) which += (which.empty() ? "" : ", ") + std::string(a.name);
    const std::string head = "  " + std::string(o->flag) + " " + std::string(o->value);
    s += pad(head, kHelpColumn) + which + (o->required ? " (required): " : ": ") +
         std::string(o->help) + "\n";
  }
  return s;
}

std::string command_help(const Command& c) {
  std::string s = "usage: protfeat " + std::string(c.name) + " " + std::string(c.usage) + "\n\n" +
                  std::string(c.about) + "\n";
  for (const CommandOption& o : c.options) {
    std::string head = "  " + std::string(o.name);
    if (!o.value.empty()) head += " " + std::string(o.value);
    s += pad(head, kHelpColumn) + std::string(o.help) + "\n";
  }
  if (c.approach) s += "\n" + approach_help();
  return s;
}

constexpr const char* kAbout = R"(
Turns labelled protein sequences into feature tables for classification.
  mine     finds the features of an approach on training sequences (a features file)
  encode   writes the table of any sequences for the features of a features file
  folds    stratified folds: features mined on each training part, both parts encoded
Run "protfeat help COMMAND" or "protfeat COMMAND --help" for the options of a command.

Without these commands protfeat is the console program: with no argument it asks for an
approach (menu mode); "protfeat dd CLASSES SEQUENCES CONTEXT ALPHA BETA" runs dd at once.
)";

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The edit distance of two words, case ignored: the occurrence test's distance, without frames.
size_t distance(std::string_view a, std::string_view b) {
  return static_cast<size_t>(match(lower(a), lower(b)));
}

std::string_view bare(std::string_view word) {
  while (!word.empty() && word[0] == '-') word.remove_prefix(1);
  return word;
}

// The candidate one or two letters off the word (case ignored), if any: the closest.
std::optional<std::string> closest(std::string_view word, const std::vector<std::string>& names) {
  std::optional<std::string> best;
  size_t bestDistance = 3;
  for (const std::string& n : names) {
    const size_t d = distance(bare(word), bare(n));
    if (d < bestDistance && 2 * d <= std::max(bare(word).size(), bare(n).size())) {
      best = n;
      bestDistance = d;
    }
  }
  return best;
}

// " (did you mean X?)", X quoted when the names are words rather than options.
std::string did_you_mean(std::string_view word, const std::vector<std::string>& names,
                         bool quote = false) {
  const std::optional<std::string> c = closest(word, names);
  if (!c) return {};
  return " (did you mean " + (quote ? "\"" + *c + "\"" : *c) + "?)";
}

std::vector<std::string> command_words() {
  std::vector<std::string> words;
  for (const Command& c : commands()) words.emplace_back(c.name);
  words.emplace_back("help");
  return words;
}

const std::vector<std::string> kTopFlags = {"--help", "-h", "--version"};

// Parses the command line of one command: options that CLI11 binds as texts, then the checks
// of their values. Every problem is one UsageError.
class Parser {
 public:
  explicit Parser(const Command& c)
      : command_(c), app_(std::string("protfeat ") + std::string(c.name)) {
    app_.set_help_flag();
    app_.allow_extras();
    for (const CommandOption& o : c.options) {
      add(o.name, !o.value.empty());
      if (o.repeatable) repeatable_.emplace(o.name);
    }
    if (c.approach) {
      app_.add_option("approach", approach_);
      for (const ApproachOption* o : all_approach_options()) add(o->flag, true);
    }
  }

  // Parses; false when help was asked for.
  bool parse(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
      if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") return false;
    check_values_follow(argc, argv);
    try {
      app_.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
      throw UsageError{e.what()};
    }
    for (const std::string& extra : app_.remaining()) {
      if (extra.size() > 1 && extra[0] == '-')
        throw UsageError{"unknown option " + extra + did_you_mean(extra, names_)};
      throw UsageError{"unexpected argument \"" + extra + "\""};
    }
    for (const auto& [name, option] : options_) {
      if (option->count() <= 1) continue;
      if (repeatable_.count(name) == 0) throw UsageError{name + " given twice"};
      const std::vector<std::string> all = values(name);
      for (size_t i = 0; i < all.size(); ++i)
        if (std::find(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(i), all[i]) !=
            all.begin() + static_cast<std::ptrdiff_t>(i))
          throw UsageError{name + " given twice with \"" + all[i] + "\""};
    }
    return true;
  }

  bool given(std::string_view name) const { return options_.at(std::string(name))->count() > 0; }
  std::string value(std::string_view name) const {
    const CLI::Option* o = options_.at(std::string(name));
    return o->count() > 0 ? o->as<std::string>() : std::string();
  }
  // Every value of a repeatable option, in the order given.
  std::vector<std::string> values(std::string_view name) const {
    const CLI::Option* o = options_.at(std::string(name));
    return o->count() > 0 ? o->as<std::vector<std::string>>() : std::vector<std::string>{};
  }

  // The approach and its options, checked against the approach table.
  MineSettings approach_settings() const {
    if (approach_.empty())
      throw UsageError{std::string(command_.name) + " needs an APPROACH: " + approach_list()};
    const std::optional<Approach> a = approach_named(approach_);
    if (!a) {
      std::vector<std::string> names;
      for (const ApproachInfo& i : approaches()) names.emplace_back(i.name);
      throw UsageError{"unknown approach \"" + approach_ + "\"" +
                       did_you_mean(approach_, names, true) + "; APPROACH is " + approach_list()};
    }
    MineSettings s;
    s.approach = *a;
    const ApproachInfo& info = approach_info(*a);
    for (const ApproachOption* o : all_approach_options()) {
      const bool applies = approach_has(*a, o);
      if (!given(o->flag)) {
        if (applies && o->required)
          throw UsageError{std::string(info.name) + " needs " + std::string(o->flag)};
        continue;
      }
      if (!applies) {
        std::string which;
        for (const ApproachInfo& other : approaches())
          if (approach_has(other.approach, o))
            which += (which.empty() ? "" : " and ") + std::string(other.name);
        throw UsageError{std::string(o->flag) + " applies to " + which + " only"};
      }
      const std::string problem = o->parse(s, value(o->flag));
      if (!problem.empty()) throw UsageError{std::string(o->flag) + problem};
    }
    if (const std::string problem = info.check(s, true); !problem.empty())
      throw UsageError{problem};
    return s;
  }

  InputOptions input() const {
    InputOptions in;
    in.sequences = value("-i");
    in.labels = value("-l");
    in.headerLabels = given("--header-labels");
    if (!given("-i")) throw UsageError{"-i SEQUENCES is required"};
    if (in.headerLabels && given("-l"))
      throw UsageError{"-l and --header-labels exclude each other"};
    return in;
  }

  std::string required(std::string_view name, std::string_view what) const {
    if (!given(name))
      throw UsageError{std::string(name) + " " + std::string(what) + " is required"};
    const std::string v = value(name);
    if (v.empty()) throw UsageError{std::string(name) + " is empty: give a " + std::string(what)};
    return v;
  }

  template <class Read, class T>
  T number(std::string_view name, T min, T max, T fallback, Read read) const {
    if (!given(name)) return fallback;
    T v{};
    const std::string problem = read(value(name), min, max, v);
    if (!problem.empty()) throw UsageError{std::string(name) + problem};
    return v;
  }

  unsigned threads() const {
    const uint64_t cores = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(
        number<decltype(&read_unsigned), uint64_t>("--threads", 1, 4096, cores, read_unsigned));
  }

 private:
  void add(std::string_view name, bool takesValue) {
    const std::string n(name);
    CLI::Option* o = takesValue ? app_.add_option(n) : app_.add_flag(n);
    o->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    options_[n] = o;
    names_.push_back(n);
  }

  // An option that takes a value and has none: the last word, or followed by another option.
  void check_values_follow(int argc, char** argv) const {
    for (int i = 1; i < argc; ++i) {
      const auto it = options_.find(argv[i]);
      if (it == options_.end() || it->second->get_expected_min() == 0) continue;
      const bool last = i + 1 == argc;
      if (last || options_.count(argv[i + 1]) > 0)
        throw UsageError{std::string(argv[i]) + " needs a value"};
      ++i;
    }
  }

  const Command& command_;
  CLI::App app_;
  std::set<std::string, std::less<>> repeatable_;
  std::string approach_;
  std::map<std::string, CLI::Option*> options_;
  std::vector<std::string> names_;
};

// --format, or the table's name.
TableFormat table_format(const Parser& p, const std::string& path, bool fromName) {
  if (p.given("--format")) {
    const std::string f = p.value("--format");
    if (const std::optional<TableFormat> t = format_named(f)) return *t;
    std::string ignored;
    throw UsageError{"--format" + read_choice(f, format_names(), ignored)};
  }
  if (!fromName) return TableFormat::Arff;
  if (const std::optional<TableFormat> f = format_of_path(path)) return *f;
  throw UsageError{"cannot tell the format of the table \"" + path +
                   "\" from its name: give --format"};
}

ValueKind value_kind(const Parser& p) {
  if (!p.given("--values")) return ValueKind::Binary;
  const std::string v = p.value("--values");
  if (const std::optional<ValueKind> k = value_kind_named(v)) return *k;
  std::string ignored;
  throw UsageError{"--values" + read_choice(v, value_kind_names(), ignored)};
}

void need_labels(const InputOptions& in, std::string_view who) {
  if (in.labels.empty() && !in.headerLabels)
    throw UsageError{std::string(who) + " needs labels: -l LABELS or --header-labels"};
}

int mine_command(const Parser& p) {
  MineOptions o;
  o.settings = p.approach_settings();
  o.input = p.input();
  if (approach_info(o.settings.approach).needsLabels)
    need_labels(o.input, approach_name(o.settings.approach));
  o.output = p.required("-o", "FEATURES");
  o.background = p.values("--background");
  if (!o.background.empty() && !approach_info(o.settings.approach).takesBackground) {
    std::string which;
    for (const ApproachInfo& a : approaches())
      if (a.takesBackground) which += (which.empty() ? "" : " and ") + std::string(a.name);
    throw UsageError{"--background applies to " + which + " only"};
  }
  for (const std::string& b : o.background)
    if (b.empty()) throw UsageError{"--background is empty: give a FASTA file"};
  return run_mine(o);
}

// The file a path names, links and dots resolved as far as it exists; empty when unknown.
std::filesystem::path file_named(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (ec) return {};
  std::filesystem::path file = std::filesystem::weakly_canonical(absolute, ec);
  return ec ? std::filesystem::path() : file;
}

int encode_command(const Parser& p) {
  EncodeOptions o;
  if (!p.given("-f")) throw UsageError{"-f FEATURES is required"};
  o.features = p.values("-f");
  for (const std::string& f : o.features)
    if (f.empty()) throw UsageError{"-f is empty: give a FEATURES"};
  o.input = p.input();
  o.output = p.required("-o", "TABLE");
  o.format = table_format(p, o.output, true);
  o.values = value_kind(p);
  if (p.given("--ids")) {
    o.ids = p.required("--ids", "FILE");
    const std::filesystem::path ids = file_named(o.ids);
    if (o.ids == o.output || (!ids.empty() && ids == file_named(o.output)))
      throw UsageError{"--ids and -o name the same file: give the ids a file of their own"};
  }
  o.threads = p.threads();
  return run_encode(o);
}

int folds_command(const Parser& p) {
  FoldsOptions o;
  o.settings = p.approach_settings();
  o.input = p.input();
  need_labels(o.input, "folds");
  if (!p.given("-k")) throw UsageError{"-k K is required"};
  o.k = static_cast<uint32_t>(
      p.number<decltype(&read_unsigned), uint64_t>("-k", 2, uint64_t{1} << 30, 0, read_unsigned));
  o.seed = p.number<decltype(&read_unsigned), uint64_t>(
      "--seed", 0, std::numeric_limits<uint64_t>::max(), 1, read_unsigned);
  o.folder = p.required("-d", "DIR");
  o.format = table_format(p, "", false);
  o.values = value_kind(p);
  o.threads = p.threads();
  return run_folds(o);
}

int usage_error(const std::string& message, std::string_view command) {
  std::fprintf(stderr, "error: %s\n", message.c_str());
  if (command.empty())
    std::fputs("run \"protfeat --help\" for the commands\n", stderr);
  else
    std::fprintf(stderr, "run \"protfeat %.*s --help\" for the options\n",
                 static_cast<int>(command.size()), command.data());
  return kUsage;
}

int help(std::string_view topic) {
  if (topic.empty()) {
    std::printf("%s%s", usage_lines().c_str(), kAbout);
    return 0;
  }
  const Command* c = command_named(topic);
  if (!c)
    return usage_error("unknown command \"" + std::string(topic) + "\"" +
                           did_you_mean(topic, command_words(), true),
                       {});
  std::fputs(command_help(*c).c_str(), stdout);
  return 0;
}

int dispatch(int argc, char** argv) {
  const std::string word = argv[1];
  if (word == "--version") {
    std::printf("protfeat %s\n", kProtfeatVersion);
    return 0;
  }
  if (word == "--help" || word == "-h") return help({});
  if (word == "help") {
    if (argc > 3) return usage_error("help takes one COMMAND at most", {});
    return help(argc == 3 ? argv[2] : "");
  }
  const Command* c = command_named(word);
  if (!c) {
    if (word.size() > 1 && word[0] == '-')
      return usage_error("unknown option " + word + did_you_mean(word, kTopFlags), {});
    return usage_error(
        "unknown command \"" + word + "\"" + did_you_mean(word, command_words(), true), {});
  }
  // CLI11 sees the command's own arguments, with the command as the program name.
  Parser p(*c);
  try {
    if (!p.parse(argc - 1, argv + 1)) {
      std::fputs(command_help(*c).c_str(), stdout);
      return 0;
    }
    if (c->name == "mine") return mine_command(p);
    if (c->name == "encode") return encode_command(p);
    return folds_command(p);
  } catch (const UsageError& e) {
    return usage_error(e.message, c->name);
  }
}
}  // namespace

bool is_workflow_command(const char* word) {
  const std::string_view w = word;
  return command_named(w) != nullptr || w == "help" ||
         std::find(kTopFlags.begin(), kTopFlags.end(), w) != kTopFlags.end();
}

bool is_workflow_typo(const char* word) {
  const std::string_view w = word;
  if (w.size() > 1 && w[0] == '-') return true;
  return closest(w, command_words()).has_value();
}

std::string workflow_help(std::string_view command) {
  const Command* c = command_named(command);
  return c ? command_help(*c) : usage_lines() + kAbout;
}

std::vector<std::string> workflow_options(std::string_view command) {
  std::vector<std::string> names;
  const Command* c = command_named(command);
  if (!c) return names;
  for (const CommandOption& o : c->options) names.emplace_back(o.name);
  if (c->approach)
    for (const ApproachOption* o : all_approach_options()) names.emplace_back(o->flag);
  return names;
}

int workflow_main(int argc, char** argv) {
  return exit_status_of([&] { return dispatch(argc, argv); },
                        [] { report_error("not enough memory"); });
}
