// The descriptor report and the ARFF context of the dd run.
#include "console/dd_writers.h"

#include <vector>

#include "core/arff.h"
#include "core/run_exit.h"

namespace {
constexpr const char* kResultFileName = "LesDDs.txt";
constexpr const char* kAlphaLine = "ALPHA = %f ";
constexpr const char* kBetaLine = "BETA = %f ";
constexpr const char* kPercentLine = "%\n";
constexpr const char* kFilterLine = "La valeur du debut du filtrage = %d\n\n\n";
// "\n>>%s        ": the text goes between the two parts, written as it stands (whole, whatever
// bytes it holds).
constexpr const char* kDescriptorBefore = "\n>>";
constexpr const char* kDescriptorAfter = "        ";
constexpr const char* kFamily = "\tFamily # %d";
}  // namespace

void WriteThresholdLines(const Settings& s, OutFile& out) {
  const float alpha = 100.0f * s.ALPHA;
  const float beta = 100.0f * s.BETA;
  out.print(kAlphaLine, static_cast<double>(alpha));
  out.print(kPercentLine);
  out.print(kBetaLine, static_cast<double>(beta));
  out.print(kPercentLine);
}

void WriteResultFile(const DiscoveryResults& ds, const Settings& s, OutFile& out) {
  WriteThresholdLines(s, out);
  out.print(kFilterLine, s.FilterAt);
  for (auto dd = ds.AllDDs.rbegin(); dd != ds.AllDDs.rend(); ++dd) {
    out.write(kDescriptorBefore);
    out.write(dd->text);
    out.write(kDescriptorAfter);
    for (uint32_t f : dd->families) out.print(kFamily, static_cast<int>(f));
  }
}

void GenerateResultFile(const DiscoveryResults& ds, const Settings& s) {
  OutFile out = OutFile::create(kResultFileName);
  WriteResultFile(ds, s, out);
  out.close();
}

void WriteARFFContext(const FamilyTable& ft, const DiscoveryResults& ds, const ClassGrouping& g,
                      OutFile& out) {
  if (g.LstClsForMSDD.size() < ft.familyCount || g.Labels.size() < ft.sequenceCount)
    fail(1,
         "the class names or labels kept from the classification file do not cover the %u families "
         "and %u sequences",
         ft.familyCount, ft.sequenceCount);
  ArffWriter arff(out);
  arff.relation();
  for (auto dd = ds.AllDDs.rbegin(); dd != ds.AllDDs.rend(); ++dd) arff.attribute(dd->text);
  arff.class_attribute({g.LstClsForMSDD.begin(), g.LstClsForMSDD.begin() + ft.familyCount});
  arff.data();

  // The presence lists turned into rows: for every sequence, the columns (descriptors in
  // output order) it contains, ascending. Each row is then written in one sequential pass.
  const auto columns = static_cast<uint32_t>(ds.AllDDs.size());
  std::vector<uint32_t> rowStart(ft.sequenceCount + 2, 0);
  for (const Descriptor& dd : ds.AllDDs)
    for (const auto& [seq, count] : dd.presence) ++rowStart[seq + 1];
  for (size_t i = 1; i < rowStart.size(); ++i) rowStart[i] += rowStart[i - 1];
  std::vector<uint32_t> cells(rowStart.back());
  std::vector<uint32_t> fill(rowStart.begin(), rowStart.end() - 1);
  for (uint32_t c = 0; c < columns; ++c)
    for (const auto& [seq, count] : ds.AllDDs[columns - 1 - c].presence) cells[fill[seq]++] = c;

  for (uint32_t i = 1; i <= ft.sequenceCount; ++i) {
    uint32_t next = rowStart[i];
    for (uint32_t c = 0; c < columns; ++c) {
      const bool present = next < rowStart[i + 1] && cells[next] == c;
      if (present) ++next;
      arff.value(present);
    }
    arff.end_row(&g.Labels[i - 1]);
  }
}

void GenerateARFFFile(const FamilyTable& ft, const DiscoveryResults& ds, const ClassGrouping& g,
                      const std::string& contextName) {
  OutFile out = OutFile::create(contextName);
  WriteARFFContext(ft, ds, g, out);
  out.close();
}
