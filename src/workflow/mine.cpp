// The four engines driven for `mine`, their results turned into features.
#include "workflow/mine.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "core/engine_progress.h"
#include "core/progress.h"
#include "core/run_exit.h"
#include "engine/descriptors/descriptor.h"
#include "engine/descriptors/discovery.h"
#include "engine/motifs/motif_search.h"
#include "engine/ngrams/ngram_list.h"
#include "engine/substitution/matrices.h"
#include "engine/substitution/pruning.h"
#include "workflow/row_values.h"
#include "workflow/version.h"

namespace {
// The descriptor discovery on the families of the classes. Families after the last one with
// sequences are left out, as the console's grouping leaves them: they hold nothing to find.
std::vector<Descriptor> discover(const MineInput& in, const MineSettings& s) {
  std::vector<std::vector<uint32_t>> groups(in.classNames.size());
  for (size_t i = 0; i < in.sequences.size(); ++i)
    groups[in.classes[i]].push_back(static_cast<uint32_t>(i));
  while (!groups.empty() && groups.back().empty()) groups.pop_back();
  // Features need only each descriptor's text, families and support: the per-sequence records
  // would take memory in proportion to the sequences holding each descriptor.
  std::vector<Descriptor> found =
      discover_descriptors(in.sequences, groups, {s.alpha, s.beta},
                           DiscoveryRecords::DescriptorsOnly, progress::engine());
  progress::clear();
  return found;
}

std::string support_of(uint32_t count, uint32_t size) {
  return std::to_string(count) + "/" + std::to_string(size);
}

// The training sequences that contain each descriptor, as encode finds it: the discovery's
// support counts only the families a descriptor discriminates.
void count_sequences(const MineInput& in, FeatureSet& set) {
  const std::vector<uint64_t> df = sequences_containing(set, in.sequences);
  for (size_t k = 0; k < set.features.size(); ++k) set.features[k].sequences = df[k];
}

}  // namespace

void miners::dd(const MineInput& in, const MineSettings& s, FeatureSet& set) {
  std::vector<Descriptor> found = discover(in, s);
  // Attribute order: the most recent descriptor first.
  for (auto dd = found.rbegin(); dd != found.rend(); ++dd) {
    Feature f;
    f.text = std::move(dd->text);
    for (uint32_t fam : dd->families) f.families.push_back(set.classes[fam - 1]);
    f.support = support_of(dd->count, dd->size);
    set.features.push_back(std::move(f));
  }
  count_sequences(in, set);
}

void miners::ddsm(const MineInput& in, const MineSettings& s, FeatureSet& set) {
  const std::vector<Descriptor> found = discover(in, s);
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
  count_sequences(in, set);
}

void miners::ng(const MineInput& in, const MineSettings& s, FeatureSet& set) {
  // Shortest first; the n-grams of each length in order of first appearance.
  for (int n = s.n; n <= s.nMax; ++n) {
    const NgramList list = BuildNgramList(in.sequences, n, NgramIndexing::Auto, progress::engine());
    progress::clear();
    const auto count = static_cast<uint32_t>(list.Nbvar());
    set.features.reserve(set.features.size() + count);
    for (uint32_t k = 0; k < count; ++k) {
      Feature f;
      f.text = list.text(k);
      f.sequences = list.seqcount[k];
      set.features.push_back(std::move(f));
    }
  }
}

namespace {
// Bytes of features file allowed for each motif of --max-features.
constexpr uint64_t kBytesPerFeature = 100;

// A walk stopped at a bound of the settings: what was passed and what to change.
[[noreturn]] void refuse_bound(const MotifResult& found, const MotifSettings& m,
                               const MineSettings& s, size_t sequences) {
  const std::string settings = "min-sequences " + std::to_string(m.minSequences) + ", min-length " +
                               std::to_string(s.minLength) + ", on " + std::to_string(sequences) +
                               (sequences == 1 ? " sequence" : " sequences");
  if (found.stopped == MotifStop::Motifs)
    fail(1,
         "more than %llu motifs (%s): raise --max-features, or raise --min-sequences or "
         "--min-length",
         static_cast<unsigned long long>(m.maxMotifs), settings.c_str());
  fail(1,
       "a features file of more than %llu bytes (%zu motifs so far; %s): raise --max-features "
       "(%llu bytes a motif), or raise --min-sequences or --min-length, or give --max-length",
       static_cast<unsigned long long>(m.maxBytes), found.motifs.size(), settings.c_str(),
       static_cast<unsigned long long>(kBytesPerFeature));
}

}  // namespace

void miners::ma(const MineInput& in, const MineSettings& s, FeatureSet& set) {
  const std::vector<std::string_view>& sequences = in.sequences;
  MotifSettings settings;
  settings.minLength = static_cast<uint64_t>(s.minLength);
  if (s.maxLength > 0) settings.maxLength = static_cast<uint64_t>(s.maxLength);
  settings.minSequences = static_cast<uint64_t>(s.minSequences);  // resolved: above 0
  // No sequence is left out of the sample: minAllSequences plays no part.
  settings.distance = static_cast<uint64_t>(s.distance);
  settings.maxMotifs = static_cast<uint64_t>(s.maxFeatures);
  settings.maxBytes = settings.maxMotifs > UINT64_MAX / kBytesPerFeature
                          ? UINT64_MAX
                          : settings.maxMotifs * kBytesPerFeature;
  const MotifResult found = find_motifs(sequences, settings, progress::engine());
  progress::clear();
  if (found.stopped != MotifStop::None) refuse_bound(found, settings, s, sequences.size());
  for (const MotifRef& m : found.motifs) {
    Feature f;
    f.text = found.text(m);
    f.sequences = m.count;
    set.features.push_back(std::move(f));
  }
}
FeatureSet mine_features(const std::vector<std::string_view>& sequences,
                         const std::vector<uint32_t>& classes,
                         const std::vector<std::string>& classNames, const MineSettings& s) {
  FeatureSet set;
  set.version = kProtfeatVersion;
  set.settings = resolved(s, sequences.size());
  set.training = sequences.size();
  set.classes = classNames;
  approach_info(s.approach).mine({sequences, classes, classNames}, set.settings, set);
  return set;
}
