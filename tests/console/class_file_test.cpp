// The classification file and SeqFile.seq: grouping by class with exact bytes, the header
// messages, sequences left out, and the ends of a short classification file.
#include "console/class_file.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/file_bytes.h"
#include "support/streams.h"

namespace {
const std::string kOpened = "j ai ouvert SeqFile.seq en ecriture\n";

// The class file of `names` and `labels`, with well-formed header lines.
std::string class_file(const std::vector<std::string>& names,
                       const std::vector<std::string>& labels) {
  std::string f = "#class number\n" + std::to_string(names.size()) + "\n#class names\n";
  for (const auto& n : names) f += n + "\n";
  f += "#data\n";
  for (const auto& l : labels) f += l + "\n";
  return f;
}

struct Grouped {
  int status = -1;  // exit status of a run that ended, or -1
  std::string seqfile;
  std::string printed;
  std::string error;
};

// Writes SeqFile.seq for the sequences `P` with the class file bytes, in a temporary folder.
Grouped group(TestArea& t, const std::vector<std::string>& P, const std::string& classBytes) {
  InTempDir here;
  t.wa.input.P = P;
  t.wa.input.Tot = static_cast<int>(P.size());
  InputFile cls(classBytes);
  Grouped g;
  std::tie(g.status, g.error) =
      ends([&] { WriteSeqFile(t.wa.input, t.wa.classes, t.wa.con, cls.get()); });
  g.seqfile = file_bytes("SeqFile.seq");
  g.printed = t.printed();
  return g;
}

const std::vector<std::string> kS = {"ACD", "EF", "GHIK"};
}  // namespace

TEST(SeqFile, GroupsConsecutiveLabelsUnderTheirClass) {
  TestArea t;
  Grouped g = group(t, kS, class_file({"A", "B"}, {"A", "A", "B"}));
  EXPECT_EQ(g.status, -1);
  EXPECT_EQ(g.seqfile, "/\nACD\nEF\n/\nGHIK");
  EXPECT_EQ(g.printed, kOpened);
  EXPECT_EQ(g.error, "");
  EXPECT_EQ(t.wa.classes.LstClsForMSDD, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(t.wa.classes.SeqGroups, (std::vector<std::vector<uint32_t>>{{0, 1}, {2}}));
  EXPECT_EQ(t.wa.classes.Labels, (std::vector<std::string>{"A", "A", "B"}));
}

TEST(SeqFile, GroupLinesForPassedOverLastAndEmptyClasses) {
  const struct {
    std::vector<std::string> P, names, labels;
    std::string seqfile;
    std::vector<std::vector<uint32_t>> groups;
  } cases[] = {
      // A class passed over gets an empty group.
      {{"AC", "DE"}, {"A", "B", "C"}, {"A", "C"}, "/\nAC\n/\n/\nDE", {{0}, {}, {1}}},
      // The last classes without sequences get no group line.
      {{"AC", "DE"}, {"A", "B", "C"}, {"A", "B"}, "/\nAC\n/\nDE", {{0}, {1}}},
      // Zero sequences give one group line; empty sequences give empty lines.
      {{}, {"A", "B"}, {}, "/\n", {{}}},
      {{"", "AC", ""}, {"A", "B"}, {"A", "B", "B"}, "/\n\n/\nAC\n", {{0}, {1, 2}}},
  };
  for (const auto& c : cases) {
    TestArea t;
    Grouped g = group(t, c.P, class_file(c.names, c.labels));
    EXPECT_EQ(g.status, -1) << c.seqfile;
    EXPECT_EQ(g.seqfile, c.seqfile);
    EXPECT_EQ(t.wa.classes.SeqGroups, c.groups) << c.seqfile;
    EXPECT_EQ(g.error, "") << c.seqfile;
  }
}

TEST(SeqFile, LabelsOutOfOrderLeaveSequencesOutWithAWarning) {
  TestArea t;
  Grouped g = group(t, {"AC", "DE"}, class_file({"A", "B"}, {"B", "A"}));
  EXPECT_EQ(g.status, -1);
  EXPECT_EQ(g.seqfile, "/\n/\nAC\n");
  EXPECT_EQ(g.error,
            "warning: 1 of 2 sequences left out of SeqFile.seq, from sequence 2 on: its label "
            "\"A\" matches no remaining class name\n");
  EXPECT_EQ(t.wa.classes.Labels, (std::vector<std::string>{"B"}));

  TestArea unknown;
  Grouped u = group(unknown, kS, class_file({"A", "B"}, {"A", "Z", "A"}));
  EXPECT_EQ(u.seqfile, "/\nACD\n/\n");
  EXPECT_EQ(u.error,
            "warning: 2 of 3 sequences left out of SeqFile.seq, from sequence 2 on: its label "
            "\"Z\" matches no remaining class name\n");
}

TEST(SeqFile, NoClassNameLeavesEverySequenceOut) {
  TestArea t;
  Grouped g = group(t, kS, class_file({}, {"A", "A", "B"}));
  EXPECT_EQ(g.status, -1);
  EXPECT_EQ(g.seqfile, "");
  EXPECT_EQ(g.error,
            "warning: all 3 sequences left out of SeqFile.seq: the classification file "
            "names no class\n");
}

TEST(SeqFile, HeaderLinesWithoutHashAreReportedAndReadingGoesOn) {
  TestArea t;
  Grouped g = group(t, {"AC", "DE"}, "class number\n2\nnames\nA\nB\ndata\nA\nB");
  EXPECT_EQ(g.status, -1);
  EXPECT_EQ(g.printed,
            "\tErr: Class file invalid @class_number\tErr: Class file invalid @class_names" +
                kOpened + "\tErr: Class file invalid @data");
  EXPECT_EQ(g.seqfile, "/\nAC\n/\nDE");

  // An empty header line has no '#' either; the count line is read from its start.
  TestArea empty;
  Grouped e = group(empty, {"AC"}, "\n  +1 classes\n#\nA\n#\nA\n");
  EXPECT_EQ(e.printed, "\tErr: Class file invalid @class_number" + kOpened);
  EXPECT_EQ(e.seqfile, "/\nAC");
}

TEST(SeqFile, NamesAndLabelsAreWholeLinesComparedExactly) {
  // A carriage return belongs to the name; a name of 150 characters is kept whole.
  const std::string longName(150, 'n');
  TestArea t;
  Grouped g =
      group(t, {"AC", "DE", "FG"}, class_file({"A\r", longName, "a"}, {"A\r", longName + "", "a"}));
  EXPECT_EQ(g.seqfile, "/\nAC\n/\nDE\n/\nFG");
  EXPECT_EQ(t.wa.classes.LstClsForMSDD.at(1), longName);

  TestArea cut;
  Grouped c = group(cut, {"AC", "DE"}, class_file({"A", longName}, {"A", longName.substr(0, 99)}));
  EXPECT_EQ(c.seqfile, "/\nAC\n/\n");  // a cut label would match nothing
  EXPECT_NE(c.error, "");
}

TEST(SeqFile, LabelsThatRunOutEndTheRun) {
  TestArea t;
  Grouped g = group(t, kS, class_file({"A", "B"}, {"A", "B"}));
  EXPECT_EQ(g.status, 1);
  EXPECT_EQ(g.error,
            "error: the classification file has no label for sequence 3: its labels run "
            "out after 2\n");

  TestArea none;
  Grouped n = group(none, kS, class_file({"A"}, {}));
  EXPECT_EQ(n.status, 1);
  EXPECT_NE(n.error.find("no label for sequence 1"), std::string::npos);

  // Exactly as many labels as sequences, the last one without a line end, is enough.
  TestArea exact;
  Grouped e = group(exact, kS, "#\n1\n#\nA\n#\nA\nA\nA");
  EXPECT_EQ(e.status, -1);
  EXPECT_EQ(e.seqfile, "/\nACD\nEF\nGHIK");
}

TEST(SeqFile, ClassFileEndingInItsHeaderSectionEndsTheRun) {
  const std::string cut_points[] = {"", "#\n", "#\n3\n", "#\n3\n#\nA\nB\n", "#\n3\n#\nA\nB\nC\n"};
  for (const std::string& bytes : cut_points) {
    TestArea t;
    Grouped g = group(t, kS, bytes);
    EXPECT_EQ(g.status, 1) << bytes;
    EXPECT_EQ(g.error, "error: the classification file ends inside its header section\n");
  }
}

TEST(SeqFile, MoreThanOneHundredClassNamesAreRefused) {
  std::vector<std::string> names;
  for (int i = 0; i < 101; ++i) names.push_back("c" + std::to_string(i));
  TestArea t;
  Grouped g = group(t, {"AC"}, class_file(names, {"c0"}));
  EXPECT_EQ(g.status, 1);
  EXPECT_EQ(g.error, "error: too many class names: 101 found, the limit is 100\n");
  EXPECT_EQ(g.printed, "");  // refused before SeqFile.seq is opened

  names.pop_back();
  TestArea fits;
  Grouped f = group(fits, {"AC"}, class_file(names, {"c99"}));
  EXPECT_EQ(f.status, -1);
  std::string expected;
  for (int i = 0; i < 100; ++i) expected += "/\n";  // c99 passes over the 99 names before it
  EXPECT_EQ(f.seqfile, expected + "AC");
}

TEST(FormatFile, ReadsTheSequencesThenGroupsThem) {
  TestArea t;
  InTempDir here;
  InputFile seq(">1\nacd\n>2\nE F\n>3\nGHIK\n");
  InputFile cls(class_file({"A", "B"}, {"A", "A", "B"}));
  FormatFile(t.wa.input, t.wa.classes, t.wa.con, seq.get(), cls.get());
  EXPECT_EQ(file_bytes("SeqFile.seq"), "/\nACD\nEF\n/\nGHIK");
  EXPECT_EQ(t.wa.input.Tot, 3);
  EXPECT_EQ(t.printed(), kOpened);
}
