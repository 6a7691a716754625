// The dd run end to end, in argument mode and from the menu: console text, status and files.
#include <gtest/gtest.h>

#include "support/console_texts.h"
#include "support/run_program.h"

namespace {

const std::string kSeq = ">s1\nMKVLAAGHT\n>s2\nMKVLAAPQR\n>s3\nWWGHTPQRS\n>s4\nWWGHTAAST\n";
const std::string kClasses = "#class_number\n2\n#class_names\nF1\nF2\n#data\nF1\nF1\nF2\nF2\n";

const std::string kArgumentStart = " j utilise dd\nMethode des Discripteur discriminant\n";
const std::string kMenuStart =
    "\n Choix de l'algo : \nApproche Discripteur discriminant par defaut\n";
const std::string kSeqFileOpened = "j ai ouvert SeqFile.seq en ecriture\n";
const std::string kThresholdPrompt =
    "\n%\tEnter ALPHA and BETA values ( 0 <= ALPHA,BETA <= 1 )\n"
    "  \tdefault values[0][0]: \n"
    "  \tALPHA [0]=   \tBETA [0]= ";

std::string discovery_text(int found) {
  return "fin startt \n%\tRunning...\n\ndeb Discriminate\n%\t" + std::to_string(found) +
         "  discriminative descriptors";
}

// With ALPHA 1 and BETA 0 the set gives 18 descriptors: each family's own letters, pairs and
// triples of its conserved start.
const std::string kReport =
    "ALPHA = 100.000000 %\nBETA = 0.000000 %\nLa valeur du debut du filtrage = 3\n\n\n"
    "\n>>WGH        \tFamily # 2\n>>WWG        \tFamily # 2\n>>VLA        \tFamily # 1"
    "\n>>LAA        \tFamily # 1\n>>KVL        \tFamily # 1\n>>MKV        \tFamily # 1"
    "\n>>WW        \tFamily # 2\n>>WG        \tFamily # 2\n>>LA        \tFamily # 1"
    "\n>>VL        \tFamily # 1\n>>KV        \tFamily # 1\n>>MK        \tFamily # 1"
    "\n>>S        \tFamily # 2\n>>W        \tFamily # 2\n>>L        \tFamily # 1"
    "\n>>V        \tFamily # 1\n>>K        \tFamily # 1\n>>M        \tFamily # 1";
const std::string kRowF1 = "0,0,1,1,1,1,0,0,1,1,1,1,0,0,1,1,1,1,F1\n";
const std::string kRowF2 = "1,1,0,0,0,0,1,1,0,0,0,0,1,1,0,0,0,0,F2\n";

std::string context_header() {
  std::string out = "@relation Context\n\n";
  for (const char* t : {"WGH", "WWG", "VLA", "LAA", "KVL", "MKV", "WW", "WG", "LA", "VL", "KV",
                        "MK", "S", "W", "L", "V", "K", "M"})
    out += std::string("@attribute ") + t + " {1,0}\n";
  return out + "@attribute class {F1,F2}\n\n@data\n";
}

TempDir& prepared(TempDir& dir) {
  dir.write("seq.txt", kSeq);
  dir.write("classes.txt", kClasses);
  return dir;
}

TEST(DdRun, ArgumentModeWritesReportContextAndSeqFile) {
  TempDir dir;
  ProgramResult r =
      run_program(prepared(dir), {"dd", "classes.txt", "seq.txt", "ctx.arff", "1", "0"}, "");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, kArgumentStart + kSeqFileOpened + discovery_text(18));
  EXPECT_EQ(dir.read("LesDDs.txt"), kReport);
  EXPECT_EQ(dir.read("ctx.arff"), context_header() + kRowF1 + kRowF1 + kRowF2 + kRowF2);
  EXPECT_EQ(dir.read("SeqFile.seq"), "/\nMKVLAAGHT\nMKVLAAPQR\n/\nWWGHTPQRS\nWWGHTAAST");
}

TEST(DdRun, ArgumentModeAsksAgainForFilesItCannotOpen) {
  TempDir dir;
  prepared(dir);
  dir.write("Sample.txt", kSeq);
  // The sequence file is missing: an empty answer opens Sample.txt. The classification file is
  // missing: a wrong name is asked again, then the right one.
  ProgramResult r = run_program(dir, {"dd", "nope.txt", "missing.txt", "ctx.arff", "1", "0"},
                                "\nwrong.txt\nclasses.txt\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kArgumentStart + kSeqPrompt + kClassPrompt + kClassPrompt + kSeqFileOpened +
                       discovery_text(18));
  EXPECT_EQ(dir.read("LesDDs.txt"), kReport);
}

TEST(DdRun, ThresholdsOutOfRangeOrNotANumberAreAskedAgain) {
  for (const char* alpha : {"1.5", "-0.1", "nan"}) {
    TempDir dir;
    // First round still out of range (BETA 2), second round 1 and 0.
    ProgramResult r = run_program(
        prepared(dir), {"dd", "classes.txt", "seq.txt", "ctx.arff", alpha, "0"}, "0.5\n2\n1\n0\n");
    EXPECT_EQ(r.status, 0) << alpha << r.err;
    EXPECT_EQ(r.out, kArgumentStart + kThresholdPrompt + kThresholdPrompt + kSeqFileOpened +
                         discovery_text(18))
        << alpha;
  }
}

TEST(DdRun, LettersCountAsZeroAndEmptyAnswersMeanZero) {
  TempDir dir;
  ProgramResult r =
      run_program(prepared(dir), {"dd", "classes.txt", "seq.txt", "ctx.arff", "abc", "x"}, "");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.read("LesDDs.txt").substr(0, 39), "ALPHA = 0.000000 %\nBETA = 0.000000 %\nLa");

  TempDir other;
  ProgramResult asked =
      run_program(prepared(other), {"dd", "classes.txt", "seq.txt", "ctx.arff", "7", "0"}, "\n\n");
  EXPECT_EQ(asked.status, 0) << asked.err;
  EXPECT_EQ(asked.out.find(kThresholdPrompt), kArgumentStart.size());
  EXPECT_EQ(other.read("LesDDs.txt").substr(0, 39), "ALPHA = 0.000000 %\nBETA = 0.000000 %\nLa");
}

TEST(DdRun, MenuModeAsksForEverythingAndWritesContextArff) {
  TempDir dir;
  dir.write("Sample.txt", kSeq);
  dir.write("classes.txt", kClasses);
  ProgramResult r = run_program(dir, {}, "dd  extra words\n\nclasses.txt\n1\n0\n");
  EXPECT_EQ(r.status, 0) << r.err;
  // The menu passes empty names and the threshold texts "2": every file and both thresholds
  // are asked for; the empty sequence answer takes Sample.txt.
  EXPECT_EQ(r.out, kMenuStart + kSeqPrompt + kClassPrompt + kThresholdPrompt + kSeqFileOpened +
                       discovery_text(18));
  EXPECT_EQ(dir.read("Context.arff"), context_header() + kRowF1 + kRowF1 + kRowF2 + kRowF2);
  EXPECT_EQ(dir.read("LesDDs.txt"), kReport);
}

TEST(DdRun, EndOfInputAtAPromptEndsWithStatusOne) {
  TempDir dir;
  ProgramResult r = run_program(prepared(dir), {}, "dd\nseq.txt\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: unexpected end of input\n");
  EXPECT_FALSE(dir.exists("LesDDs.txt"));
}

TEST(DdRun, MoreThanNineteenFamiliesIsRefusedBeforeAnyOutput) {
  TempDir dir;
  std::string seq, classes = "#class_number\n20\n#class_names\n", labels;
  for (int f = 1; f <= 20; ++f) {
    classes += "C" + std::to_string(f) + "\n";
    seq += ">s\nACDEFG\n";
    labels += "C" + std::to_string(f) + "\n";
  }
  dir.write("seq.txt", seq);
  dir.write("classes.txt", classes + "#data\n" + labels);
  ProgramResult r =
      run_program(dir, {"dd", "classes.txt", "seq.txt", "ctx.arff", "0.5", "0.5"}, "");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: too many families: 20 found, the limit is 19\n");
  EXPECT_EQ(r.out.find("fin startt"), std::string::npos);
  EXPECT_FALSE(dir.exists("LesDDs.txt"));
  EXPECT_EQ(dir.read("ctx.arff"), "");
}

TEST(DdRun, ContextThatCannotBeCreatedIsNamedOnStandardError) {
  TempDir dir;
  ProgramResult r = run_program(
      prepared(dir), {"dd", "classes.txt", "seq.txt", "no/such/dir/ctx.arff", "1", "0"}, "");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no/such/dir/ctx.arff"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("error: cannot create file"), 0u) << r.err;
}

TEST(DdRun, UnusedLastClassAndEmptySequencesKeepLabelsInLine) {
  TempDir dir;
  // Family F2 has an empty sequence; F3 is named but has no sequence.
  dir.write("seq.txt", ">a\nMKV\n>b\nMKV\n>c\n\n>d\nWWG\n");
  dir.write("classes.txt", "#class_number\n3\n#class_names\nF1\nF2\nF3\n#data\nF1\nF1\nF2\nF2\n");
  ProgramResult r = run_program(dir, {"dd", "classes.txt", "seq.txt", "ctx.arff", "1", "0"}, "");
  EXPECT_EQ(r.status, 0) << r.err;
  // F2 holds two sequences, so WWG (in one of them) misses ALPHA 1; the empty sequence still
  // has its row, and F3 is no class of the context.
  EXPECT_EQ(
      dir.read("ctx.arff"),
      "@relation Context\n\n@attribute MKV {1,0}\n@attribute KV {1,0}\n@attribute MK {1,0}\n"
      "@attribute V {1,0}\n@attribute K {1,0}\n@attribute M {1,0}\n@attribute class {F1,F2}\n\n"
      "@data\n1,1,1,1,1,1,F1\n1,1,1,1,1,1,F1\n0,0,0,0,0,0,F2\n0,0,0,0,0,0,F2\n");
}

}  // namespace
