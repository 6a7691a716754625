#include "console/ddsm_writers.h"

#include <gtest/gtest.h>

#include "support/streams.h"

// The writers write under fixed names: each test runs in a temporary folder.
namespace {
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
  GenerateResultFile2(s, two_entries());
  EXPECT_EQ(here.dir().read("LesDDSMs.txt"),
            std::string(kHeader50) +
                "\n>>1-IL| PM= 0.822222| Class= kin\n>>2-CN| PM= 0.333333| Class= ox");
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

TEST(DdsmTestContext, ArffLayoutWithTheTestClassesAndWithoutDescriptors) {
  InTempDir here;
  auto test_context = [&](const DescriptorTable& t, std::vector<std::string> seqs,
                          std::vector<std::string> names, std::vector<std::string> labels) {
    OutFile out = OutFile::create("Test.arff");
    WriteTestContext(out, t, seqs, names, labels);
    out.close();
    return here.dir().read("Test.arff");
  };
  EXPECT_EQ(test_context(two_entries(), {"MILK", "CNIL", "AAAA"}, {"kin", "ox", "third one"},
                         {"kin", "ox", "third one"}),
            "@relation Context\n\n@attribute IL {1,0}\n@attribute CN {1,0}\n"
            "@attribute class {kin,ox,'third one'}\n\n@data\n"
            "1,0,kin\n1,1,ox\n0,0,'third one'\n");
  EXPECT_EQ(test_context(DescriptorTable{}, {"MILK", "CNIL"}, {"a", "b"}, {"b", "a"}),
            "@relation Context\n\n@attribute class {a,b}\n\n@data\nb\na\n");
}
