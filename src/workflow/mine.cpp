// The four engines driven for `mine`, their results turned into features.
#include "workflow/mine.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "core/engine_progress.h"
#include "core/progress.h"
#include "engine/descriptors/descriptor.h"
#include "engine/descriptors/discovery.h"
#include "engine/motifs/motif_search.h"
#include "engine/ngrams/ngram_list.h"
#include "engine/substitution/matrices.h"
#include "engine/substitution/pruning.h"
#include "workflow/version.h"

namespace {
std::string number_text(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

int64_t min_sequences(const MineSettings& s, size_t sequences) {
  if (s.minSequences > 0) return s.minSequences;
  return std::max<int64_t>(1, static_cast<int64_t>(sequences / 4));
}

// The descriptor discovery on the families of the classes. Families after the last one with
// sequences are left out, as the console's grouping leaves them: they hold nothing to find.
std::vector<Descriptor> discover(const std::vector<std::string_view>& sequences,
                                 const std::vector<uint32_t>& classes,
                                 const std::vector<std::string>& classNames,
                                 const MineSettings& s) {
  std::vector<std::vector<uint32_t>> groups(classNames.size());
  for (size_t i = 0; i < sequences.size(); ++i)
    groups[classes[i]].push_back(static_cast<uint32_t>(i));
  while (!groups.empty() && groups.back().empty()) groups.pop_back();
  // Features need only each descriptor's text, families and support: the per-sequence records
  // would take memory in proportion to the sequences holding each descriptor.
  std::vector<Descriptor> found = discover_descriptors(
      sequences, groups, {s.alpha, s.beta}, DiscoveryRecords::DescriptorsOnly, progress::engine());
  progress::clear();
  return found;
}

std::string support_of(uint32_t count, uint32_t size) {
  return std::to_string(count) + "/" + std::to_string(size);
}

void mine_dd(const std::vector<std::string_view>& sequences, const std::vector<uint32_t>& classes,
             const MineSettings& s, FeatureSet& set) {
  std::vector<Descriptor> found = discover(sequences, classes, set.classes, s);
  // Attribute order: the most recent descriptor first.
  for (auto dd = found.rbegin(); dd != found.rend(); ++dd) {
    Feature f;
    f.text = std::move(dd->text);
    for (uint32_t fam : dd->families) f.families.push_back(set.classes[fam - 1]);
    f.support = support_of(dd->count, dd->size);
    set.features.push_back(std::move(f));
  }
}

void mine_ddsm(const std::vector<std::string_view>& sequences, const std::vector<uint32_t>& classes,
               const MineSettings& s, FeatureSet& set) {
  const std::vector<Descriptor> found = discover(sequences, classes, set.classes, s);
  std::vector<ScoredDescriptor> kept =
      prune_descriptors(found, {MatrixOfName(s.matrix), s.similarity}, progress::engine());
  progress::clear();
  for (ScoredDescriptor& d : kept) {
    Feature f;
    f.text = std::move(d.text);
    f.family = set.classes[d.family - 1];
    f.support = support_of(d.count, d.size);
    char p[32];
    std::snprintf(p, sizeof p, "%f", static_cast<double>(d.probability));
    f.probability = p;
    set.features.push_back(std::move(f));
  }
}

void mine_ng(const std::vector<std::string_view>& sequences, const MineSettings& s,
             FeatureSet& set) {
  const NgramList list = BuildNgramList(sequences, s.n, NgramIndexing::Auto, progress::engine());
  progress::clear();
  const auto count = static_cast<uint32_t>(list.Nbvar());
  set.features.reserve(count);
  for (uint32_t k = 0; k < count; ++k) {
    Feature f;
    f.text = list.text(k);
    f.sequences = list.seqcount[k];
    set.features.push_back(std::move(f));
  }
}

// Progress of the motif search on a terminal.
class MotifProgress : public MotifObserver {
 public:
  void building(uint64_t done, uint64_t total, uint64_t size) override {
    progress::engine()({"building the motif index", done, total, "sequences", size});
  }
  void phase(const char* step) override { progress::engine()({step, 0, 0, {}, 0}); }
  // The console's spinner counts the tests; progress here does not.
  bool hears_tests() const override { return false; }
  void found(const MotifSearch& ms, std::string_view) override {
    progress::show("motif search: %llu motifs, %llu checked",
                   static_cast<unsigned long long>(ms.Ct), static_cast<unsigned long long>(ms.St));
  }
};

void mine_ma(const std::vector<std::string_view>& sequences, const MineSettings& s,
             FeatureSet& set) {
  MotifProgress observer;
  MotifSearch ms;
  ms.Minlgh = s.minLength;
  ms.Minsam = min_sequences(s, sequences.size());
  ms.Minocc = ms.Minsam;  // no sequence is left out of the sample: only Minsam counts
  ms.Dist = s.distance;
  const std::unique_ptr<MotifIndex> index = find_motifs(ms, sequences, &observer);
  progress::clear();
  for (const MotifRef& m : ms.MLst) {
    Feature f;
    f.text = index->text(m);
    f.sequences = m.count;
    set.features.push_back(std::move(f));
  }
}
}  // namespace

std::vector<std::pair<std::string, std::string>> settings_lines(const MineSettings& s,
                                                                size_t sequences) {
  if (s.approach == "dd") return {{"alpha", number_text(s.alpha)}, {"beta", number_text(s.beta)}};
  if (s.approach == "ddsm")
    return {{"alpha", number_text(s.alpha)},
            {"beta", number_text(s.beta)},
            {"matrix", s.matrix},
            {"similarity", number_text(s.similarity)}};
  if (s.approach == "ng") return {{"n", std::to_string(s.n)}};
  return {{"min-length", std::to_string(s.minLength)},
          {"min-sequences", std::to_string(min_sequences(s, sequences))},
          {"distance", std::to_string(s.distance)}};
}

FeatureSet mine_features(const std::vector<std::string_view>& sequences,
                         const std::vector<uint32_t>& classes,
                         const std::vector<std::string>& classNames, const MineSettings& s) {
  FeatureSet set;
  set.version = kProtfeatVersion;
  set.approach = s.approach;
  set.settings = settings_lines(s, sequences.size());
  set.classes = classNames;
  if (s.approach == "dd")
    mine_dd(sequences, classes, s, set);
  else if (s.approach == "ddsm")
    mine_ddsm(sequences, classes, s, set);
  else if (s.approach == "ng")
    mine_ng(sequences, s, set);
  else
    mine_ma(sequences, s, set);
  return set;
}
