// RowValues as a caller without a table uses it: one shared object, rows computed by several
// threads at once, each with its own scratch; the columns of two features files side by side,
// one of them motifs matched within an edit distance, and each cell the count a plain search
// gives.
#include "workflow/row_values.h"

#include <gtest/gtest.h>

#include <thread>

#include "e2e/workflow_sets.h"
#include "engine/matching/edit_distance.h"
#include "workflow/mine.h"

TEST(RowValues, CountsOfTwoSetsFromThreadsSharingOneObject) {
  std::mt19937 rng(31);
  const LabelledSet set = random_set(rng, 2, 20, 30, 30, 60, 5);
  const std::vector<std::string_view> views(set.sequences.begin(), set.sequences.end());
  const std::vector<uint32_t> none;
  const FeatureSet ng =
      mine_features(views, none, {}, {.approach = Approach::Ng, .n = 2, .nMax = 3});
  const FeatureSet ma = mine_features(
      views, none, {}, {.approach = Approach::Ma, .minLength = 4, .distance = 1, .maxLength = 5});
  ASSERT_FALSE(ma.features.empty());
  const RowValues values({&ng, &ma}, ValueKind::Count);
  ASSERT_EQ(values.columns(), ng.features.size() + ma.features.size());
  ASSERT_EQ(values.first_column(1), ng.features.size());

  // What each row must hold: every non-zero count, by ascending column.
  auto plain = [&](const std::string& seq) {
    RowValues::Row row;
    for (size_t k = 0; k < ng.features.size(); ++k) {
      const std::string& t = ng.features[k].text;
      uint64_t c = 0;
      for (size_t p = 0; p + t.size() <= seq.size(); ++p) c += seq.compare(p, t.size(), t) == 0;
      if (c > 0) {
        row.columns.push_back(static_cast<uint32_t>(k));
        row.values.push_back(static_cast<double>(c));
      }
    }
    for (size_t k = 0; k < ma.features.size(); ++k)
      if (const uint64_t c = count_within(ma.features[k].text, seq, 1); c > 0) {
        row.columns.push_back(static_cast<uint32_t>(values.first_column(1) + k));
        row.values.push_back(static_cast<double>(c));
      }
    return row;
  };
  std::vector<RowValues::Row> rows(set.sequences.size());
  auto work = [&](size_t from) {
    RowValues::Scratch scratch;
    for (size_t i = from; i < rows.size(); i += 2)
      values.compute(set.sequences[i], rows[i], scratch);
  };
  std::thread other(work, 1);
  work(0);
  other.join();
  for (size_t i = 0; i < rows.size(); ++i) {
    const RowValues::Row want = plain(set.sequences[i]);
    EXPECT_EQ(rows[i].columns, want.columns) << i;
    EXPECT_EQ(rows[i].values, want.values) << i;
  }
}
