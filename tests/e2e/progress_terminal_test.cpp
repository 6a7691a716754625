// Progress of long work: shown on standard error when it is a terminal (runs under a pseudo-
// terminal made by `script`), erased so that the screen holds exactly the program's own texts,
// and absent when standard error is redirected.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace {
const std::string kSeq = ">s1\nMKVLAAGHT\n>s2\nMKVLAAPQR\n>s3\nWWGHTPQRS\n>s4\nWWGHTAAST\n";
const std::string kClasses = "#class_number\n2\n#class_names\nF1\nF2\n#data\nF1\nF1\nF2\nF2\n";
const char* kEscape = "\033[";

bool have_script() { return std::system("command -v script > /dev/null 2>&1") == 0; }

struct TerminalRun {
  int status = -1;
  std::string bytes;  // everything the terminal received, standard output and error mixed
};

// Runs the program with standard output and standard error on a pseudo-terminal 200 columns
// wide, standard input from `input` (a file, so nothing is echoed).
TerminalRun run_on_terminal(const TempDir& dir, const std::string& args, const std::string& input) {
  dir.write("answers.txt", input);
  // A wide terminal, so that no progress text is cut to fit after a long prompt.
  const std::string inner =
      "stty cols 200; '" + std::string(PROTFEAT_BINARY) + "' " + args + " < answers.txt";
  const std::string cmd = "cd '" + dir.path().string() + "' && timeout 120 script -qec \"" + inner +
                          "\" /dev/null < /dev/null > terminal.out 2>&1";
  const int status = std::system(cmd.c_str());
  TerminalRun r;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  r.bytes = dir.read("terminal.out");
  return r;
}

// What a terminal of unlimited width shows after the bytes: carriage returns, line ends,
// backspaces, tabs and erase-to-end-of-line are followed; other bytes overwrite the cell under
// the cursor.
std::string screen(const std::string& bytes) {
  std::vector<std::string> lines(1);
  size_t col = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    std::string& line = lines.back();
    if (c == '\r') {
      col = 0;
    } else if (c == '\n') {
      lines.emplace_back();
      col = 0;
    } else if (c == '\b') {
      if (col > 0) --col;
    } else if (bytes.compare(i, 3, "\033[K") == 0) {
      if (line.size() > col) line.resize(col);
      i += 2;
    } else if (c == '\t') {
      col = (col / 8 + 1) * 8;
    } else {
      if (line.size() <= col) line.resize(col + 1, ' ');
      line[col++] = c;
    }
  }
  std::string shown;
  for (const std::string& line : lines) shown += line + "\n";
  return shown;
}

std::string without_seconds(const std::string& s) {
  return std::regex_replace(s, std::regex("[0-9]+\\.[0-9]{6} seconds"), "T seconds");
}

struct Case {
  const char* name;
  std::string args;
  std::string input;
  std::vector<std::string> lines;  // progress texts the terminal must have received
};

std::vector<Case> cases() {
  return {
      {"dd",
       "dd classes.txt seq.fa ctx.arff 1 0",
       "",
       {"reading sequences: 0 of 4", "grouping sequences by class: 0 of 4",
        "descriptor discovery: 1 of "}},
      {"ddsm",
       "",
       "ddsm\nseq.fa\nclasses.txt\n\n1\n0\n\n\nlist.txt\n",
       {"reading sequences: 0 of 4", "descriptor discovery: 1 of ", "pruning descriptors: 0 of "}},
      {"ng",
       "",
       "ng\nseq.fa\nclasses.txt\nctx.txt\n",
       {"reading sequences: 0 of 4", "building the n-grams: 0 of 4 sequences"}},
      {"ma",
       "",
       "ma\nseq.fa\nclasses.txt\nmotifs.txt\n",
       {"reading sequences: 0 of 4", "building the motif index: 0 of 4 sequences"}},
  };
}

void write_inputs(const TempDir& dir) {
  dir.write("seq.fa", kSeq);
  dir.write("classes.txt", kClasses);
}
}  // namespace

TEST(ProgressOnTerminal, EveryApproachShowsItsPhasesAndTheScreenKeepsTheProgramTexts) {
  if (!have_script()) GTEST_SKIP() << "script (util-linux) is not installed";
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    TempDir term, plain;
    write_inputs(term);
    write_inputs(plain);
    const TerminalRun t = run_on_terminal(term, c.args, c.input);
    std::vector<std::string> args;
    if (!c.args.empty()) args = {"dd", "classes.txt", "seq.fa", "ctx.arff", "1", "0"};
    const ProgramResult p = run_program(plain, args, c.input);
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(t.status, 0) << t.bytes;

    for (const std::string& line : c.lines)
      EXPECT_NE(t.bytes.find(line), std::string::npos) << line;
    EXPECT_NE(t.bytes.find("\033[K"), std::string::npos);
    // Every line drawn was erased again: the screen is what the program's own texts show.
    EXPECT_EQ(without_seconds(screen(t.bytes)), without_seconds(screen(p.out)));
  }
}

TEST(ProgressOnTerminal, NothingExtraWhenStandardErrorIsRedirected) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    write_inputs(dir);
    std::vector<std::string> args;
    if (!c.args.empty()) args = {"dd", "classes.txt", "seq.fa", "ctx.arff", "1", "0"};
    const ProgramResult r = run_program(dir, args, c.input);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.find(kEscape), std::string::npos);
    for (const std::string& line : c.lines) EXPECT_EQ(r.out.find(line), std::string::npos) << line;
  }
}

TEST(ProgressOnTerminal, AnErrorDuringAPhaseStartsOnAClearedLine) {
  if (!have_script()) GTEST_SKIP() << "script (util-linux) is not installed";
  TempDir dir;
  write_inputs(dir);
  // The classification file names too few labels: the grouping phase ends the run.
  dir.write("short.txt", "#class_number\n2\n#class_names\nF1\nF2\n#data\nF1\n");
  const TerminalRun t = run_on_terminal(dir, "dd short.txt seq.fa ctx.arff 1 0", "");
  EXPECT_EQ(t.status, 1) << t.bytes;
  EXPECT_NE(t.bytes.find("grouping sequences by class: 0 of 4"), std::string::npos) << t.bytes;
  const std::string shown = screen(t.bytes);
  // The error line is whole, at the start of a line, and no progress text is left on screen.
  EXPECT_NE(shown.find("\nerror: "), std::string::npos) << shown;
  EXPECT_EQ(shown.find("grouping sequences"), std::string::npos) << shown;
}
