// The descriptor report and the ARFF context of the dd run.
#include "descriptors/dd_writers.h"

#include <vector>

#include "core/arff.h"
#include "core/run_exit.h"
#include "descriptors/discovery.h"

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

void WriteThresholdLines(const WorkArea& wa, OutFile& out) {
  const float alpha = 100.0f * wa.ALPHA;
  const float beta = 100.0f * wa.BETA;
  out.print(kAlphaLine, static_cast<double>(alpha));
  out.print(kPercentLine);
  out.print(kBetaLine, static_cast<double>(beta));
  out.print(kPercentLine);
}

void WriteResultFile(const WorkArea& wa, OutFile& out) {
  WriteThresholdLines(wa, out);
  out.print(kFilterLine, wa.FilterAt);
  for (auto dd = wa.AllDDs.rbegin(); dd != wa.AllDDs.rend(); ++dd) {
    out.write(kDescriptorBefore);
    out.write(DescriptorText(wa, *dd));
    out.write(kDescriptorAfter);
    for (int32_t f : dd->families) out.print(kFamily, f);
  }
}

void GenerateResultFile(const WorkArea& wa) {
  OutFile out = OutFile::create(kResultFileName);
  WriteResultFile(wa, out);
  out.close();
}

void WriteARFFContext(const WorkArea& wa, OutFile& out) {
  if (wa.LstClsForMSDD.size() < wa.NbFamilles || wa.Labels.size() < wa.NbChaines)
    fail(1, "the class names or labels kept from the classification file do not cover the %u families "
         "and %u sequences", wa.NbFamilles, wa.NbChaines);
  ArffWriter arff(out);
  arff.relation();
  for (auto dd = wa.AllDDs.rbegin(); dd != wa.AllDDs.rend(); ++dd) arff.attribute(DescriptorText(wa, *dd));
  arff.class_attribute({wa.LstClsForMSDD.begin(), wa.LstClsForMSDD.begin() + wa.NbFamilles});
  arff.data();

  // The presence lists turned into rows: for every sequence, the columns (descriptors in
  // output order) it contains, ascending. Each row is then written in one sequential pass.
  const auto columns = static_cast<uint32_t>(wa.AllDDs.size());
  std::vector<uint32_t> rowStart(wa.NbChaines + 2, 0);
  for (const DDEntry& dd : wa.AllDDs)
    for (const auto& [seq, count] : dd.presence) ++rowStart[seq + 1];
  for (size_t i = 1; i < rowStart.size(); ++i) rowStart[i] += rowStart[i - 1];
  std::vector<uint32_t> cells(rowStart.back());
  std::vector<uint32_t> fill(rowStart.begin(), rowStart.end() - 1);
  for (uint32_t c = 0; c < columns; ++c)
    for (const auto& [seq, count] : wa.AllDDs[columns - 1 - c].presence) cells[fill[seq]++] = c;

  for (uint32_t i = 1; i <= wa.NbChaines; ++i) {
    uint32_t next = rowStart[i];
    for (uint32_t c = 0; c < columns; ++c) {
      const bool present = next < rowStart[i + 1] && cells[next] == c;
      if (present) ++next;
      arff.value(present);
    }
    arff.end_row(&wa.Labels[i - 1]);
  }
}

void GenerateARFFFile(const WorkArea& wa, const std::string& contextName) {
  OutFile out = OutFile::create(contextName);
  WriteARFFContext(wa, out);
  out.close();
}
