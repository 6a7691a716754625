// Fuzz target of the workflow's label sources. The first byte picks the source: a label file
// (a classification file, or id<TAB>class lines) read from the rest, given sequences s1, s2, ...
// (their number from the second byte) in order; or the header labels of the rest read as FASTA.
// Whatever is accepted keeps the sources' rules: unique class names, each sequence's class one
// of them, a table's class the one its line gives, a header's class its second word.
//
// Built by `make fuzz`; run from the top folder, for example:
//   nice build-fuzz/label_source_fuzz -max_len=20000 -timeout=10 -max_total_time=300 \
//     -close_fd_mask=3 tests/fuzz/corpus/label_source
// Point the run at a copy of the corpus folder to keep the one in the repository small.
#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>

#include "fuzz/workflow_fuzz.h"
#include "workflow/label_source.h"

namespace {
void check_unique(const std::vector<std::string>& classes) {
  FUZZ_CHECK(std::set<std::string>(classes.begin(), classes.end()).size() == classes.size());
}

// The class of each id of a table as its first line naming it gives.
std::unordered_map<std::string, std::string> table_of(const std::string& text) {
  std::unordered_map<std::string, std::string> classOf;
  size_t p = 0;
  while (p < text.size()) {
    size_t e = text.find('\n', p);
    if (e == std::string::npos) e = text.size();
    std::string line = text.substr(p, e - p);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t tab = line.find('\t');
    if (tab != std::string::npos) classOf.emplace(line.substr(0, tab), line.substr(tab + 1));
    p = e + 1;
  }
  return classOf;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  FuzzTempDir here;
  const bool headers = data[0] % 2 == 1;
  const uint64_t sequences = data[1] % 64;
  const std::string body(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::string path = fuzz_file(headers ? "labels.fa" : "labels.txt", body);

  if (headers) {
    fuzz_accepts([&] {
      LabelSource labels = LabelSource::from_headers(path);
      FastaReader reader(path);
      FastaRecord r;
      uint64_t n = 0;
      while (reader.next(r)) {
        const uint32_t c = labels.class_of(n++, r);
        FUZZ_CHECK(c < labels.classes().size());
        FUZZ_CHECK(labels.classes()[c] == header_word(r.header, 1));
      }
      labels.finish(n);
      check_unique(labels.classes());
    });
    return 0;
  }
  const bool table = body.empty() || body[0] != '#';
  fuzz_accepts([&] {
    LabelSource labels = LabelSource::from_file(path);
    check_unique(labels.classes());
    const auto classOf = table ? table_of(body) : std::unordered_map<std::string, std::string>{};
    for (uint64_t i = 0; i < sequences; ++i) {
      std::string header = "s" + std::to_string(i + 1);
      const FastaRecord r{header, header, "", 2 * i + 1};
      const uint32_t c = labels.class_of(i, r);
      FUZZ_CHECK(c < labels.classes().size());
      if (table) FUZZ_CHECK(labels.classes()[c] == classOf.at(header));
    }
    labels.finish(sequences);
  });
  return 0;
}
