// The tables of encode and folds as their readers see them: each of the five formats holds the
// matrix of a plain substring search, Weka trains on a training table and tests on the test
// table of the same features (dense and sparse ARFF), Python's csv module reads the CSV and TSV,
// and scikit-learn reads the LibSVM file.
// folds mines each fold's features on its training part only, the same for the same seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"
#include "support/weka.h"

namespace {
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

// Per row: the numbers (from 0) of the features present and the class cell as written, read back
// from a table of any format by its own layout.
struct DecodedRow {
  std::vector<size_t> present;
  std::string cls;
  bool operator==(const DecodedRow&) const = default;
};

std::vector<DecodedRow> decode(const std::string& format, const std::string& table, size_t n) {
  std::vector<DecodedRow> rows;
  if (format == "libsvm") {
    const std::vector<std::vector<size_t>> r = libsvm_rows(table);
    for (size_t i = 0; i < r.size(); ++i) {
      const std::string line = text_lines(table)[i];
      rows.push_back({r[i], line.substr(0, line.find(' '))});
    }
    return rows;
  }
  if (format == "sparse-arff") {
    // {i 1,...,n CLASS}: the class cell (attribute n, always written) comes last.
    const std::string classCell = std::to_string(n) + " ";
    for (const std::string& line : arff_rows(table)) {
      DecodedRow row;
      const std::string body = line.substr(1, line.size() - 2);  // without the braces
      const size_t c = body.rfind("," + classCell) + 1;          // 0 when it is the only cell
      row.cls = body.substr(c + classCell.size());
      std::istringstream in(body.substr(0, c));
      for (std::string cell; std::getline(in, cell, ',');)
        row.present.push_back(std::stoul(cell.substr(0, cell.find(' '))));
      rows.push_back(row);
    }
    return rows;
  }
  // Dense: the values after the id (CSV, TSV) or from the start (ARFF), then the class.
  const bool arff = format == "arff";
  const char sep = format == "tsv" ? '\t' : ',';
  std::vector<std::string> lines = arff ? arff_rows(table) : text_lines(table);
  if (!arff) lines.erase(lines.begin());  // the header row
  for (const std::string& line : lines) {
    DecodedRow row;
    size_t p = arff ? 0 : line.find(sep) + 1;
    for (size_t k = 0; k < n; ++k, p += 2)
      if (line[p] == '1') row.present.push_back(k);
    row.cls = line.substr(p);
    rows.push_back(row);
  }
  return rows;
}

class TableFormats : public ::testing::TestWithParam<std::string> {};

// Every format holds the matrix of a plain substring search over n-grams of two lengths,
// labelled and unlabelled, whether the format is given or told by the table's name.
TEST_P(TableFormats, HoldTheMatrixOfThePlainSearch) {
  const std::string format = GetParam();
  TempDir dir;
  std::mt19937 rng(5);
  LabelledSet set = random_set(rng, 3, 5, 9, 20, 60);
  set.classNames = {"a,b", "say \"hi\"", "plain"};  // names that CSV and TSV must quote
  dir.write("s.fa", set.fasta());
  dir.write("labels.tsv", set.label_table());
  // -n 2-3: the n-grams of each length in turn, shortest first, each as -n gives it.
  std::vector<std::string> each;
  for (const std::string n : {"2", "3"}) {
    run_ok(dir, words("mine ng -i s.fa -l labels.tsv -o f.tsv -n " + n));
    for (const std::string& line : feature_lines(dir.read("f.tsv"))) each.push_back(line);
  }
  run_ok(dir, words("mine ng -i s.fa -l labels.tsv -o f.tsv -n 2-3"));
  EXPECT_EQ(feature_lines(dir.read("f.tsv")), each);
  const std::vector<std::string> features = feature_texts(dir.read("f.tsv"));
  const std::string name = format == "sparse-arff" ? "t.sparse.arff" : "t." + format;
  run_ok(dir, words("encode -f f.tsv -i s.fa -l labels.tsv -o " + name));
  run_ok(dir, words("encode -f f.tsv -i s.fa -o u.table --format " + format));
  run_ok(dir, words("encode -f f.tsv -i s.fa -l labels.tsv -o v.table --format " + format));
  EXPECT_EQ(dir.read(name), dir.read("v.table"));

  const std::vector<DecodedRow> labelled = decode(format, dir.read(name), features.size());
  const std::vector<DecodedRow> unlabelled = decode(format, dir.read("u.table"), features.size());
  ASSERT_EQ(labelled.size(), set.ids.size());
  ASSERT_EQ(unlabelled.size(), set.ids.size());
  std::map<size_t, std::string> cellOf;
  std::set<std::string> cells;
  for (size_t i = 0; i < set.ids.size(); ++i) {
    SCOPED_TRACE(set.ids[i]);
    std::vector<size_t> want;
    for (size_t k = 0; k < features.size(); ++k)
      if (set.sequences[i].find(features[k]) != std::string::npos) want.push_back(k);
    EXPECT_EQ(labelled[i].present, want);
    EXPECT_EQ(unlabelled[i].present, want);
    // One cell per class, the same in every row of it (the clients check the names); the
    // missing class where there are no labels.
    const auto [it, fresh] = cellOf.emplace(set.classOf[i], labelled[i].cls);
    EXPECT_EQ(it->second, labelled[i].cls);
    if (fresh) cells.insert(labelled[i].cls);
    const std::map<std::string, std::string> missing = {
        {"libsvm", "0"}, {"arff", "?"}, {"sparse-arff", "?"}, {"csv", ""}, {"tsv", ""}};
    EXPECT_EQ(unlabelled[i].cls, missing.at(format));
  }
  EXPECT_EQ(cells.size(), set.classNames.size());
}

INSTANTIATE_TEST_SUITE_P(Workflow, TableFormats,
                         ::testing::Values("arff", "sparse-arff", "csv", "tsv", "libsvm"),
                         [](const auto& info) {
                           std::string n = info.param;
                           n.erase(std::remove(n.begin(), n.end(), '-'), n.end());
                           return n;
                         });

// Python's csv module and scikit-learn read the CSV, TSV and LibSVM tables as the program wrote
// them.
TEST(WorkflowTables, PythonClientsReadTheTables) {
  TempDir dir;
  std::mt19937 rng(5);
  LabelledSet set = random_set(rng, 3, 5, 9, 20, 60);
  set.classNames = {"a,b", "say \"hi\"", "plain"};
  dir.write("s.fa", set.fasta());
  dir.write("labels.tsv", set.label_table());
  run_ok(dir, words("mine ng -i s.fa -l labels.tsv -o f.tsv"));
  for (const std::string table : {"t.csv", "t.tsv", "t.libsvm"})
    run_ok(dir, words("encode -f f.tsv -i s.fa -l labels.tsv -o " + table));
  run_ok(dir, words("encode -f f.tsv -i s.fa -o u.csv"));
  const std::vector<std::string> features = feature_texts(dir.read("f.tsv"));
  const size_t n = features.size();
  std::vector<std::string> values;  // each row's 0/1 values
  for (const std::string& seq : set.sequences) {
    values.emplace_back();
    for (const std::string& f : features)
      values.back() += seq.find(f) != std::string::npos ? '1' : '0';
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
