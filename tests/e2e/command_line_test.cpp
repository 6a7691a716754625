// The command line as a new user types it, mistakes included: every mistake is one error line
// naming what is wrong, one line saying where the help is, status 2, and no file touched.
#include <gtest/gtest.h>

#include <regex>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"
#include "workflow/approach.h"
#include "workflow/workflow_main.h"

TEST(CommandLine, MistakesGiveOneErrorLineAndTouchNoFile) {
  TempDir dir;
  dir.write("named.train.fa", ">a x\nACDEF\n>b y\nCDEFG\n>c x\nACDFG\n");
  dir.write("x.tsv", "an old file");
  run_ok(dir, words("mine ng -i named.train.fa --header-labels -o f.tsv"));
  // Each command line and its error line; the help line names the command's help.
  const std::vector<std::pair<std::string, std::string>> cases = {
      // Commands one or two letters off, in any case; six arguments would be the console's.
      {"Mine ng -i named.train.fa -o x.tsv", "unknown command \"Mine\" (did you mean \"mine\"?)"},
      {"mien dd -i x", "unknown command \"mien\" (did you mean \"mine\"?)"},
      {"enocde -f f.tsv -i named.train.fa -o t.arff",
       "unknown command \"enocde\" (did you mean \"encode\"?)"},
      {"Folds", "unknown command \"Folds\" (did you mean \"folds\"?)"},
      {"--hlep", "unknown option --hlep (did you mean --help?)"},
      {"-x named.train.fa", "unknown option -x"},
      {"help mien", "unknown command \"mien\" (did you mean \"mine\"?)"},
      // Approaches and their options.
      {"mine", "mine needs an APPROACH: dd, ddsm, ng or ma"},
      {"mine Dd -i named.train.fa -o x.tsv", "unknown approach \"Dd\" (did you mean \"dd\"?)"},
      {"mine dd -i named.train.fa --header-labels -o x.tsv --alpha 0,5 --beta 0.2",
       "--alpha: \"0,5\" is not a number"},
      {"mine dd -i named.train.fa --header-labels -o x.tsv --alpha nan --beta 0.2",
       "--alpha: \"nan\" is not a number"},
      {"mine dd -i named.train.fa --header-labels -o x.tsv --alpha 2 --beta 0.2",
       "--alpha must be a number from 0 to 1, not \"2\""},
      {"mine dd -i named.train.fa --header-labels -o x.tsv --alfa 0.5 --beta 0.2",
       "unknown option --alfa (did you mean --alpha?)"},
      {"mine dd -i named.train.fa --header-labels -o x.tsv --beta 0.2", "dd needs --alpha"},
      {"mine ng -i named.train.fa -o x.tsv --alpha 0.5", "--alpha applies to dd and ddsm only"},
      {"mine ng -i named.train.fa -o x.tsv -n 3.5",
       "-n must be a whole number from 1 to 1048576, not \"3.5\""},
      {"mine ma -i named.train.fa -o x.tsv --min-length 18446744073709551616",
       "--min-length must be a whole number of at least 1, not \"18446744073709551616\""},
      {"mine ma -i named.train.fa -o x.tsv --distance -1",
       "--distance must be a whole number of at least 0, not \"-1\""},
      {"mine ddsm -i named.train.fa --header-labels -o x.tsv --alpha 1 --beta 0 --matrix X",
       "--matrix: \"X\" is not one of BLOSUM45, BLOSUM62"},
      // Repeated, missing and stray words.
      {"encode -f f.tsv -f f.tsv -i named.train.fa -o t.arff", "-f given twice"},
      {"mine ng -i named.train.fa -o", "-o needs a value"},
      {"mine ng -i named.train.fa", "-o FEATURES is required"},
      {"mine ng -i named.train.fa -o \"\"", "-o is empty"},
      {"mine ng extra -i named.train.fa -o x.tsv", "unexpected argument \"extra\""},
      {"encode -f f.tsv -i named.train.fa -o t.xls", "cannot tell the format of the table"},
      {"encode -f f.tsv -i named.train.fa -o t.csv --threads 0",
       "--threads must be a whole number from 1 to 4096, not \"0\""},
      {"folds ng -i named.train.fa --header-labels -k 2 -d out --seed -1",
       "--seed must be a whole number of at least 0, not \"-1\""},
  };
  const std::map<std::string, std::string> before = dir.contents();
  for (const auto& [line, message] : cases) {
    SCOPED_TRACE(line);
    std::vector<std::string> args = words(line);
    for (std::string& a : args)
      if (a == "\"\"") a.clear();
    const ProgramResult r = run_program(dir, args, "");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    const bool command =
        args.size() > 0 && (args[0] == "mine" || args[0] == "encode" || args[0] == "folds");
    const std::string help = command ? "run \"protfeat " + args[0] + " --help\" for the options\n"
                                     : "run \"protfeat --help\" for the commands\n";
    EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.substr(r.err.find('\n') + 1), help) << r.err;
    EXPECT_EQ(dir.contents(), before);
  }
}

TEST(CommandLine, HelpListsExactlyTheOptionsEachCommandTakes) {
  TempDir dir;
  EXPECT_EQ(run_ok(dir, {"help"}).out, run_ok(dir, {"--help"}).out);
  const std::string top = run_ok(dir, {"-h"}).out;
  for (const std::string command : {"mine", "encode", "folds"}) {
    SCOPED_TRACE(command);
    const std::string help = workflow_help(command);
    EXPECT_EQ(run_ok(dir, {"help", command}).out, help);
    EXPECT_EQ(run_ok(dir, {command, "--help"}).out, help);
    EXPECT_EQ(run_ok(dir, {command, "-h"}).out, help);
    // Every option named at the start of a help line is taken, and every option taken is named
    // there; the usage lines (the command's and the top help's) name every option too.
    const std::vector<std::string> taken = workflow_options(command);
    std::set<std::string> listed;
    const std::regex line("^  (-[-a-z]+)");
    for (const std::string& l : text_lines(help)) {
      std::smatch m;
      if (std::regex_search(l, m, line)) listed.insert(m[1]);
    }
    EXPECT_EQ(listed, std::set<std::string>(taken.begin(), taken.end()));
    const std::string usage = text_lines(help)[0];
    const size_t topUsage = top.find("protfeat " + command + " ");
    ASSERT_NE(topUsage, std::string::npos);
    EXPECT_EQ(top.substr(topUsage, top.find('\n', topUsage) - topUsage),
              usage.substr(usage.find("protfeat ")));
    // The usage line names every option of the command; approach options stand together.
    std::set<std::string> approachFlags;
    for (const ApproachOption* o : all_approach_options()) approachFlags.emplace(o->flag);
    for (const std::string& o : taken) {
      if (o != "--help" && approachFlags.count(o) == 0) {
        EXPECT_NE(usage.find(o), std::string::npos) << o;
      }
    }
  }
}
