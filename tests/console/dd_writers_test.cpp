// The descriptor report and the ARFF context, byte for byte.
#include "console/dd_writers.h"

#include <gtest/gtest.h>

#include "console/dd_fixture.h"

namespace {

Descriptor descriptor(std::string text, std::vector<uint32_t> families,
                      std::vector<std::pair<uint32_t, uint32_t>> presence) {
  Descriptor dd;
  dd.text = std::move(text);
  dd.families = std::move(families);
  dd.presence = std::move(presence);
  return dd;
}

// Two sequences of F1 containing AB, one of F2 containing KLM; AB accepted first, KLM second.
DdParts two_descriptors(float alpha, float beta) {
  DdParts wa = make_dd_parts({{{"ABX", "XAB"}, {"KLM"}}, {"F1", "F2"}}, alpha, beta);
  wa.discovery.AllDDs.push_back(descriptor("AB", {1}, {{1, 1}, {2, 1}}));
  wa.discovery.AllDDs.push_back(descriptor("KLM", {2}, {{3, 1}}));
  wa.discovery.NbMot = 2;
  return wa;
}

std::string report(const DdParts& wa) {
  return written_bytes([&](OutFile& f) { WriteResultFile(wa.discovery, wa.settings, f); });
}
std::string context(const DdParts& wa) {
  return written_bytes(
      [&](OutFile& f) { WriteARFFContext(wa.families, wa.discovery, wa.classes, f); });
}

TEST(ResultFile, ListsTheMostRecentDescriptorFirstWithoutFinalLineEnd) {
  EXPECT_EQ(report(two_descriptors(0.7f, 0.1f)),
            "ALPHA = 70.000000 %\n"
            "BETA = 10.000000 %\n"
            "La valeur du debut du filtrage = 3\n\n\n"
            "\n>>KLM        \tFamily # 2"
            "\n>>AB        \tFamily # 1");
  // The percentages come from single-precision products: the float 0.7 times 100 in double
  // precision would print 69.999998.
  EXPECT_EQ(report(two_descriptors(0.7f, 0.55f)).substr(0, 41),
            "ALPHA = 70.000000 %\nBETA = 55.000000 %\nLa");
}

TEST(ResultFile, TiedFamiliesAndNoDescriptor) {
  DdParts wa = two_descriptors(1.0f, 0.5f);
  wa.discovery.AllDDs.pop_back();
  wa.discovery.AllDDs[0].families = {1, 2};
  EXPECT_EQ(report(wa).substr(report(wa).find(">>")), ">>AB        \tFamily # 1\tFamily # 2");
  wa.discovery.AllDDs.clear();
  EXPECT_EQ(report(wa),
            "ALPHA = 100.000000 %\nBETA = 50.000000 %\nLa valeur du debut du filtrage = 3\n\n\n");
}

TEST(ArffContext, AttributesAndRowValuesFollowTheSameOrder) {
  EXPECT_EQ(context(two_descriptors(0.7f, 0.1f)),
            "@relation Context\n\n"
            "@attribute KLM {1,0}\n"
            "@attribute AB {1,0}\n"
            "@attribute class {F1,F2}\n"
            "\n@data\n"
            "0,1,F1\n"
            "0,1,F1\n"
            "1,0,F2\n");
  // No descriptor gives label-only rows.
  DdParts wa = two_descriptors(0.7f, 0.1f);
  wa.discovery.AllDDs.clear();
  EXPECT_EQ(context(wa), "@relation Context\n\n@attribute class {F1,F2}\n\n@data\nF1\nF1\nF2\n");
}

TEST(ArffContext, RepeatedOccurrencesGiveOneAndSparseGapsGiveZero) {
  DdParts wa = make_dd_parts({{{"AA", "B", "AA"}, {"C", "AC"}}, {"F1", "F2"}}, 0.5f, 0.5f);
  wa.discovery.AllDDs.push_back(descriptor("A", {1}, {{1, 2}, {3, 2}, {5, 1}}));
  wa.discovery.AllDDs.push_back(descriptor("C", {2}, {{4, 1}, {5, 1}}));
  EXPECT_EQ(context(wa).substr(context(wa).find("@data")),
            "@data\n0,1,F1\n0,0,F1\n0,1,F1\n1,0,F2\n1,1,F2\n");
}

TEST(ArffContext, UnusedLastClassNamesAreLeftOutAndNamesAreQuoted) {
  // Names after the last family with sequences are not classes of the context; names and
  // descriptor texts that need it are quoted.
  DdParts wa = make_dd_parts({{{"A%B"}, {"C"}}, {"first class", "F2", "unused"}}, 0.5f, 0.5f);
  wa.discovery.AllDDs.push_back(descriptor("A%B", {1}, {{1, 1}}));
  EXPECT_EQ(context(wa),
            "@relation Context\n\n"
            "@attribute 'A\\%B' {1,0}\n"
            "@attribute class {'first class',F2}\n"
            "\n@data\n"
            "1,'first class'\n"
            "0,F2\n");
}

TEST(ArffContext, LongDescriptorTextsAreWrittenWhole) {
  const std::string longWord(4500, 'W');
  DdParts wa = make_dd_parts({{{longWord}, {"C"}}, {}}, 0.5f, 0.5f);
  wa.discovery.AllDDs.push_back(descriptor(longWord, {1}, {{1, 1}}));
  EXPECT_NE(context(wa).find("@attribute " + longWord + " {1,0}\n"), std::string::npos);
  EXPECT_NE(report(wa).find(">>" + longWord + "        \tFamily # 1"), std::string::npos);
}

}  // namespace
