// Whole ddsm runs from the menu, answers piped on standard input.
#include <gtest/gtest.h>

#include <string>

#include "support/console_texts.h"
#include "support/run_program.h"
#include "support/weka.h"

namespace {
// Two families: every word of ILK is in both "kin" sequences only, every word of VLC in both
// "ox" sequences only, and L is in all four (never discriminative).
const char kSequences[] = ">s1 kin\nILK\n>s2 kin\nILK\n>s3 ox\nVLC\n>s4 ox\nVLC\n";
const char kClasses[] = "#class_number\n2\n#class_names\nkin\nox\n#data\nkin\nkin\nox\nox\n";
const char kTestSequences[] = ">t1\nailka\n>t2\nVLCW\n>t3\nGGG\n";
const char kTestClasses[] =
    "#class_number\n3\n#class_names\nkin\nox\nthird one\n#data\nkin\nox\nthird one\n";

const std::string kMenu =
    "\n Choix de l'algo : \nApproche Discripteur discriminant avec matrice de substitution par "
    "defaut\n";
const std::string kTestPrompt =
    "\n%\tEnter the test file \n  \tif there is no test file press ENTER: ";
const std::string kTestClassPrompt =
    "\n%\tEnter the test classification file for the 3 sequences\n  \tof the test file: ";
const std::string kThresholds =
    "\n%\tEnter ALPHA and BETA values ( 0 <= ALPHA,BETA <= 1 )\n  \tdefault values[0][0]: \n  "
    "\tALPHA [0]=   \tBETA [0]= ";
const std::string kMatrix =
    "\n%\tEnter the substitution matrix number  1 or 2\n  \t(1 means BLOSUM45; 4 means PAM30)\n"
    "  \t(2 means BLOSUM62; 5 means PAM70)\n  \t(3 means BLOSUM80; 6 means PAM250) default[2] : ";
const std::string kScore =
    "\n%\tEnter the threshold similarity score default value[0.5]: \n  \tThreshold similarity "
    "score [0.5]= ";
const std::string kWork =
    "j ai ouvert SeqFile.seq en ecriture\n\n%\tRunning...\n\ndeb Discriminate";
const std::string kArffContextPrompt = "%\tEnter the ARFF Context file name [Context.arff]: ";
const std::string kTestContextPrompt = "%\tEnter the ARFF test file name [Test.arff]: ";

std::string count_line(int n) {
  return "\n%\t " + std::to_string(n) + "  discriminative descriptors";
}

std::string report_header(const char* alpha, const char* beta) {
  return std::string("ALPHA = ") + alpha + " %\nBETA = " + beta +
         " %\nLa valeur du debut du filtrage = 3\n\nListe des attributs| possibilit? de mutation| "
         "classe\n\n";
}

// Under BLOSUM62 with 0.5: V goes (I stands for it), VL goes (IL stands for it).
const std::string kBlosum62Records =
    "\n>>1-ILK| PM= 0.901235| Class= kin"
    "\n>>2-VLC| PM= 0.802469| Class= ox"
    "\n>>3-IL| PM= 0.822222| Class= kin"
    "\n>>4-LK| PM= 0.753086| Class= kin"
    "\n>>5-LC| PM= 0.555556| Class= ox"
    "\n>>6-I| PM= 0.600000| Class= kin"
    "\n>>7-K| PM= 0.444444| Class= kin"
    "\n>>8-C| PM= 0.000000| Class= ox";
const char kBlosum62List[] = "ILK\nVLC\nIL\nLK\nLC\nI\nK\nC\n";

void write_inputs(const TempDir& dir) {
  dir.write("seq.fa", kSequences);
  dir.write("classes.txt", kClasses);
}
}  // namespace

TEST(DdsmRun, DefaultsEverywhere) {
  TempDir dir;
  dir.write("Sample.txt", kSequences);
  dir.write("classes.txt", kClasses);
  const ProgramResult r = run_program(dir, {}, "ddsm\n\nclasses.txt\n\n\n\n\n\n\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, kMenu + kSeqPrompt + kClassPrompt + kTestPrompt + kThresholds + kMatrix +
                       kScore + kWork + count_line(8) + kArffContextPrompt + kEncodingComplete);
  EXPECT_EQ(dir.read("LesDDSMs.txt"), report_header("0.000000", "0.000000") + kBlosum62Records);
  EXPECT_EQ(dir.read("Context.arff"), kBlosum62List);
  EXPECT_FALSE(dir.exists("Test.arff"));
  EXPECT_EQ(dir.read("SeqFile.seq"), "/\nILK\nILK\n/\nVLC\nVLC");
}

TEST(DdsmRun, RefusedAnswersAreAskedAgain) {
  TempDir dir;
  write_inputs(dir);
  // A missing sequence file, an empty classification answer, ALPHA 0.5 with BETA 1.5, matrices
  // 0, 7, abc and 65537 (not read as 1 in 16 bits), then PAM250; thresholds -0.1 and nan, then 2
  // (nothing is similar any more).
  const ProgramResult r = run_program(dir, {},
                                      "ddsm\nmissing.fa\nseq.fa\n\nclasses.txt\n\n0.5\n1."
                                      "5\n1\n0\n0\n7\nabc\n65537\n6\n-0.1\nnan\n2\nlist.txt\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kMenu + kSeqPrompt + kSeqPrompt + kClassPrompt + kClassPrompt + kTestPrompt +
                       kThresholds + kThresholds + kMatrix + kMatrix + kMatrix + kMatrix + kMatrix +
                       kScore + kScore + kScore + kWork + count_line(10) + kArffContextPrompt +
                       kEncodingComplete);
  EXPECT_EQ(dir.read("LesDDSMs.txt"), report_header("100.000000", "0.000000") +
                                          "\n>>1-ILK| PM= 0.933036| Class= kin"
                                          "\n>>2-VLC| PM= 0.875000| Class= ox"
                                          "\n>>3-VL| PM= 0.875000| Class= ox"
                                          "\n>>4-IL| PM= 0.866071| Class= kin"
                                          "\n>>5-LK| PM= 0.812500| Class= kin"
                                          "\n>>6-LC| PM= 0.625000| Class= ox"
                                          "\n>>7-V| PM= 0.666667| Class= ox"
                                          "\n>>8-I| PM= 0.642857| Class= kin"
                                          "\n>>9-K| PM= 0.500000| Class= kin"
                                          "\n>>10-C| PM= 0.000000| Class= ox");
  EXPECT_EQ(dir.read("list.txt"), "ILK\nVLC\nVL\nIL\nLK\nLC\nV\nI\nK\nC\n");
}

TEST(DdsmRun, TestFileGivesTheTestContext) {
  TempDir dir;
  write_inputs(dir);
  dir.write("t.fa", kTestSequences);
  dir.write("t.cls", kTestClasses);
  // The test context cannot be created in a missing folder: its prompt comes back.
  const ProgramResult r = run_program(dir, {},
                                      "ddsm\nseq.fa\nclasses.txt\nnone.fa\nt.fa\nnone.cls\nt."
                                      "cls\n1\n0\n\n\nlist.txt\nno/such/dir.arff\n\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kMenu + kSeqPrompt + kClassPrompt + kTestPrompt + kTestPrompt +
                       kTestClassPrompt + kTestClassPrompt + kThresholds + kMatrix + kScore +
                       kWork + count_line(8) + kArffContextPrompt + kTestContextPrompt +
                       kTestContextPrompt + kEncodingComplete);
  EXPECT_EQ(dir.read("LesDDSMs.txt"), report_header("100.000000", "0.000000") + kBlosum62Records);
  EXPECT_EQ(dir.read("list.txt"), kBlosum62List);
  const std::string arff =
      "@relation Context\n\n"
      "@attribute ILK {1,0}\n@attribute VLC {1,0}\n@attribute IL {1,0}\n@attribute LK {1,0}\n"
      "@attribute LC {1,0}\n@attribute I {1,0}\n@attribute K {1,0}\n@attribute C {1,0}\n"
      "@attribute class {kin,ox,'third one'}\n\n@data\n"
      "1,0,1,1,0,1,1,0,kin\n"
      "0,1,0,0,1,0,0,1,ox\n"
      "0,0,0,0,0,0,0,0,'third one'\n";
  EXPECT_EQ(dir.read("Test.arff"), arff);

  if (!weka_available()) GTEST_SKIP() << "Weka is not installed";
  std::string output;
  EXPECT_TRUE(weka_parses((dir.path() / "Test.arff").string(), &output)) << output;
}

TEST(DdsmRun, TestLabelsRunningOutEndTheRunBeforeAnyOutput) {
  TempDir dir;
  write_inputs(dir);
  dir.write("t.fa", kTestSequences);
  dir.write("t.cls", "#class_number\n2\n#class_names\nkin\nox\n#data\nkin\nox\n");
  const ProgramResult r =
      run_program(dir, {}, "ddsm\nseq.fa\nclasses.txt\nt.fa\nt.cls\n1\n0\n\n\nlist.txt\n\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("error: "), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  EXPECT_EQ(r.out, kMenu + kSeqPrompt + kClassPrompt + kTestPrompt + kTestClassPrompt);
  EXPECT_FALSE(dir.exists("LesDDSMs.txt"));
  EXPECT_FALSE(dir.exists("SeqFile.seq"));
}

TEST(DdsmRun, EndOfInputAtAPromptIsAnError) {
  TempDir dir;
  write_inputs(dir);
  const ProgramResult r = run_program(dir, {}, "ddsm\nseq.fa\nclasses.txt\n\n0.5\n0.1\n9\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: unexpected end of input\n");
  EXPECT_EQ(r.out,
            kMenu + kSeqPrompt + kClassPrompt + kTestPrompt + kThresholds + kMatrix + kMatrix);
}

TEST(DdsmRun, ListFileThatCannotBeCreatedIsAnError) {
  TempDir dir;
  write_inputs(dir);
  const ProgramResult r =
      run_program(dir, {}, "ddsm\nseq.fa\nclasses.txt\n\n1\n0\n\n\nno/such/list.txt\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no/such/list.txt"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  EXPECT_EQ(dir.read("LesDDSMs.txt"), report_header("100.000000", "0.000000") + kBlosum62Records);
}
