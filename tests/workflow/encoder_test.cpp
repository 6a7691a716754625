// The encoder's rows do not depend on its threads: batches are matched and formatted by any
// worker and written in the order they were given.
#include "workflow/encoder.h"

#include <gtest/gtest.h>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"
#include "workflow/mine.h"

TEST(Encoder, RowsAreTheSameWhateverTheThreads) {
  TempDir dir;
  std::mt19937 rng(3);
  // About 8000 n-grams: dense rows of 16 kB, so the 3000 rows span several batches.
  const LabelledSet set = random_set(rng, 6, 400, 600, 100, 200);
  const std::vector<std::string_view> views(set.sequences.begin(), set.sequences.end());
  std::vector<uint32_t> classes(set.classOf.begin(), set.classOf.end());
  const FeatureSet features =
      mine_features(views, classes, set.classNames, MineSettings{.approach = Approach::Ng});
  ASSERT_GT(features.features.size(), 5000u);
  for (const TableFormat format : {TableFormat::Csv, TableFormat::Libsvm}) {
    std::vector<std::string> tables;
    for (const unsigned threads : {1u, 2u, 5u}) {
      const std::string path = (dir.path() / "t").string();
      OutFile out = OutFile::create(path);
      {
        Encoder enc(features, format, threads, out);
        for (size_t i = 0; i < set.ids.size(); ++i)
          enc.add(set.ids[i], set.sequences[i], static_cast<int64_t>(classes[i]));
        enc.finish();
      }
      out.close();
      tables.push_back(dir.read("t"));
    }
    EXPECT_TRUE(tables[0] == tables[1] && tables[0] == tables[2])
        << format_names()[static_cast<size_t>(format)];
    // One row per sequence, in input order.
    const std::vector<std::string> lines = text_lines(tables[0]);
    const bool header = format == TableFormat::Csv;
    ASSERT_EQ(lines.size(), set.ids.size() + (header ? 1 : 0));
    for (size_t i = 0; header && i < set.ids.size(); i += 499)
      EXPECT_EQ(lines[i + 1].substr(0, lines[i + 1].find(',')), set.ids[i]);
  }
}
