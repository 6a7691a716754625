// The generator of the scale benchmarks: the same files for the same arguments, labels in the
// FASTA's order, lengths spread like proteins, and families that share words within and few
// between.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <numeric>
#include <set>
#include <sstream>

#include "support/run_program.h"

namespace {
struct Record {
  std::string id, family, seq;
};

std::vector<Record> generate(const TempDir& dir, const std::string& args,
                             const std::string& prefix) {
  const std::string cmd =
      "cd '" + dir.path().string() + "' && '" PROTFEAT_GEN_SCALE "' " + args + " " + prefix;
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  std::vector<Record> out;
  std::istringstream fa(dir.read(prefix + ".fa"));
  for (std::string line; std::getline(fa, line);) {
    if (line[0] == '>') {
      const size_t blank = line.find(' ');
      out.push_back({line.substr(1, blank - 1), line.substr(blank + 1), ""});
    } else {
      out.back().seq += line;
    }
  }
  return out;
}

std::set<std::string> words(const std::string& s) {
  std::set<std::string> w;
  for (size_t p = 0; p + 5 <= s.size(); ++p) w.insert(s.substr(p, 5));
  return w;
}
double shared(const std::string& a, const std::string& b) {
  const std::set<std::string> wa = words(a), wb = words(b);
  size_t both = 0;
  for (const std::string& w : wa) both += wb.count(w);
  return static_cast<double>(both) / static_cast<double>(std::min(wa.size(), wb.size()));
}
}  // namespace

TEST(GenScale, DeterministicConsistentAndProteinLike) {
  TempDir dir;
  const std::vector<Record> mixed = generate(dir, "100000 100 5", "a");
  ASSERT_EQ(mixed.size(), 100000u);
  generate(dir, "100000 100 5", "b");
  for (const char* ext : {".fa", ".labels.tsv"})
    EXPECT_TRUE(dir.read(std::string("a") + ext) == dir.read(std::string("b") + ext)) << ext;
  generate(dir, "100000 100 6", "c");
  EXPECT_FALSE(dir.read("a.fa") == dir.read("c.fa"));

  // The label table follows the FASTA order.
  std::string labels;
  for (const Record& r : mixed) labels += r.id + "\t" + r.family + "\n";
  EXPECT_TRUE(dir.read("a.labels.tsv") == labels);

  // Lengths: median near 300, mean 300 to 350, a handful past 6000.
  std::vector<size_t> len;
  for (const Record& r : mixed) len.push_back(r.seq.size());
  std::sort(len.begin(), len.end());
  const double mean =
      std::accumulate(len.begin(), len.end(), 0.0) / static_cast<double>(len.size());
  EXPECT_NEAR(static_cast<double>(len[len.size() / 2]), 300.0, 25.0);
  EXPECT_GT(mean, 300.0);
  EXPECT_LT(mean, 350.0);
  const auto giants = len.end() - std::upper_bound(len.begin(), len.end(), size_t{6000});
  EXPECT_GE(giants, 1);
  EXPECT_LE(giants, 15);

  // Words: members of one family share far more than members of two.
  std::map<std::string, std::vector<const Record*>> family;
  for (const Record& r : mixed) family[r.family].push_back(&r);
  double within = 0, between = 0;
  for (int k = 0; k < 20; ++k) {
    const auto& f = family["fam0" + std::to_string(10 + k)];
    const auto& g = family["fam0" + std::to_string(40 + k)];
    within += shared(f[0]->seq, f[1]->seq) / 20;
    between += shared(f[0]->seq, g[0]->seq) / 20;
  }
  EXPECT_GT(within, 0.05);
  EXPECT_LT(between, within / 20);
}
