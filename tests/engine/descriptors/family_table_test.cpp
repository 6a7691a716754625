// The family table, its text and the end of every sequence, built from the grouping written to
// SeqFile.seq; compared with the table that reading SeqFile.seq literally gives.
#include "engine/descriptors/family_table.h"

#include <gtest/gtest.h>

#include <random>

#include "console/class_file.h"
#include "console/dd_run.h"
#include "console/limits.h"
#include "reference/input_reference.h"
#include "support/file_bytes.h"
#include "support/streams.h"

namespace {
// Groups `P` by the class file and builds the table; returns the bytes of SeqFile.seq.
std::string build(TestArea& t, const std::vector<std::string>& P, const std::string& classBytes) {
  InTempDir here;
  t.wa.input.P = P;
  t.wa.input.Tot = static_cast<int>(P.size());
  InputFile cls(classBytes);
  ends([&] { WriteSeqFile(t.wa.input, t.wa.classes, t.wa.con, cls.get()); });
  t.wa.families = build_family_table(views_of(t.wa.input.P), t.wa.classes.SeqGroups);
  return file_bytes("SeqFile.seq");
}

// The families, one per line: "number (count): sequence@start+length ...".
std::string families_of(const FamilyTable& ft) {
  std::string out;
  for (const FamilyEntry& fam : ft.families) {
    out += std::to_string(fam.number) + " (" + std::to_string(fam.size()) + "):";
    for (const auto& seq : fam.sequences)
      out += " " + std::to_string(seq.number) + "@" + std::to_string(seq.start) + "+" +
             std::to_string(seq.length);
    out += "\n";
  }
  return out;
}

void expect_same_as_reading(const WorkArea& wa, const std::string& seqfile) {
  const RefTable ref = reference_fill_table(seqfile);
  EXPECT_EQ(wa.families.text, ref.T);
  EXPECT_EQ(wa.families.sequenceEnds, ref.Drapeau);
  EXPECT_EQ(wa.families.sequenceCount, ref.NbChaines);
  EXPECT_EQ(wa.families.longest, ref.Longueur);
  ASSERT_EQ(wa.families.families.size(), ref.families.size());
  EXPECT_EQ(wa.families.familyCount, ref.families.size());
  for (size_t f = 0; f < ref.families.size(); ++f) {
    const FamilyEntry& fam = wa.families.families[f];
    EXPECT_EQ(fam.number, ref.families[f].number);
    ASSERT_EQ(fam.sequences.size(), ref.families[f].sequences.size());
    for (size_t i = 0; i < fam.sequences.size(); ++i) {
      EXPECT_EQ(fam.sequences[i].number, ref.families[f].sequences[i].number);
      EXPECT_EQ(fam.sequences[i].length, ref.families[f].sequences[i].length);
      EXPECT_EQ(fam.sequences[i].start, ref.families[f].sequences[i].start);
    }
  }
}
}  // namespace

TEST(FamilyTable, BuildsFamiliesTextAndEndPositions) {
  TestArea t;
  const std::string seqfile = build(t, {"ACD", "EF", "GHIK"}, "#\n2\n#\nA\nB\n#\nA\nA\nB\n");
  ASSERT_EQ(seqfile, "/\nACD\nEF\n/\nGHIK");
  const WorkArea& wa = t.wa;
  EXPECT_EQ(wa.families.familyCount, 2u);
  EXPECT_EQ(wa.families.sequenceCount, 3u);
  EXPECT_EQ(wa.families.text, "ACDEFGHIK");
  EXPECT_EQ(wa.families.sequenceEnds, (std::vector<int64_t>{0, 2, 4, 8}));
  EXPECT_EQ(wa.families.longest, 4u);
  EXPECT_EQ(families_of(wa.families), "1 (2): 1@0+3 2@3+2\n2 (1): 3@5+4\n");
  const uint32_t owner[] = {1, 1, 1, 2, 2, 3, 3, 3, 3};
  for (int p = 0; p < 9; ++p) EXPECT_EQ(SequenceOfPosition(wa.families, p), owner[p]) << p;
  expect_same_as_reading(wa, seqfile);
}

TEST(FamilyTable, EmptyFamiliesKeepTheirNumber) {
  TestArea t;
  const std::string seqfile = build(t, {"AC", "DE"}, "#\n3\n#\nA\nB\nC\n#\nA\nC\n");
  ASSERT_EQ(seqfile, "/\nAC\n/\n/\nDE");
  EXPECT_EQ(families_of(t.wa.families), "1 (1): 1@0+2\n2 (0):\n3 (1): 2@2+2\n");
  expect_same_as_reading(t.wa, seqfile);

  TestArea none;
  const std::string only = build(none, {}, "#\n2\n#\nA\nB\n#\n");
  ASSERT_EQ(only, "/\n");
  EXPECT_EQ(none.wa.families.familyCount, 1u);
  EXPECT_EQ(none.wa.families.sequenceCount, 0u);
  EXPECT_EQ(none.wa.families.text, "");
  EXPECT_EQ(none.wa.families.sequenceEnds, (std::vector<int64_t>{0}));
  expect_same_as_reading(none.wa, only);
}

TEST(FamilyTable, EmptyFirstSequenceCoversNoPosition) {
  TestArea t;
  build(t, {"", "AB", "", "C"}, "#\n1\n#\nA\n#\nA\nA\nA\nA\n");
  EXPECT_EQ(t.wa.families.text, "ABC");
  EXPECT_EQ(t.wa.families.sequenceEnds, (std::vector<int64_t>{0, -1, 1, 1, 2}));
  EXPECT_EQ(SequenceOfPosition(t.wa.families, 0), 2u);
  EXPECT_EQ(SequenceOfPosition(t.wa.families, 1), 2u);
  EXPECT_EQ(SequenceOfPosition(t.wa.families, 2), 4u);
  EXPECT_EQ(families_of(t.wa.families), "1 (4): 1@0+0 2@0+2 3@2+0 4@2+1\n");
}

// SeqFile.seq cannot say these two, so the table keeps them from the grouping: a sequence that
// begins with '/' (a kept non-letter) and an empty last sequence.
TEST(FamilyTable, KeepsSequencesThatSeqFileCannotShow) {
  TestArea t;
  build(t, {"AC", "/DE", ""}, "#\n1\n#\nA\n#\nA\nA\nA\n");
  EXPECT_EQ(t.wa.families.familyCount, 1u);
  EXPECT_EQ(t.wa.families.sequenceCount, 3u);
  EXPECT_EQ(t.wa.families.text, "AC/DE");
  EXPECT_EQ(t.wa.families.sequenceEnds, (std::vector<int64_t>{0, 1, 4, 4}));
}

TEST(FamilyTable, TextOverTheConsoleCapacityIsRefusedByTheRun) {
  // 500 sequences of 5998 residues and one of 999 fill the console's text exactly; one more
  // residue is refused by the run before the table is built. The table itself takes any size.
  std::vector<std::string> P(500, std::string(5998, 'A'));
  P.push_back(std::string(999, 'C'));
  std::string cls = "#\n1\n#\nA\n#\n";
  for (size_t i = 0; i <= P.size(); ++i) cls += "A\n";
  {
    TestArea fits;
    build(fits, P, cls);
    EXPECT_EQ(fits.wa.families.text.size(), static_cast<size_t>(MAX_KMR - 1));
    EXPECT_EQ(fits.wa.families.sequenceEnds.back(), MAX_KMR - 2);
  }
  P.back() += "D";
  std::string seqs;
  for (const std::string& p : P) seqs += ">s\n" + p + "\n";
  TestArea over;
  InTempDir here;
  InputFile seqFile(seqs), classFile(cls);
  EXPECT_EQ(ends([&] { RunDiscovery(over.wa, seqFile.get(), classFile.get(), ""); }),
            std::pair(1, std::string("error: too many residues in the concatenated text: 3000000 "
                                     "found, the limit is 2999999\n")));
  EXPECT_TRUE(over.wa.families.text.empty());
}

TEST(FamilyTable, MatchesTheLiteralReadingOfSeqFileOnRandomInputs) {
  std::mt19937 rng(777);
  for (int iter = 0; iter < 300; ++iter) {
    const int nClasses = 1 + static_cast<int>(rng() % 5);
    std::vector<std::string> names;
    for (int c = 0; c < nClasses; ++c) names.push_back(std::string(1, static_cast<char>('A' + c)));
    std::vector<std::string> P;
    std::string cls = "#\n" + std::to_string(nClasses) + "\n#\n";
    for (const auto& n : names) cls += n + "\n";
    cls += "#\n";
    const int n = static_cast<int>(rng() % 12);
    int label = 0;
    for (int i = 0; i < n; ++i) {
      std::string s;
      for (int k = static_cast<int>(rng() % 8); k > 0; --k) s += "ACDEFW\r1"[rng() % 8];
      if (i == n - 1 && s.empty()) s = "Q";  // SeqFile.seq cannot show an empty last sequence
      P.push_back(s);
      // Mostly ascending labels, sometimes out of order or unknown.
      if (rng() % 3 == 0) label = static_cast<int>(rng() % static_cast<unsigned>(nClasses + 1));
      cls += (label < nClasses ? names[static_cast<size_t>(label)] : std::string("?")) + "\n";
    }
    TestArea t;
    const std::string seqfile = build(t, P, cls);
    SCOPED_TRACE("iteration " + std::to_string(iter));
    expect_same_as_reading(t.wa, seqfile);
  }
}
