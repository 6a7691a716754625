// Whole ng runs from the menu, answers on standard input, in a fresh folder.
#include <gtest/gtest.h>

#include <regex>

#include "support/console_texts.h"
#include "support/run_program.h"
#include "support/weka.h"

namespace {
const std::string kMenu = "\n Choix de l'algo : \nApproche N-Gramme par defaut\n";
const std::string kPrompts = kSeqPrompt + kOptClassPrompt + kContextPrompt;

void write_example(const TempDir& dir) {
  dir.write("s.txt", ">one\nABCD\n>two\nBCDE\n");
  dir.write("c.txt", "#classes number\n2\n#classes\nX\nY\n#data\nX\nY\n");
}

size_t count_lines(const std::string& s) {
  return static_cast<size_t>(std::count(s.begin(), s.end(), '\n'));
}
}  // namespace

TEST(NgRun, FromTheMenuWithAClassificationFile) {
  TempDir dir;
  write_example(dir);
  const ProgramResult r = run_program(dir, {}, "ng\ns.txt\nc.txt\nctx.txt\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(mask_seconds(r.out),
            kMenu + kPrompts +
                "\n ===> 2 sequences found in file <s.txt>\n\n%\t4 N-Grams\n%\t3 distinct N-Grams"
                "\n%\tT seconds\n");
  EXPECT_EQ(
      dir.read("contexte.txt"),
      "@relation Context\n\n@attribute ABC {1,0}\n@attribute BCD {1,0}\n@attribute CDE {1,0}\n"
      "@attribute class {X,Y}\n\n@data\n1,1,0,X\n0,1,1,Y\n");
  EXPECT_EQ(dir.read("ctx.txt"),
            "#motifs number\n3\n#motifs\nABC\nBCD\nCDE\n#classes number\n2\n#classes\nX\nY\n"
            "#instances number\n2\n#context\n1,1,0,1,0\n0,1,1,0,1\n");
  EXPECT_EQ(dir.read("contextedat.dat"),
            "2 3 2\nABC 2 1 1\nBCD 2 1 1\nCDE 2 1 1\n\n1 1 1 0 X\n2 0 1 1 Y\n");
}

TEST(NgRun, WithoutAClassificationFileAndWithTheDefaultNames) {
  TempDir dir;
  dir.write("Sample.txt", ">a\nabcab\n>b\n\n>c\nAAAA\n");
  const ProgramResult r = run_program(dir, {}, "ng\n\n\n\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(
      mask_seconds(r.out),
      kMenu + kPrompts +
          "\n ===> 3 sequences found in file <Sample.txt>\n\n%\t4 N-Grams\n%\t4 distinct N-Grams"
          "\n%\tT seconds\n");
  EXPECT_EQ(
      dir.read("contexte.txt"),
      "@relation Context\n\n@attribute ABC {1,0}\n@attribute BCA {1,0}\n@attribute CAB {1,0}\n"
      "@attribute AAA {1,0}\n\n@data\n1,1,1,0\n0,0,0,0\n0,0,0,1\n");
  EXPECT_EQ(dir.read("Context.txt"),
            "#motifs number\n4\n#motifs\nABC\nBCA\nCAB\nAAA\n#instances number\n3\n#context\n"
            "1,1,1,0\n0,0,0,0\n0,0,0,1\n");
  EXPECT_TRUE(dir.exists("contextedat.dat"));
  EXPECT_EQ(dir.read("contextedat.dat"), "");
}

TEST(NgRun, MessagesComeInTheirOrderAndUnopenableClassFilesAreAskedAgain) {
  TempDir dir;
  dir.write("s.txt", ">one\nAB1D\n");
  dir.write("c.txt", "classes\n1\n#classes\nX\ndata\nX\n");
  const ProgramResult r = run_program(dir, {}, "ng\ns.txt\nnone.txt\nc.txt\n\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(mask_seconds(r.out),
            kMenu + kSeqPrompt + kOptClassPrompt + kOptClassPrompt + kContextPrompt +
                "\tErr input\n\n ===> 1 sequences found in file <s.txt>\n\n%\t2 N-Grams"
                "\n%\t2 distinct N-Grams\n%\tT seconds\n"
                "\tErr: Class file invalid @class_number\tErr: Class file invalid @data");
  EXPECT_EQ(dir.read("Context.txt"),
            "#motifs number\n2\n#motifs\nAB1\nB1D\n#classes number\n1\n#classes\nX\n"
            "#instances number\n1\n#context\n1,1,1\n");
}

TEST(NgRun, LabelsRunningOutEndTheRunBeforeAnyContext) {
  TempDir dir;
  dir.write("s.txt", ">one\nABCD\n>two\nBCDE\n>three\nCDEF\n");
  dir.write("c.txt", "#classes number\n2\n#classes\nX\nY\n#data\nX\nY\n");
  const ProgramResult r = run_program(dir, {}, "ng\ns.txt\nc.txt\nctx.txt\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(count_lines(r.err), 1u) << r.err;
  EXPECT_NE(r.err.find("error: "), std::string::npos);
  EXPECT_FALSE(dir.exists("contexte.txt"));
  EXPECT_FALSE(dir.exists("ctx.txt"));
  EXPECT_FALSE(dir.exists("contextedat.dat"));

  dir.write("c.txt", "#classes number\n3\n#classes\nX\nY\n");
  const ProgramResult header = run_program(dir, {}, "ng\ns.txt\nc.txt\nctx.txt\n");
  EXPECT_EQ(header.status, 1);
  EXPECT_EQ(count_lines(header.err), 1u) << header.err;
  EXPECT_FALSE(dir.exists("contexte.txt"));
}

TEST(NgRun, RefusalsAndEndOfInput) {
  TempDir dir;
  write_example(dir);
  // End of input at the context prompt.
  const ProgramResult eof = run_program(dir, {}, "ng\ns.txt\nc.txt\n");
  EXPECT_EQ(eof.status, 1);
  EXPECT_EQ(eof.err, "error: unexpected end of input\n");
  EXPECT_FALSE(dir.exists("contexte.txt"));
  // A context file that cannot be created is named on standard error.
  const ProgramResult nodir = run_program(dir, {}, "ng\ns.txt\nc.txt\nmissing/ctx.txt\n");
  EXPECT_EQ(nodir.status, 1);
  EXPECT_EQ(count_lines(nodir.err), 1u);
  EXPECT_NE(nodir.err.find("missing/ctx.txt"), std::string::npos) << nodir.err;
  // A context file named like a fixed output would be written twice at once.
  const ProgramResult same = run_program(dir, {}, "ng\ns.txt\nc.txt\n./contexte.txt\n");
  EXPECT_EQ(same.status, 1);
  EXPECT_EQ(count_lines(same.err), 1u);
  EXPECT_NE(same.err.find("contexte.txt"), std::string::npos) << same.err;
  EXPECT_FALSE(dir.exists("contexte.txt"));
  // More than 4000 sequences are refused before anything is written.
  std::string many;
  for (int i = 0; i < 4001; ++i) many += ">s\nABCD\n";
  dir.write("many.txt", many);
  const ProgramResult big = run_program(dir, {}, "ng\nmany.txt\n\nbig.txt\n");
  EXPECT_EQ(big.status, 1);
  EXPECT_NE(big.out.find("\tErr: Too many sequences\n"), std::string::npos);
  EXPECT_NE(big.err.find("4001"), std::string::npos) << big.err;
  EXPECT_FALSE(dir.exists("big.txt"));
}

TEST(NgRun, FamiliesSampleGivesConsistentContextsThatWekaLearnsFrom) {
  TempDir dir;
  dir.write("seq.fa", read_file(source_path("data/Sample.txt")));
  dir.write("cls.txt", read_file(source_path("data/Sample.classes.txt")));
  const ProgramResult r = run_program(dir, {}, "ng\nseq.fa\ncls.txt\nctx.txt\n");
  ASSERT_EQ(r.status, 0) << r.err;
  std::smatch m, d;
  const std::string out = r.out;
  ASSERT_TRUE(std::regex_search(out, m, std::regex("===> ([0-9]+) sequences")));
  ASSERT_TRUE(std::regex_search(out, d, std::regex("\n%\t([0-9]+) distinct N-Grams")));
  const size_t tot = std::stoul(m[1]), nbvar = std::stoul(d[1]);
  EXPECT_EQ(tot, 370u);
  EXPECT_GT(nbvar, 1000u);
  EXPECT_LE(nbvar, 8000u);  // 3-grams of 20 amino acids
  const std::string dat = dir.read("contextedat.dat");
  EXPECT_EQ(dat.substr(0, dat.find('\n')),
            std::to_string(tot) + " " + std::to_string(nbvar) + " 4");
  // Every file has one row per sequence, each with one value per n-gram.
  const std::string arff = dir.read("contexte.txt");
  const std::string rows = arff.substr(arff.find("@data\n") + 6);
  EXPECT_EQ(count_lines(rows), tot);
  const std::string firstRow = rows.substr(0, rows.find('\n'));
  EXPECT_EQ(static_cast<size_t>(std::count(firstRow.begin(), firstRow.end(), ',')), nbvar);
  EXPECT_EQ(firstRow.substr(firstRow.rfind(',') + 1), "globin");
  EXPECT_EQ(count_lines(dat), 1 + nbvar + 1 + tot);

  if (!weka_available()) GTEST_SKIP() << "Weka is not installed";
  // Weka chooses its reader by the file name's extension.
  dir.write("contexte.arff", arff);
  const WekaResult w = weka_evaluate((dir.path() / "contexte.arff").string());
  ASSERT_TRUE(w.ok) << w.output;
  // J48, 5-fold cross-validation (seed 1) measured 80.8 % (78.6 % with seed 2); the largest
  // family alone is 29.5 % of the sequences. The floor leaves room for Weka versions while
  // still failing on contexts whose values or labels are shuffled.
  EXPECT_GE(w.accuracy, 70.0) << w.output;
}
