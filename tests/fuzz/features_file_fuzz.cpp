// Fuzz target of the features file reader. A file that is accepted is written again and read
// back: the same version, settings, classes and features, and its second writing is the first
// byte for byte. Whatever the reader accepts, a table can be made of (a header for each format).
//
// Built by `make fuzz`; run from the top folder, for example:
//   nice build-fuzz/features_file_fuzz -max_len=20000 -timeout=10 -max_total_time=300 \
//     -close_fd_mask=3 tests/fuzz/corpus/features_file
// Point the run at a copy of the corpus folder to keep the one in the repository small.
#include <cstdint>
#include <string>
#include <tuple>

#include "fuzz/workflow_fuzz.h"
#include "workflow/features_file.h"
#include "workflow/table_formats.h"

namespace {
std::string written(const FeatureSet& set, const std::string& path) {
  OutFile out = OutFile::create(path);
  write_features(out, set);
  out.close();
  return file_bytes(path.c_str());
}

auto fields(const Feature& f) {
  return std::tie(f.text, f.families, f.family, f.support, f.probability, f.sequences);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzTempDir here;
  const std::string path =
      fuzz_file("features.tsv", std::string(reinterpret_cast<const char*>(data), size));
  FeatureSet set;
  if (!fuzz_accepts([&] { set = read_features(path); })) return 0;
  FUZZ_CHECK(!set.features.empty() || !set.classes.empty());

  const std::string once = written(set, "again.tsv");
  FeatureSet back;
  FUZZ_CHECK(fuzz_accepts([&] { back = read_features("again.tsv"); }));
  FUZZ_CHECK(std::tie(back.version, back.classes) == std::tie(set.version, set.classes));
  FUZZ_CHECK(settings_lines(back.settings) == settings_lines(set.settings));
  FUZZ_CHECK(back.features.size() == set.features.size());
  for (size_t k = 0; k < set.features.size(); ++k)
    FUZZ_CHECK(fields(back.features[k]) == fields(set.features[k]));
  FUZZ_CHECK(written(back, "twice.tsv") == once);

  const std::vector<std::string> texts = feature_names(set);
  for (size_t format = 0; format < format_names().size(); ++format) {
    const TableLayout layout(static_cast<TableFormat>(format), texts, set.classes);
    OutFile out = OutFile::create("table");
    layout.header(out);
    out.close();
  }
  return 0;
}
