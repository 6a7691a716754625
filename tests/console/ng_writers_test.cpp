#include "console/ng_writers.h"

#include <gtest/gtest.h>

#include "core/run_exit.h"
#include "support/run_program.h"
#include "support/streams.h"

namespace {
struct Written {
  std::string context, dat, arff;
};

Written write_all(const std::vector<std::string>& seqs, const ClassLabels* classes) {
  TempDir dir;
  const NgramList list = BuildNgramList(views_of(seqs), 3);
  {
    OutFile context = OutFile::create((dir.path() / "ctx").string());
    OutFile dat = OutFile::create((dir.path() / "dat").string());
    OutFile arff = OutFile::create((dir.path() / "arff").string());
    WriteNgContexts(list, seqs, classes, context, dat, arff);
    dat.close();
    arff.close();
    context.close();
  }
  return {dir.read("ctx"), dir.read("dat"), dir.read("arff")};
}

ClassLabels classes_of(std::vector<std::string> names, std::vector<std::string> labels) {
  ClassLabels c;
  c.count = static_cast<int32_t>(names.size());
  c.names = std::move(names);
  c.labels = std::move(labels);
  return c;
}

// Reads a classification file given as text; `console` receives what was printed.
ClassLabels read_classes(const std::string& text, int sequences, std::string& console) {
  TestArea t(text);
  ClassLabels c = ReadClassLabels(t.wa.con, t.in.get(), sequences);
  console = t.printed();
  return c;
}
}  // namespace

TEST(NgWriters, TwoSequencesTwoClassesExactBytes) {
  const ClassLabels c = classes_of({"X", "Y"}, {"X", "Y"});
  const Written w = write_all({"ABCD", "BCDE"}, &c);
  EXPECT_EQ(
      w.arff,
      "@relation Context\n\n@attribute ABC {1,0}\n@attribute BCD {1,0}\n@attribute CDE {1,0}\n"
      "@attribute class {X,Y}\n\n@data\n1,1,0,X\n0,1,1,Y\n");
  EXPECT_EQ(w.context,
            "#motifs number\n3\n#motifs\nABC\nBCD\nCDE\n#classes number\n2\n#classes\nX\nY\n"
            "#instances number\n2\n#context\n1,1,0,1,0\n0,1,1,0,1\n");
  EXPECT_EQ(w.dat, "2 3 2\nABC 2 1 1\nBCD 2 1 1\nCDE 2 1 1\n\n1 1 1 0 X\n2 0 1 1 Y\n");
}

TEST(NgWriters, OneClassAndRepeatedNgrams) {
  const ClassLabels c = classes_of({"only"}, {"only", "only"});
  const Written w = write_all({"AAAA", "AAAB"}, &c);
  EXPECT_EQ(w.arff,
            "@relation Context\n\n@attribute AAA {1,0}\n@attribute AAB {1,0}\n"
            "@attribute class {only}\n\n@data\n1,0,only\n1,1,only\n");
  EXPECT_EQ(w.context,
            "#motifs number\n2\n#motifs\nAAA\nAAB\n#classes number\n1\n#classes\nonly\n"
            "#instances number\n2\n#context\n1,0,1\n1,1,1\n");
  EXPECT_EQ(w.dat, "2 2 1\nAAA 2 1 1\nAAB 2 1 1\n\n1 1 0 only\n2 1 1 only\n");
}

TEST(NgWriters, WithoutClassesNoClassPartAndAnEmptyDataFile) {
  const Written w = write_all({"ABCD", "BCDE"}, nullptr);
  EXPECT_EQ(
      w.arff,
      "@relation Context\n\n@attribute ABC {1,0}\n@attribute BCD {1,0}\n@attribute CDE {1,0}\n"
      "\n@data\n1,1,0\n0,1,1\n");
  EXPECT_EQ(
      w.context,
      "#motifs number\n3\n#motifs\nABC\nBCD\nCDE\n#instances number\n2\n#context\n1,1,0\n0,1,1\n");
  EXPECT_EQ(w.dat, "");
}

TEST(NgWriters, NoNgramAtAllStillGivesValidFiles) {
  const ClassLabels c = classes_of({"X", "Y"}, {"Y", "X"});
  const Written w = write_all({"AB", ""}, &c);
  EXPECT_EQ(w.arff, "@relation Context\n\n@attribute class {X,Y}\n\n@data\nY\nX\n");
  EXPECT_EQ(w.context,
            "#motifs number\n0\n#motifs\n#classes number\n2\n#classes\nX\nY\n"
            "#instances number\n2\n#context\n0,1\n1,0\n");
  EXPECT_EQ(w.dat, "2 0 2\n\n1 Y\n2 X\n");
  const Written bare = write_all({"AB"}, nullptr);
  EXPECT_EQ(bare.arff, "@relation Context\n\n\n@data\n\n");
  EXPECT_EQ(bare.context, "#motifs number\n0\n#motifs\n#instances number\n1\n#context\n\n");
}

TEST(NgWriters, OnlyTheArffFileQuotesNames) {
  const ClassLabels c = classes_of({"glob in", "b,c"}, {"b,c", "glob in", "unknown"});
  const Written w = write_all({"ABC", "", "ABC"}, &c);
  EXPECT_EQ(
      w.arff,
      "@relation Context\n\n@attribute ABC {1,0}\n@attribute class {'glob in','b,c'}\n\n@data\n"
      "1,'b,c'\n0,'glob in'\n1,unknown\n");
  EXPECT_EQ(w.context,
            "#motifs number\n1\n#motifs\nABC\n#classes number\n2\n#classes\nglob in\nb,c\n"
            "#instances number\n3\n#context\n1,0,1\n0,1,0\n1,0,0\n");
  EXPECT_EQ(w.dat, "3 1 2\nABC 2 1 1\n\n1 1 b,c\n2 0 glob in\n3 1 unknown\n");
}

TEST(NgClassFile, ReadsNamesAndOneLabelPerSequence) {
  std::string console;
  const ClassLabels c = read_classes("#n\n3\n#c\nX\n\nY \n#d\nY \n\nX", 3, console);
  EXPECT_EQ(c.count, 3);
  EXPECT_EQ(c.names, (std::vector<std::string>{"X", "", "Y "}));
  EXPECT_EQ(c.labels, (std::vector<std::string>{"Y ", "", "X"}));
  EXPECT_EQ(console, "");
}

TEST(NgClassFile, BadHeadersAreReportedAndReadingGoesOn) {
  std::string console;
  const ClassLabels c = read_classes("n\n1\nc\nX\nd\nX\n", 1, console);
  EXPECT_EQ(console,
            "\tErr: Class file invalid @class_number\tErr: Class file invalid @class_names"
            "\tErr: Class file invalid @data");
  EXPECT_EQ(c.names, (std::vector<std::string>{"X"}));
  EXPECT_EQ(c.labels, (std::vector<std::string>{"X"}));
}

TEST(NgClassFile, ShortFilesEndTheRunInsteadOfRepeatingALabel) {
  std::string console;
  try {
    read_classes("#n\n2\n#c\nX\nY\n#d\nX\n", 2, console);
    FAIL() << "labels ran out without an error";
  } catch (const RunExit& e) {
    EXPECT_EQ(e.status, 1);
  }
  EXPECT_THROW(read_classes("#n\n2\n#c\nX\n", 0, console), RunExit);
  std::string names = "#n\n101\n#c\n";
  for (int i = 0; i < 101; ++i) names += "C" + std::to_string(i) + "\n";
  EXPECT_THROW(read_classes(names + "#d\n", 0, console), RunExit);
}
