// The tables of encode and folds as their readers see them: Weka trains on a training table and
// tests on the test table of the same features (dense and sparse ARFF), Python's csv module reads
// the CSV and TSV, scikit-learn reads the LibSVM file, and each holds the matrix of the ARFF.
// folds mines each fold's features on its training part only, the same for the same seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"
#include "support/weka.h"

namespace {
const std::string kPython = "/usr/bin/python3";

bool python_has(const std::string& module) {
  return std::system((kPython + " -c 'import " + module + "' 2>/dev/null").c_str()) == 0;
}

// What a Python script run in `dir` with `args` prints.
std::string python_output(const TempDir& dir, const std::string& script, const std::string& args) {
  dir.write("read.py", script);
  const std::string command =
      "cd " + dir.path().string() + " && " + kPython + " read.py " + args + " >py.txt";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return dir.read("py.txt");
}

std::string class_line(const std::string& arff) {
  for (const std::string& line : text_lines(arff))
    if (line.rfind("@attribute class ", 0) == 0) return line;
  return "";
}
}  // namespace

TEST(WorkflowTables, WekaTrainsOnFoldsAndTestsDenseAndSparse) {
  if (!weka_available()) GTEST_SKIP() << "Weka is not installed";
  TempDir dir;
  std::vector<double> accuracy;
  for (const std::string format : {"arff", "sparse-arff"}) {
    const ProgramResult r =
        run_ok(dir, words("folds dd -i " + source_path("data/Sample.txt") + " -l " +
                          source_path("data/Sample.classes.txt") +
                          " -k 3 --alpha 0.5 --beta 0.2 -d " + format + " --format " + format));
    EXPECT_NE(r.out.find("fold-03: "), std::string::npos) << r.out;
    const std::string train = dir.read(format + "/fold-02/train.arff");
    EXPECT_EQ(class_line(train), "@attribute class {globin,fn3,pkinase,rrm}");
    EXPECT_EQ(class_line(dir.read(format + "/fold-02/test.arff")), class_line(train));
    const std::filesystem::path fold = dir.path() / format / "fold-02";
    const WekaResult w = weka_train_test(fold / "train.arff", fold / "test.arff");
    ASSERT_TRUE(w.ok) << w.output;
    accuracy.push_back(w.accuracy);
  }
  // The same data in two layouts: the same tree, the same accuracy; far above the 28% of
  // always answering the largest family.
  EXPECT_EQ(accuracy[0], accuracy[1]);
  EXPECT_GT(accuracy[0], 70.0);
}

TEST(WorkflowTables, EveryFormatHoldsTheSameMatrixForItsReaders) {
  TempDir dir;
  std::mt19937 rng(5);
  LabelledSet set = random_set(rng, 3, 5, 9, 20, 60);
  set.classNames = {"a,b", "say \"hi\"", "plain"};  // names that CSV and TSV must quote
  dir.write("s.fa", set.fasta());
  dir.write("labels.tsv", set.label_table());
  run_ok(dir, words("mine ng -i s.fa -l labels.tsv -o f.tsv"));
  for (const std::string table : {"t.arff", "t.csv", "t.tsv", "t.libsvm"})
    run_ok(dir, words("encode -f f.tsv -i s.fa -l labels.tsv -o " + table));
  for (const std::string table : {"u.arff", "u.csv"})  // without labels: every class missing
    run_ok(dir, words("encode -f f.tsv -i s.fa -o " + table));

  // The values of each ARFF row ("1,0,...,0,class"), without commas; '?' for a missing class.
  const size_t n = feature_texts(dir.read("f.tsv")).size();
  const std::vector<std::string> arff = arff_rows(dir.read("t.arff"));
  const std::vector<std::string> unlabelled = arff_rows(dir.read("u.arff"));
  ASSERT_EQ(arff.size(), set.ids.size());
  ASSERT_EQ(unlabelled.size(), set.ids.size());
  std::vector<std::string> values;  // each row's 0/1 values, without commas
  for (size_t i = 0; i < arff.size(); ++i) {
    EXPECT_EQ(unlabelled[i], arff[i].substr(0, 2 * n) + "?");  // the missing class
    std::string v = arff[i].substr(0, 2 * n - 1);
    v.erase(std::remove(v.begin(), v.end(), ','), v.end());
    values.push_back(v);
  }

  if (python_has("csv")) {
    // The quoted cells read back: "id|class", then "id:values:class" per row.
    std::string want;
    for (const bool labelled : {true, true, false}) {
      want += "id|class\n";
      for (size_t i = 0; i < values.size(); ++i)
        want += set.ids[i] + ":" + values[i] + ":" +
                (labelled ? set.classNames[set.classOf[i]] : "") + "\n";
    }
    EXPECT_EQ(python_output(dir, R"(import csv
for name, sep in (('t.csv', ','), ('t.tsv', '\t'), ('u.csv', ',')):
    rows = list(csv.reader(open(name, newline=''), delimiter=sep))
    print(rows[0][0] + '|' + rows[0][-1])
    for r in rows[1:]:
        print(r[0] + ':' + ''.join(r[1:-1]) + ':' + r[-1])
)",
                            ""),
              want);
  }
  if (python_has("sklearn")) {
    // The class number (from 1, in the features file's order) and the values.
    std::string want;
    for (size_t i = 0; i < values.size(); ++i)
      want += std::to_string(set.classOf[i] + 1) + ":" + values[i] + "\n";
    EXPECT_EQ(python_output(dir, R"(import sys
from sklearn.datasets import load_svmlight_file
X, y = load_svmlight_file('t.libsvm', n_features=int(sys.argv[1]))
for x, c in zip(X.toarray(), y):
    print('%d:' % c + ''.join(str(int(v)) for v in x))
)",
                            std::to_string(n)),
              want);
  }
}

TEST(WorkflowTables, FoldsMineOnTheTrainingPartOnlyAndRepeatForASeed) {
  TempDir dir;
  std::mt19937 rng(11);
  const LabelledSet set = random_set(rng, 3, 4, 11, 15, 50, 8);
  dir.write("s.fa", set.fasta());
  auto folds = [&](const std::string& out, const std::string& seed) {
    run_ok(dir, words("folds dd -i s.fa --header-labels -k 3 --alpha 0.6 --beta 0.3 --format tsv "
                      "--seed " +
                      seed + " -d " + out));
    return dir.read(out + "/folds.tsv");
  };
  const std::string one = folds("one", "7");
  EXPECT_EQ(folds("again", "7"), one);
  EXPECT_NE(folds("other", "8"), one);
  EXPECT_EQ(dir.read("one/fold-03/train.tsv"), dir.read("again/fold-03/train.tsv"));

  std::map<std::string, std::string> foldOf;
  for (const std::string& line : text_lines(one))
    foldOf[line.substr(0, line.find('\t'))] = line.substr(line.find('\t') + 1);
  EXPECT_EQ(foldOf["id"], "fold");
  ASSERT_EQ(foldOf.size(), set.ids.size() + 1);
  // Each class spread over the folds as evenly as its size allows.
  for (size_t c = 0; c < set.classNames.size(); ++c) {
    std::map<std::string, int> perFold = {{"1", 0}, {"2", 0}, {"3", 0}};
    for (size_t i = 0; i < set.ids.size(); ++i)
      if (set.classOf[i] == c) ++perFold[foldOf[set.ids[i]]];
    const auto [lo, hi] = std::minmax_element(perFold.begin(), perFold.end(),
                                              [](auto& a, auto& b) { return a.second < b.second; });
    EXPECT_LE(hi->second - lo->second, 1) << set.classNames[c];
  }

  // Fold 2's features are what mine finds on the other folds alone, and its test table is what
  // encode writes with them.
  std::vector<size_t> train, test;
  for (size_t i = 0; i < set.ids.size(); ++i)
    (foldOf[set.ids[i]] == "2" ? test : train).push_back(i);
  dir.write("train.fa", set.fasta(train));
  dir.write("test.fa", set.fasta(test));
  run_ok(dir, words("mine dd -i train.fa --header-labels -o f.tsv --alpha 0.6 --beta 0.3"));
  EXPECT_GT(feature_texts(dir.read("f.tsv")).size(), 0u);
  EXPECT_EQ(dir.read("one/fold-02/features.tsv"), dir.read("f.tsv"));
  run_ok(dir, words("encode -f f.tsv -i test.fa --header-labels -o test.tsv"));
  EXPECT_EQ(dir.read("test.tsv"), dir.read("one/fold-02/test.tsv"));
}
