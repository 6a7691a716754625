// The program as a user starts it: argument counts, the keyword prompt, exit statuses, and the
// entry's own handling of names, in a fresh folder each time. Nothing here depends on what an
// approach run does after the entry has started it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/run_program.h"

namespace {
const std::string kPrompt = "\n Choix de l'algo : ";
const std::string kUnknown = "\nAlgo introuvable";
const std::string kArgumentMode = " j utilise dd";

size_t files_in(const TempDir& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++n;
  return n;
}

size_t count_of(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}
}  // namespace

TEST(Entry, WrongArgumentCountsPrintNothingAndTouchNoFile) {
  const std::vector<std::string> words = {"ng",  "classes.txt", "seq.fa", "ctx.arff",
                                          "0.8", "0.1",         "extra",  "more"};
  for (size_t n : {2u, 3u, 4u, 5u, 7u, 8u}) {
    TempDir dir;
    std::vector<std::string> args(words.begin(), words.begin() + static_cast<long>(n));
    ProgramResult r = run_program(dir, args, "dd\n");
    EXPECT_EQ(r.status, 2) << n << " arguments";
    EXPECT_EQ(r.out, "") << n << " arguments";
    EXPECT_EQ(r.err, "") << n << " arguments";
    EXPECT_EQ(files_in(dir), 0u) << n << " arguments";
  }
}

TEST(Entry, SixArgumentsWithAnotherKeywordTouchNoFile) {
  for (const std::string kw : {"ng", "ddsm", "ma", "DD", "dd ", "xyz"}) {
    TempDir dir;
    dir.write("ctx.arff", "an old context that stays");
    ProgramResult r = run_program(dir, {kw, "classes.txt", "seq.fa", "ctx.arff", "0.8", "0.1"}, "");
    EXPECT_EQ(r.status, 2) << kw;
    EXPECT_EQ(r.out, kArgumentMode) << kw;
    EXPECT_EQ(r.err, "") << kw;
    EXPECT_EQ(dir.read("ctx.arff"), "an old context that stays") << kw;
    EXPECT_EQ(files_in(dir), 1u) << kw;
  }
  TempDir fresh;
  ProgramResult r = run_program(fresh, {"ng", "c", "s", "new.arff", "x", "y"}, "");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(files_in(fresh), 0u);
}

TEST(Entry, SixArgumentsWithDdCreateTheContextFileAndStartTheRun) {
  TempDir dir;
  dir.write("ctx.arff", "old");
  // Neither input file exists and standard input is empty, so the run cannot complete.
  ProgramResult r = run_program(dir, {"dd", "none.txt", "none.fa", "ctx.arff", "0.8", "0.1"}, "");
  EXPECT_TRUE(starts_with(r.out, kArgumentMode + "\nMethode des Discripteur discriminant\n"))
      << r.out;
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err;
}

TEST(Entry, FileNamesOfAnyLengthAreKeptWhole) {
  TempDir dir;
  const std::string name = std::string(150, 'c') + ".arff";
  // The inputs do not exist and standard input is empty: the run ends at its first prompt.
  ProgramResult r = run_program(dir, {"dd", "c", "s", name, "0.8", "0.1"}, "");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(dir.exists(name));
  EXPECT_EQ(files_in(dir), 1u);  // not a file under a cut name
}

TEST(Entry, UnknownKeywordIsReportedAndEndsWithStatusOne) {
  for (const std::string input : {"DD\n", "Dd\n", "ddd\n", "d\n", "xyz and more\n"}) {
    TempDir dir;
    ProgramResult r = run_program(dir, {}, input);
    EXPECT_EQ(r.status, 1) << input;
    EXPECT_EQ(r.out, kPrompt + kUnknown) << input;
    EXPECT_EQ(r.err, "") << input;
    EXPECT_EQ(files_in(dir), 0u) << input;
  }
}

TEST(Entry, OneArgumentIsIgnored) {
  TempDir dir;
  ProgramResult r = run_program(dir, {"whatever.txt"}, "DD\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, kPrompt + kUnknown);
  EXPECT_EQ(files_in(dir), 0u);
}

TEST(Entry, UnknownKeywordEndsWithoutWaitingForAKey) {
  // Standard input stays open: the key read must be satisfied by the pending line end.
  TempDir dir;
  const auto start = std::chrono::steady_clock::now();
  ProgramResult r = run_program(dir, {}, "DD\n", 20, true);
  EXPECT_EQ(r.status, 1);  // 137 if it had waited and been killed
  EXPECT_EQ(r.out, kPrompt + kUnknown);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(Entry, EndOfInputAtTheKeywordPromptIsAnUnknownKeyword) {
  for (const std::string input : {"", "  \n\t\n"}) {
    TempDir dir;
    ProgramResult r = run_program(dir, {}, input);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, kPrompt + kUnknown);
    EXPECT_EQ(r.err, "");
  }
}

TEST(Entry, EachKeywordPrintsItsLineBeforeItsRun) {
  const std::pair<std::string, std::string> cases[] = {
      {"dd", "\nApproche Discripteur discriminant par defaut\n"},
      {"ddsm", "\nApproche Discripteur discriminant avec matrice de substitution par defaut\n"},
      {"ng", "\nApproche N-Gramme par defaut\n"},
      {"ma", "\nM\xc3\xa9thode Motif Actif par defaut\n"},
  };
  for (const auto& [kw, line] : cases) {
    TempDir dir;
    // A trailing blank ends the word; with no further answers the run cannot complete.
    ProgramResult r = run_program(dir, {}, kw + " \n");
    EXPECT_TRUE(starts_with(r.out, kPrompt + line)) << kw << ": " << r.out;
    EXPECT_EQ(r.status, 1) << kw;
    EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << kw << ": " << r.err;
  }
}

TEST(Entry, RestOfTheKeywordLineIsNotTakenAsAnAnswer) {
  // If " Sample.txt" were left pending, the first file prompt of the run would read it, fail to
  // open it, and ask a second time before meeting the end of input.
  for (const std::string kw : {"dd", "ddsm", "ng", "ma"}) {
    TempDir dir;
    ProgramResult r = run_program(dir, {}, kw + " Sample.txt\n");
    EXPECT_LE(count_of(r.out, "Enter the file name of sequences"), 1u) << kw << ": " << r.out;
    EXPECT_EQ(r.status, 1) << kw;
    EXPECT_FALSE(dir.exists("Sample.txt")) << kw;
  }
}
