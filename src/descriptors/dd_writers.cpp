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

void WriteResultFile(const WorkArea& wa, OutFile& out) {
  // The percentages are single-precision products: 0.7 reports as 70.000000.
  const float alpha = 100 * wa.ALPHA;
  const float beta = 100 * wa.BETA;
  out.print(kAlphaLine, static_cast<double>(alpha));
  out.print(kPercentLine);
  out.print(kBetaLine, static_cast<double>(beta));
  out.print(kPercentLine);
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

  // Rows go by ascending sequence number and every presence list ascends too, so one cursor per
  // descriptor walks its list once over the whole table.
  const size_t count = wa.AllDDs.size();
  std::vector<size_t> cursor(count, 0);
  for (uint32_t i = 1; i <= wa.NbChaines; ++i) {
    for (size_t d = count; d-- > 0;) {
      const auto& presence = wa.AllDDs[d].presence;
      size_t& c = cursor[d];
      const bool present = c < presence.size() && presence[c].first == i;
      if (present) ++c;
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
