// The workflow commands past the console's capacities: a sequence of 40,000 residues and 25
// families through mine dd (the console takes 5998 residues and 19 families), checked against
// plain substring counts; and encode's rows, identical whatever the number of threads.
#include <gtest/gtest.h>

#include <map>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"

namespace {
struct FeatureLine {
  std::string text;
  std::vector<std::string> families;
  std::string support;
};

std::vector<FeatureLine> dd_features(const std::string& file) {
  std::vector<FeatureLine> out;
  bool body = false;
  for (const std::string& line : text_lines(file)) {
    if (!body) {
      body = line.rfind("#columns", 0) == 0;
      continue;
    }
    std::istringstream in(line);
    FeatureLine f;
    std::string families;
    std::getline(in, f.text, '\t');
    std::getline(in, families, '\t');
    std::getline(in, f.support);
    std::istringstream fam(families);
    for (std::string name; std::getline(fam, name, '|');) f.families.push_back(name);
    out.push_back(f);
  }
  return out;
}

// Per sequence, the ascending feature numbers of a LibSVM table.
std::vector<std::vector<size_t>> libsvm_rows(const std::string& table) {
  std::vector<std::vector<size_t>> rows;
  for (const std::string& line : text_lines(table)) {
    std::istringstream in(line);
    std::string cell;
    in >> cell;
    rows.emplace_back();
    while (in >> cell) rows.back().push_back(std::stoul(cell.substr(0, cell.find(':'))) - 1);
  }
  return rows;
}
}  // namespace

TEST(WorkflowScale, LongSequenceAndTwentyFiveFamiliesThroughMineDd) {
  TempDir dir;
  std::mt19937 rng(40000);
  LabelledSet set = random_set(rng, 25, 3, 5, 40, 120);
  // Family 1's first member becomes 40,000 residues with its family's sequence inside.
  std::string longOne;
  for (int i = 0; i < 40000; ++i) longOne += "ARNDCQEGHILKMFPSTWYV"[rng() % 20];
  longOne.replace(20000, set.sequences[1].size(), set.sequences[1]);
  set.sequences[0] = longOne;
  dir.write("s.fa", set.fasta());
  dir.write("c.txt", set.classification_file());
  const float alpha = 0.6f, beta = 0.05f;
  run_ok(dir, {"mine", "dd", "-i", "s.fa", "-l", "c.txt", "-o", "f.tsv", "--alpha", "0.6", "--beta",
               "0.05"});
  run_ok(dir, {"encode", "-f", "f.tsv", "-i", "s.fa", "-l", "c.txt", "-o", "t.libsvm"});
  const std::vector<FeatureLine> features = dd_features(dir.read("f.tsv"));
  const std::vector<std::vector<size_t>> rows = libsvm_rows(dir.read("t.libsvm"));
  ASSERT_EQ(rows.size(), set.ids.size());

  std::set<std::string> familiesFound;
  size_t checkedExactly = 0;
  for (size_t k = 0; k < features.size(); ++k) {
    const FeatureLine& f = features[k];
    SCOPED_TRACE(f.text);
    std::vector<uint32_t> count(set.classNames.size(), 0), size(set.classNames.size(), 0);
    for (size_t i = 0; i < set.ids.size(); ++i) {
      const bool present = set.sequences[i].find(f.text) != std::string::npos;
      ++size[set.classOf[i]];
      count[set.classOf[i]] += present;
      // encode: 1 exactly where the text occurs.
      EXPECT_EQ(std::binary_search(rows[i].begin(), rows[i].end(), k), present) << set.ids[i];
    }
    for (const std::string& name : f.families) familiesFound.insert(name);
    const size_t first = static_cast<size_t>(
        std::find(set.classNames.begin(), set.classNames.end(), f.families.front()) -
        set.classNames.begin());
    ASSERT_LT(first, set.classNames.size());
    // Occurrences retired by longer descriptors no longer count from length 3 on: the support
    // can only be below the plain count there. Up to length 3 it is the plain count, and the
    // families are the tied best ones by the discrimination rule.
    const uint32_t supportCount = static_cast<uint32_t>(std::stoul(f.support));
    EXPECT_EQ(f.support.substr(f.support.find('/') + 1), std::to_string(size[first]));
    EXPECT_LE(supportCount, count[first]);
    if (f.text.size() > 3) continue;
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
    EXPECT_EQ(f.families, tied);
    EXPECT_GE(static_cast<float>(best) / static_cast<float>(minSize), alpha);
    EXPECT_LE(static_cast<float>(total - best) / static_cast<float>(sequences - minSize), beta);
  }
  EXPECT_GT(checkedExactly, 10u);
  EXPECT_GT(familiesFound.size(), 19u) << "more families than the console can take";
}

TEST(WorkflowScale, EncodeRowsAreTheSameWithOneOrTwoThreads) {
  TempDir dir;
  std::mt19937 rng(3);
  // About 8000 n-grams: dense rows of 16 kB, so the 3000 rows span several batches.
  const LabelledSet set = random_set(rng, 6, 400, 600, 100, 200);
  dir.write("s.fa", set.fasta());
  dir.write("c.txt", set.classification_file());
  run_ok(dir, {"mine", "ng", "-i", "s.fa", "-l", "c.txt", "-o", "f.tsv"});
  EXPECT_GT(feature_texts(dir.read("f.tsv")).size(), 5000u);
  for (const char* ext : {"csv", "libsvm"}) {
    const std::string one = std::string("one.") + ext, two = std::string("two.") + ext;
    run_ok(dir,
           {"encode", "-f", "f.tsv", "-i", "s.fa", "-l", "c.txt", "-o", one, "--threads", "1"});
    run_ok(dir,
           {"encode", "-f", "f.tsv", "-i", "s.fa", "-l", "c.txt", "-o", two, "--threads", "2"});
    EXPECT_EQ(text_lines(dir.read(one)).size(), set.ids.size() + (ext[0] == 'c'));
    EXPECT_TRUE(dir.read(one) == dir.read(two)) << ext;
  }
  // The rows in input order: the CSV's ids are the FASTA's.
  const std::vector<std::string> lines = text_lines(dir.read("one.csv"));
  for (size_t i = 0; i < set.ids.size(); i += 499)
    EXPECT_EQ(lines[i + 1].substr(0, lines[i + 1].find(',')), set.ids[i]);
}
