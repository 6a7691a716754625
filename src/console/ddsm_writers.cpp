// The ddsm report, the list of kept descriptors and the test context.
#include "console/ddsm_writers.h"

#include <cstdint>

#include "console/dd_writers.h"
#include "core/arff.h"
#include "engine/matching/keyword_matcher.h"

namespace {
constexpr const char* kFilterLine = "La valeur du debut du filtrage = %d\n\n";
constexpr const char* kColumns = "Liste des attributs| possibilit? de mutation| classe\n\n";
constexpr const char* kRecordStart = "\n>>%i-";
constexpr const char* kRecordProbability = "| PM= %f| Class= ";
}  // namespace

void GenerateResultFile2(const Settings& s, const DescriptorTable& t) {
  OutFile out = OutFile::create(kDdsmReportName);
  WriteThresholdLines(s, out);
  out.print(kFilterLine, s.FilterAt);
  out.write(kColumns);
  for (uint32_t i = 0; i < t.NbMSDD; ++i) {
    out.print(kRecordStart, static_cast<int>(i + 1));
    out.write(t.MLst[i]);
    out.print(kRecordProbability, static_cast<double>(t.CLst[i]));
    out.write(t.CLst3[i]);
  }
  out.close();
}

void GenerateListMotifs(const std::string& name, const DescriptorTable& t) {
  OutFile out = OutFile::create(name);
  for (uint32_t i = 0; i < t.NbMSDD; ++i) {
    out.write(t.MLst[i]);
    out.put('\n');
  }
  out.close();
}

void WriteTestContext(OutFile& out, const DescriptorTable& t, const std::vector<std::string>& tests,
                      const std::vector<std::string>& classNames,
                      const std::vector<std::string>& labels) {
  ArffWriter arff(out);
  arff.relation();
  for (uint32_t k = 0; k < t.NbMSDD; ++k) arff.attribute(t.MLst[k]);
  arff.class_attribute(classNames);
  arff.data();
  std::vector<std::string> texts(t.MLst.begin(), t.MLst.begin() + t.NbMSDD);
  KeywordMatcher matcher(texts);
  std::vector<uint8_t> present;
  for (size_t i = 0; i < tests.size(); ++i) {
    matcher.find(tests[i], present);
    for (uint8_t p : present) arff.value(p != 0);
    arff.end_row(&labels[i]);
  }
}
