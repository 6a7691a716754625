#include "submatrix/ddsm_writers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "submatrix/descriptor_matcher.h"
#include "support/run_program.h"

namespace {
// Runs the writers inside a temporary folder (they write under fixed names).
class InTempDir {
 public:
  InTempDir() : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~InTempDir() { std::filesystem::current_path(old_); }
  const TempDir& dir() const { return dir_; }

 private:
  TempDir dir_;
  std::filesystem::path old_;
};

DescriptorTable two_entries() {
  DescriptorTable t;
  t.add("IL", "kin");
  t.add("CN", "ox");
  t.CLst = {0.822222f, 0.333333f};
  return t;
}

const char kHeader50[] =
    "ALPHA = 50.000000 %\nBETA = 100.000000 %\nLa valeur du debut du filtrage = 3\n\n"
    "Liste des attributs| possibilit? de mutation| classe\n\n";
}  // namespace

TEST(DdsmReport, HeaderAndRecords) {
  InTempDir here;
  Settings s;
  s.ALPHA = 0.5f;
  s.BETA = 1.0f;
  s.FilterAt = 3;
  GenerateResultFile2(s, two_entries());
  EXPECT_EQ(here.dir().read("LesDDSMs.txt"),
            std::string(kHeader50) +
                "\n>>1-IL| PM= 0.822222| Class= kin\n>>2-CN| PM= 0.333333| Class= ox");
  EXPECT_EQ(std::string("Liste des attributs| possibilit? de mutation| classe\n\n").size(), 54u);
}

TEST(DdsmReport, SinglePrecisionPercentagesAndEmptyTable) {
  InTempDir here;
  Settings s;
  s.ALPHA = 0.3f;
  s.BETA = 0.0f;
  GenerateResultFile2(s, DescriptorTable{});
  EXPECT_EQ(here.dir().read("LesDDSMs.txt"),
            "ALPHA = 30.000002 %\nBETA = 0.000000 %\nLa valeur du debut du filtrage = 3\n\n"
            "Liste des attributs| possibilit? de mutation| classe\n\n");
  // A second run overwrites the report.
  s.ALPHA = 0.5f;
  s.BETA = 1.0f;
  GenerateResultFile2(s, DescriptorTable{});
  EXPECT_EQ(here.dir().read("LesDDSMs.txt"), kHeader50);
}

TEST(DdsmList, OneDescriptorPerLine) {
  InTempDir here;
  GenerateListMotifs("list.txt", two_entries());
  EXPECT_EQ(here.dir().read("list.txt"), "IL\nCN\n");
  GenerateListMotifs("list.txt", DescriptorTable{});
  EXPECT_TRUE(here.dir().exists("list.txt"));
  EXPECT_EQ(here.dir().read("list.txt"), "");
}

TEST(DdsmTestContext, ArffLayoutWithTheTestClasses) {
  InTempDir here;
  DescriptorTable t = two_entries();
  {
    OutFile out = OutFile::create("Test.arff");
    WriteTestContext(out, t, {"MILK", "CNIL", "AAAA"}, {"kin", "ox", "third one"},
                     {"kin", "ox", "third one"});
    out.close();
  }
  EXPECT_EQ(here.dir().read("Test.arff"),
            "@relation Context\n\n@attribute IL {1,0}\n@attribute CN {1,0}\n"
            "@attribute class {kin,ox,'third one'}\n\n@data\n"
            "1,0,kin\n1,1,ox\n0,0,'third one'\n");
}

TEST(DdsmTestContext, NoKeptDescriptorGivesLabelOnlyRows) {
  InTempDir here;
  {
    OutFile out = OutFile::create("Test.arff");
    WriteTestContext(out, DescriptorTable{}, {"MILK", "CNIL"}, {"a", "b"}, {"b", "a"});
    out.close();
  }
  EXPECT_EQ(here.dir().read("Test.arff"),
            "@relation Context\n\n@attribute class {a,b}\n\n@data\nb\na\n");
}

TEST(DescriptorMatcher, FindsOverlappingAndNestedTexts) {
  DescriptorMatcher m({"AB", "B", "ABC", "BCD", "XYZ", "CDAB", "D"});
  std::vector<uint8_t> present;
  m.find("ABCDAB", present);
  EXPECT_EQ(present, (std::vector<uint8_t>{1, 1, 1, 1, 0, 1, 1}));
  m.find("XY", present);
  EXPECT_EQ(present, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0}));
  m.find("", present);
  EXPECT_EQ(present, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0}));
}

// The matcher against a plain substring search on random sets.
TEST(DescriptorMatcher, MatchesPlainSearchOnRandomSets) {
  std::mt19937 rng(42);
  for (int round = 0; round < 300; ++round) {
    const std::string alpha = round % 2 ? "AB" : "ACDLX";
    std::vector<std::string> texts(rng() % 40);
    for (auto& s : texts)
      for (size_t k = 1 + rng() % 6; k > 0; --k) s += alpha[rng() % alpha.size()];
    DescriptorMatcher m(texts);
    std::vector<uint8_t> present;
    for (int q = 0; q < 5; ++q) {
      std::string seq;
      for (size_t k = rng() % 60; k > 0; --k) seq += alpha[rng() % alpha.size()];
      m.find(seq, present);
      ASSERT_EQ(present.size(), texts.size());
      for (size_t k = 0; k < texts.size(); ++k)
        ASSERT_EQ(present[k] != 0, seq.find(texts[k]) != std::string::npos)
            << "round " << round << " text " << texts[k] << " in " << seq;
    }
  }
}
