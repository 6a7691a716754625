// The workflow commands past the console's capacities: a sequence of 40,000 residues and 25
// families through mine dd (the console takes 5998 residues and 19 families), checked against
// plain substring counts; and encode's rows, identical whatever the number of threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"

TEST(WorkflowScale, LongSequenceAndTwentyFiveFamiliesThroughMineDd) {
  TempDir dir;
  std::mt19937 rng(40000);
  LabelledSet set = random_set(rng, 25, 3, 5, 40, 120);
  // Family 1's first member becomes 40,000 residues with its family's sequence inside.
  std::string longOne;
  for (int i = 0; i < 40000; ++i) longOne += "ARNDCQEGHILKMFPSTWYV"[rng() % 20];
  set.sequences[0] = longOne.replace(20000, set.sequences[1].size(), set.sequences[1]);
  dir.write("s.fa", set.fasta());
  dir.write("c.txt", set.classification_file());
  const float alpha = 0.6f, beta = 0.05f;
  run_ok(dir, {"mine", "dd", "-i", "s.fa", "-l", "c.txt", "-o", "f.tsv", "--alpha", "0.6", "--beta",
               "0.05"});
  run_ok(dir, {"encode", "-f", "f.tsv", "-i", "s.fa", "-l", "c.txt", "-o", "t.libsvm"});
  const std::vector<std::string> features = feature_lines(dir.read("f.tsv"));
  const std::vector<std::vector<size_t>> rows = libsvm_rows(dir.read("t.libsvm"));
  ASSERT_EQ(rows.size(), set.ids.size());

  std::set<std::string> familiesFound;
  size_t checkedExactly = 0;
  for (size_t k = 0; k < features.size(); ++k) {
    // TEXT<TAB>family|family<TAB>support/size<TAB>sequences
    std::istringstream line(features[k]);
    std::string text, names, support;
    std::getline(std::getline(std::getline(line, text, '\t'), names, '\t'), support, '\t');
    std::vector<std::string> families;
    std::istringstream in(names);
    for (std::string name; std::getline(in, name, '|');) families.push_back(name);
    familiesFound.insert(families.begin(), families.end());
    SCOPED_TRACE(features[k]);

    std::vector<uint32_t> count(set.classNames.size(), 0), size(set.classNames.size(), 0);
    for (size_t i = 0; i < set.ids.size(); ++i) {
      const bool present = set.sequences[i].find(text) != std::string::npos;
      ++size[set.classOf[i]];
      count[set.classOf[i]] += present;
      // encode: 1 exactly where the text occurs.
      EXPECT_EQ(std::binary_search(rows[i].begin(), rows[i].end(), k), present) << set.ids[i];
    }
    const size_t first = static_cast<size_t>(
        std::find(set.classNames.begin(), set.classNames.end(), families.front()) -
        set.classNames.begin());
    ASSERT_LT(first, set.classNames.size());
    // Occurrences retired by longer descriptors no longer count from length 3 on: the support
    // can only be below the plain count there. Up to length 3 it is the plain count, and the
    // families are the tied best ones by the discrimination rule.
    const uint32_t supportCount = static_cast<uint32_t>(std::stoul(support));
    EXPECT_EQ(support.substr(support.find('/') + 1), std::to_string(size[first]));
    EXPECT_LE(supportCount, count[first]);
    if (text.size() > 3) continue;
    ++checkedExactly;
    EXPECT_EQ(supportCount, count[first]);
    const uint32_t best = *std::max_element(count.begin(), count.end());
    uint32_t minSize = ~0u, total = 0, sequences = 0;
    for (size_t c = 0; c < count.size(); ++c) {
      total += count[c];
      sequences += size[c];
      if (count[c] == best) minSize = std::min(minSize, size[c]);
    }
    std::vector<std::string> tied;
    for (size_t c = 0; c < count.size(); ++c)
      if (count[c] == best && size[c] == minSize) tied.push_back(set.classNames[c]);
    EXPECT_EQ(families, tied);
    EXPECT_GE(static_cast<float>(best) / static_cast<float>(minSize), alpha);
    EXPECT_LE(static_cast<float>(total - best) / static_cast<float>(sequences - minSize), beta);
  }
  EXPECT_GT(checkedExactly, 10u);
  EXPECT_GT(familiesFound.size(), 19u) << "more families than the console can take";
}
