// RowValues as a caller without a table uses it: one shared object, rows computed by two threads
// at once, each with its own scratch; the motifs of a set matched within an edit distance, each
// cell the count of the places where an occurrence within the distance ends.
#include "workflow/row_values.h"

#include <gtest/gtest.h>

#include <thread>

#include "e2e/workflow_sets.h"
#include "engine/matching/edit_distance.h"
#include "workflow/mine.h"

TEST(RowValues, MotifCountsWithinADistanceFromThreadsSharingOneObject) {
  std::mt19937 rng(31);
  const LabelledSet set = random_set(rng, 2, 20, 30, 30, 60, 5);
  const std::vector<std::string_view> views(set.sequences.begin(), set.sequences.end());
  const FeatureSet ma = mine_features(
      views, {}, {}, {.approach = Approach::Ma, .minLength = 4, .distance = 1, .maxLength = 5});
  ASSERT_GT(ma.features.size(), 10u);
  const RowValues values({&ma}, ValueKind::Count);
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
    RowValues::Row want;
    for (size_t k = 0; k < ma.features.size(); ++k)
      if (const uint64_t c = count_within(ma.features[k].text, set.sequences[i], 1); c > 0) {
        want.columns.push_back(static_cast<uint32_t>(k));
        want.values.push_back(static_cast<double>(c));
      }
    EXPECT_EQ(rows[i].columns, want.columns) << i;
    EXPECT_EQ(rows[i].values, want.values) << i;
  }
}
