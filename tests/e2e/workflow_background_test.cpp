// mine dd and ddsm against a background: the background behaves as one more class, placed after
// the others, for which no feature is ever chosen.
#include <gtest/gtest.h>

#include <random>

#include "e2e/workflow_sets.h"

namespace {
using Lines = std::vector<std::string>;

// The features of a file mined with the background as its last class `bg`, as mining against
// that background gives them: features of `bg` alone left out, `bg` taken out of ties. The last
// column, the training sequences that contain each, is left out: the background is no training
// sequence.
Lines without_class(const std::string& file, const std::string& bg, bool familiesColumn) {
  Lines kept;
  for (const std::string& line : feature_lines(file)) {
    Lines f = split_fields(line);
    f.pop_back();
    std::string families;  // the families field without bg (ddsm: empty when its family is bg)
    for (const std::string& n : split_fields(f[1], familiesColumn ? '|' : '\t'))
      if (n != bg) families += (families.empty() ? "" : "|") + n;
    if (families.empty()) continue;
    f[1] = families;
    std::string joined;
    for (const std::string& x : f) joined += (joined.empty() ? "" : "\t") + x;
    kept.push_back(joined);
  }
  return kept;
}
}  // namespace

TEST(WorkflowBackground, IsOneMoreClassNeverChosen) {
  std::mt19937 rng(7031);
  size_t dropped = 0, kept = 0;
  for (size_t round = 0; round < 12; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const LabelledSet set = random_set(rng, 3 + rng() % 3, 3, 9, 8, 50, round % 2 ? 20 : 6);
    const std::string bg = set.classNames.back();
    std::vector<size_t> classes, background;
    for (size_t i = 0; i < set.ids.size(); ++i)
      (set.classOf[i] + 1 == set.classNames.size() ? background : classes).push_back(i);
    TempDir dir;
    dir.write("all.fa", set.fasta());
    dir.write("train.fa", set.fasta(classes));
    // The background in two files: they are read end to end.
    const auto half = static_cast<std::ptrdiff_t>(background.size() / 2);
    dir.write("bg1.fa", set.fasta({background.begin(), background.begin() + half}));
    dir.write("bg2.fa", set.fasta({background.begin() + half, background.end()}));
    const std::string approach = round % 3 == 2 ? "ddsm" : "dd";
    const std::string thresholds = round % 2 ? "--alpha 0.6 --beta 0.2" : "--alpha 0.8 --beta 0.1";
    run_ok(dir,
           words("mine " + approach + " -i all.fa --header-labels -o class.tsv " + thresholds));
    const std::string bgArgs =
        half > 0 ? "--background bg1.fa --background bg2.fa" : "--background bg2.fa";
    const ProgramResult r = run_ok(dir, words("mine " + approach + " -i train.fa --header-labels " +
                                              bgArgs + " -o back.tsv " + thresholds));
    EXPECT_NE(r.out.find(" against " + std::to_string(background.size()) + " background"),
              std::string::npos)
        << r.out;
    const Lines expected = without_class(dir.read("class.tsv"), bg, approach == "dd");
    EXPECT_EQ(without_class(dir.read("back.tsv"), bg, approach == "dd"), expected);
    dropped += feature_lines(dir.read("class.tsv")).size() - expected.size();
    kept += expected.size();
    // The file records the count and reads back: encode takes it.
    EXPECT_NE(
        dir.read("back.tsv").find("\n#background\t" + std::to_string(background.size()) + "\n"),
        std::string::npos);
    run_ok(dir, words("encode -f back.tsv -i train.fa --header-labels -o t.libsvm"));
  }
  // The sets are such that the background's own features were there to leave out.
  EXPECT_GT(dropped, 0u);
  EXPECT_GT(kept, 0u);
}

TEST(WorkflowBackground, Refusals) {
  TempDir dir;
  dir.write("s.fa", ">a x\nMKV\n>b y\nMKW\n");
  const ProgramResult ng =
      run_program(dir, words("mine ng -i s.fa --background s.fa -o f.tsv"), "");
  EXPECT_EQ(ng.status, 2);
  EXPECT_NE(ng.err.find("error: --background applies to dd and ddsm only"), std::string::npos);
  // The features file may not replace a background file.
  const ProgramResult over = run_program(
      dir, words("mine dd -i s.fa --header-labels --alpha 0.5 --beta 0 --background s.fa -o s.fa"),
      "");
  EXPECT_EQ(over.status, 1);
  EXPECT_EQ(dir.read("s.fa"), ">a x\nMKV\n>b y\nMKW\n");
  EXPECT_FALSE(dir.exists("f.tsv"));
}
