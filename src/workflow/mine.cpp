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
// A background is one more family after all the classes; background_family() tells its number.
std::vector<Descriptor> discover(const MineInput& in, const MineSettings& s) {
  std::vector<std::vector<uint32_t>> groups(in.classNames.size() + (in.background.empty() ? 0 : 1));
  for (size_t i = 0; i < in.sequences.size(); ++i)
    groups[in.classes[i]].push_back(static_cast<uint32_t>(i));
  std::vector<std::string_view> all;
  if (!in.background.empty()) {
    all.reserve(in.sequences.size() + in.background.size());
    all.insert(all.end(), in.sequences.begin(), in.sequences.end());
    all.insert(all.end(), in.background.begin(), in.background.end());
    for (size_t i = in.sequences.size(); i < all.size(); ++i)
      groups.back().push_back(static_cast<uint32_t>(i));
  }
  while (!groups.empty() && groups.back().empty()) groups.pop_back();
  // Features need only each descriptor's text, families and support: the per-sequence records
  // would take memory in proportion to the sequences holding each descriptor.
  std::vector<Descriptor> found =
      discover_descriptors(in.background.empty() ? in.sequences : all, groups, {s.alpha, s.beta},
                           DiscoveryRecords::DescriptorsOnly, progress::engine());
  progress::clear();
  return found;
}

// The family number (from 1) of the background in the discovery, or 0 without one.
uint32_t background_family(const MineInput& in) {
  return in.background.empty() ? 0 : static_cast<uint32_t>(in.classNames.size() + 1);
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
  const uint32_t background = background_family(in);
  // Attribute order: the most recent descriptor first. No feature stands for the background: a
  // descriptor of the background alone is left out, one tied with classes names only them.
  for (auto dd = found.rbegin(); dd != found.rend(); ++dd) {
    if (dd->families.size() == 1 && dd->families[0] == background) continue;
    Feature f;
    f.text = std::move(dd->text);
    for (uint32_t fam : dd->families)
      if (fam != background) f.families.push_back(set.classes[fam - 1]);
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
  const uint32_t background = background_family(in);
  for (ScoredDescriptor& d : kept) {
    // The background is the last family: a descriptor of the lowest family is one of it alone.
    if (d.family == background) continue;
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
namespace {
// The texts mapped through the alphabet into one buffer, and views of them (none when the
// alphabet maps nothing).
std::vector<std::string_view> mapped_views(const ReducedAlphabet& alphabet,
                                           const std::vector<std::string_view>& texts,
                                           std::string& buffer) {
  std::vector<std::string_view> mapped;
  if (!alphabet.reduces()) return mapped;
  size_t total = 0;
  for (std::string_view v : texts) total += v.size();
  buffer.reserve(total);
  for (std::string_view v : texts) buffer.append(v);
  for (char& c : buffer) c = alphabet.map(c);
  mapped.reserve(texts.size());
  size_t at = 0;
  for (std::string_view v : texts) {
    mapped.emplace_back(buffer.data() + at, v.size());
    at += v.size();
  }
  return mapped;
}
}  // namespace

FeatureSet mine_features(const std::vector<std::string_view>& sequences,
                         const std::vector<uint32_t>& classes,
                         const std::vector<std::string>& classNames, const MineSettings& s,
                         const std::vector<std::string_view>& background) {
  FeatureSet set;
  set.version = kProtfeatVersion;
  set.settings = resolved(s, sequences.size());
  set.training = sequences.size();
  set.classes = classNames;
  const ApproachInfo& approach = approach_info(s.approach);
  const std::vector<std::string_view> none;
  const std::vector<std::string_view>& taken = approach.takesBackground ? background : none;
  set.background = taken.size();
  // With an alphabet every approach mines the mapped sequences, each group standing as one
  // letter: its features are words over the groups.
  std::string residues, backgroundResidues;
  const std::vector<std::string_view> mapped = mapped_views(s.alphabet, sequences, residues);
  const std::vector<std::string_view> mappedBackground =
      mapped_views(s.alphabet, taken, backgroundResidues);
  approach.mine({s.alphabet.reduces() ? mapped : sequences, classes, classNames,
                 s.alphabet.reduces() ? mappedBackground : taken},
                set.settings, set);
  return set;
}
