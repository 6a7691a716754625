// Matching one features file, and the values of a row over several.
#include "workflow/row_values.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <thread>

#include "engine/matching/edit_distance.h"

namespace {
int64_t distance_of(const FeatureSet& set) {
  return approach_info(set.approach()).matchDistance(set.settings);
}

std::vector<std::string_view> texts_of(const FeatureSet& set) {
  std::vector<std::string_view> t;
  t.reserve(set.features.size());
  for (const Feature& f : set.features) t.push_back(f.text);
  return t;
}

// 1 + ln c for the counts most cells hold, so that a row of hundreds of cells takes no logarithm.
constexpr size_t kTfTable = 256;
const std::array<double, kTfTable>& sublinear_table() {
  static const std::array<double, kTfTable> table = [] {
    std::array<double, kTfTable> t{};
    for (size_t c = 1; c < kTfTable; ++c) t[c] = std::log(static_cast<double>(c)) + 1.0;
    return t;
  }();
  return table;
}
}  // namespace

FeatureMatcher::FeatureMatcher(const FeatureSet& set)
    : count_(set.features.size()),
      distance_(distance_of(set)),
      automaton_(distance_ > 0 ? std::vector<std::string_view>{} : texts_of(set)),
      alphabet_(set.settings.alphabet) {
  if (distance_ > 0)
    for (const Feature& f : set.features) {
      motifs_.push_back(f.text);
      framed_.push_back("*" + f.text + "*");
    }
}

void FeatureMatcher::find(std::string_view sequence, std::vector<uint32_t>& found,
                          Scratch& scratch) const {
  if (alphabet_.reduces()) sequence = alphabet_.map(sequence, scratch.mapped);
  if (distance_ == 0) {
    automaton_.find_all(sequence, found, scratch.keywords);
    return;
  }
  found.clear();
  for (size_t k = 0; k < framed_.size(); ++k)
    if (match(framed_[k], sequence) <= distance_) found.push_back(static_cast<uint32_t>(k));
}

void FeatureMatcher::count(std::string_view sequence, std::vector<uint32_t>& found,
                           std::vector<uint64_t>& counts, Scratch& scratch) const {
  if (alphabet_.reduces()) sequence = alphabet_.map(sequence, scratch.mapped);
  if (distance_ == 0) {
    automaton_.count_all(sequence, found, counts, scratch.keywords);
    return;
  }
  found.clear();
  counts.clear();
  for (size_t k = 0; k < motifs_.size(); ++k)
    if (const uint64_t c = count_within(motifs_[k], sequence, distance_); c > 0) {
      found.push_back(static_cast<uint32_t>(k));
      counts.push_back(c);
    }
}

bool has_training_frequencies(const FeatureSet& set) {
  return set.training.has_value() && set.sequencesKnown;
}

std::vector<uint64_t> sequences_containing(const FeatureSet& set,
                                           const std::vector<std::string_view>& sequences) {
  const FeatureMatcher matcher(set);
  const size_t threads =
      std::clamp<size_t>(std::thread::hardware_concurrency(), 1, sequences.size() / 64 + 1);
  std::vector<std::vector<uint64_t>> perThread(threads,
                                               std::vector<uint64_t>(set.features.size(), 0));
  auto work = [&](size_t t) {
    FeatureMatcher::Scratch scratch;
    std::vector<uint32_t> found;
    std::vector<uint64_t>& df = perThread[t];
    for (size_t i = t * sequences.size() / threads; i < (t + 1) * sequences.size() / threads; ++i) {
      matcher.find(sequences[i], found, scratch);
      for (uint32_t k : found) ++df[k];
    }
  };
  {
    std::vector<std::jthread> workers;
    for (size_t t = 1; t < threads; ++t) workers.emplace_back(work, t);
    work(0);
  }
  for (size_t t = 1; t < threads; ++t)
    for (size_t k = 0; k < set.features.size(); ++k) perThread[0][k] += perThread[t][k];
  return perThread[0];
}

RowValues::RowValues(const std::vector<const FeatureSet*>& sets, ValueKind kind) : kind_(kind) {
  matchers_.reserve(sets.size());
  for (const FeatureSet* set : sets) {
    if (kind == ValueKind::Tfidf && !has_training_frequencies(*set))
      throw std::invalid_argument(
          "tf-idf values need the training frequencies of every features file: mine it again");
    first_.push_back(columns_);
    columns_ += set->features.size();
    if (columns_ > std::numeric_limits<uint32_t>::max())
      throw std::invalid_argument("more than 4294967295 features in one table");
    matchers_.emplace_back(*set);
    idf_.emplace_back();
    if (kind != ValueKind::Tfidf) continue;
    // scikit-learn's smooth idf: as if one more sequence held every feature.
    const auto n = static_cast<double>(*set->training + 1);
    for (const Feature& f : set->features)
      idf_.back().push_back(std::log(n / static_cast<double>(f.sequences + 1)) + 1.0);
  }
}

void RowValues::compute(std::string_view sequence, Row& row, Scratch& scratch) const {
  row.columns.clear();
  row.values.clear();
  scratch.matchers_.resize(matchers_.size());
  std::vector<uint32_t>& found = scratch.found_;
  std::vector<uint64_t>& counts = scratch.counts_;
  const std::array<double, kTfTable>& sublinear = sublinear_table();
  for (size_t s = 0; s < matchers_.size(); ++s) {
    if (kind_ == ValueKind::Binary)
      matchers_[s].find(sequence, found, scratch.matchers_[s]);
    else
      matchers_[s].count(sequence, found, counts, scratch.matchers_[s]);
    const size_t at = row.columns.size();
    const auto first = static_cast<uint32_t>(first_[s]);
    for (uint32_t k : found) row.columns.push_back(first + k);
    switch (kind_) {
      case ValueKind::Binary: row.values.resize(at + found.size(), 1.0); break;
      case ValueKind::Count:
        for (uint64_t c : counts) row.values.push_back(static_cast<double>(c));
        break;
      case ValueKind::Tfidf: {
        const double* idf = idf_[s].data();
        double squares = 0;
        for (size_t i = 0; i < found.size(); ++i) {
          const uint64_t c = counts[i];
          const double tf = c < kTfTable ? sublinear[c] : std::log(static_cast<double>(c)) + 1.0;
          const double v = tf * idf[found[i]];
          row.values.push_back(v);
          squares += v * v;
        }
        // Each set's block on its own; a block without a cell stays empty.
        if (squares > 0) {
          const double norm = std::sqrt(squares);
          for (size_t i = at; i < row.values.size(); ++i) row.values[i] /= norm;
        }
        break;
      }
    }
  }
}
