// Program entry: the workflow commands when the first argument is mine, encode, folds, help,
// --help, -h or --version, or a mistyped command or option; otherwise the console program:
// argument mode (exactly six arguments, dd only) or menu mode (none or one argument, the keyword
// read from standard input), then one approach run.
#include <cstdio>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "console/dd_run.h"
#include "console/ddsm_run.h"
#include "console/ma_run.h"
#include "console/ng_run.h"
#include "console/work_area.h"
#include "core/progress.h"
#include "core/run_exit.h"
#include "workflow/workflow_main.h"

namespace {
constexpr const char* kArgumentMode = " j utilise dd";
constexpr const char* kArgumentDd = "\nMethode des Discripteur discriminant\n";
constexpr const char* kMenuPrompt = "\n Choix de l'algo : ";
constexpr const char* kMenuDd = "\nApproche Discripteur discriminant par defaut\n";
constexpr const char* kMenuDdsm =
    "\nApproche Discripteur discriminant avec matrice de substitution par defaut\n";
constexpr const char* kMenuNg = "\nApproche N-Gramme par defaut\n";
constexpr const char* kMenuMa = "\nM\xc3\xa9thode Motif Actif par defaut\n";
constexpr const char* kUnknown = "\nAlgo introuvable";
constexpr const char* kNoMemory = "Err: no enough memory\n";

// Exit statuses: 0 a completed run, 2 a command line the program does not take, 1 the rest.
constexpr int kUsage = 2;

int argument_mode(WorkArea& wa, char** argv) {
  wa.con.print(kArgumentMode);
  FileNames& n = wa.names;
  n.algo = argv[1];
  n.fichClassif = argv[2];
  n.fichSeq = argv[3];
  n.fichContext = argv[4];
  // Only dd runs from here: any other keyword ends the run before it touches a file. For dd the
  // context file is created or emptied before any work; a failed open is ignored here (the run
  // reports it when it writes the context).
  if (n.algo != "dd") return kUsage;
  if (FILE* f = std::fopen(n.fichContext.c_str(), "w")) std::fclose(f);
  wa.con.print(kArgumentDd);
  DisClass(wa, n.fichClassif, n.fichSeq, n.fichContext, argv[5], argv[6]);
  return 0;
}

// The console's keywords, the line each prints and its run, in the order they are compared.
struct ConsoleKeyword {
  std::string_view keyword;
  const char* line;
  void (*run)(WorkArea& wa, const FileNames& n);
};
const ConsoleKeyword kKeywords[] = {
    {"dd", kMenuDd,
     [](WorkArea& wa, const FileNames& n) {
       DisClass(wa, n.fichClassif, n.fichSeq, n.fichContext, "2", "2");
     }},
    {"ddsm", kMenuDdsm,
     [](WorkArea& wa, const FileNames& n) { DDMS(wa, n.fichClassif, n.fichSeq, n.fichContext); }},
    {"ng", kMenuNg,
     [](WorkArea& wa, const FileNames& n) {
       mainNGrams(wa, n.fichClassif, n.fichSeq, n.fichContext, 3);
     }},
    {"ma", kMenuMa,
     [](WorkArea& wa, const FileNames& n) {
       Discover(wa, n.fichClassif, n.fichSeq, n.fichContext);
     }},
};

const ConsoleKeyword* keyword_of(std::string_view word) {
  for (const ConsoleKeyword& k : kKeywords)
    if (k.keyword == word) return &k;
  return nullptr;
}

int menu_mode(WorkArea& wa) {
  wa.con.print(kMenuPrompt);
  std::optional<std::string> word = wa.con.read_word();
  FileNames& n = wa.names;
  n.algo = word.value_or("");
  const ConsoleKeyword* k = keyword_of(n.algo);
  if (!k) {
    // The line end typed after the keyword is still pending, so the key read returns at once.
    wa.con.print(kUnknown);
    wa.con.getch();
    return 1;
  }
  // The rest of the keyword line belongs to nobody: the first prompt of the run reads the
  // user's next line.
  wa.con.discard_rest_of_line();
  wa.con.print(k->line);
  k->run(wa, n);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  // The workflow's commands, and words meant for them but mistyped (which the console would
  // take as a keyword or ignore); every other word keeps the console's behaviour.
  if (argc >= 2 &&
      (is_workflow_command(argv[1]) || (!keyword_of(argv[1]) && is_workflow_typo(argv[1]))))
    return workflow_main(argc, argv);
  if (argc != 1 && argc != 2 && argc != 7) return kUsage;
  WorkArea wa;
  return exit_status_of([&] { return argc == 7 ? argument_mode(wa, argv) : menu_mode(wa); },
                        [&] { wa.con.print(kNoMemory); });
}
