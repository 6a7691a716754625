// The tables of encode and folds as their readers see them: Weka trains on a training table and
// tests on the test table of the same features (dense and sparse ARFF), Python's csv module reads
// the CSV, scikit-learn reads the LibSVM file, and every format holds the same matrix. folds
// mines each fold's features on its training part only, the same for the same seed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"
#include "support/weka.h"

namespace {
const char* kPython = "/usr/bin/python3";

// The @attribute class line of an ARFF file.
std::string class_line(const std::string& arff) {
  for (const std::string& line : text_lines(arff))
    if (line.rfind("@attribute class ", 0) == 0) return line;
  return "";
}

bool python_has(const std::string& module) {
  return access(kPython, X_OK) == 0 &&
         std::system((std::string(kPython) + " -c 'import " + module + "' 2>/dev/null").c_str()) ==
             0;
}

// The dense matrix of a CSV or TSV table as "id:0101...:class" lines (no quoting in these tests).
std::vector<std::string> dense_matrix(const std::string& table, char sep) {
  std::vector<std::string> rows;
  const std::vector<std::string> lines = text_lines(table);
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> cells;
    std::istringstream in(lines[i]);
    for (std::string cell; std::getline(in, cell, sep);) cells.push_back(cell);
    if (!lines[i].empty() && lines[i].back() == sep) cells.push_back("");
    std::string row = cells.front() + ":";
    for (size_t c = 1; c + 1 < cells.size(); ++c) row += cells[c];
    rows.push_back(row + ":" + cells.back());
  }
  return rows;
}
}  // namespace

TEST(WorkflowTables, WekaTrainsOnFoldsAndTestsDenseAndSparse) {
  if (!weka_available()) GTEST_SKIP() << "Weka is not installed";
  TempDir dir;
  const std::string seqs = source_path("data/Sample.txt"),
                    classes = source_path("data/Sample.classes.txt");
  double accuracy[2] = {0, 0};
  const char* formats[2] = {"arff", "sparse-arff"};
  for (int f = 0; f < 2; ++f) {
    const std::string out = std::string("folds-") + formats[f];
    const ProgramResult r =
        run_ok(dir, {"folds", "dd", "-i", seqs, "-l", classes, "-k", "3", "-d", out, "--alpha",
                     "0.5", "--beta", "0.2", "--format", formats[f]});
    EXPECT_NE(r.out.find("fold-03: "), std::string::npos) << r.out;
    const std::string train = (dir.path() / out / "fold-02" / "train.arff").string();
    const std::string test = (dir.path() / out / "fold-02" / "test.arff").string();
    EXPECT_EQ(class_line(read_file(train)), "@attribute class {globin,fn3,pkinase,rrm}");
    EXPECT_EQ(class_line(read_file(train)), class_line(read_file(test)));
    const WekaResult w = weka_train_test(train, test);
    ASSERT_TRUE(w.ok) << w.output;
    accuracy[f] = w.accuracy;
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
  set.classNames = {"a,b", "say \"hi\"", "plain"};  // names that CSV must quote
  dir.write("s.fa", set.fasta());
  dir.write("labels.tsv", set.label_table());
  run_ok(dir, {"mine", "ng", "-i", "s.fa", "-l", "labels.tsv", "-o", "f.tsv"});
  for (const char* ext : {"csv", "tsv", "libsvm", "arff"})
    run_ok(dir, {"encode", "-f", "f.tsv", "-i", "s.fa", "-o", std::string("t.") + ext});
  run_ok(dir, {"encode", "-f", "f.tsv", "-i", "s.fa", "-l", "labels.tsv", "-o", "l.tsv"});

  const std::vector<std::string> tsv = dense_matrix(dir.read("t.tsv"), '\t');
  ASSERT_EQ(tsv.size(), set.ids.size());
  const std::vector<std::string> labelled = dense_matrix(dir.read("l.tsv"), '\t');
  EXPECT_EQ(labelled.back().substr(labelled.back().rfind(':')),
            ":" + set.classNames[set.classOf.back()]);
  // Without labels every class is missing: an empty cell.
  for (const std::string& row : tsv) EXPECT_EQ(row.back(), ':');

  if (python_has("csv")) {
    // Python's csv module reads the quoted header and the rows back into the same cells.
    dir.write("read.py",
              "import csv\n"
              "rows = list(csv.reader(open('t.csv', newline='')))\n"
              "with open('py.txt', 'w') as out:\n"
              "    out.write('|'.join(rows[0]) + '\\n')\n"
              "    for r in rows[1:]:\n"
              "        out.write(r[0] + ':' + ''.join(r[1:-1]) + ':' + r[-1] + '\\n')\n");
    ASSERT_EQ(std::system(("cd " + dir.path().string() + " && " + kPython + " read.py").c_str()),
              0);
    const std::vector<std::string> lines = text_lines(dir.read("py.txt"));
    ASSERT_EQ(lines.size(), tsv.size() + 1);
    EXPECT_EQ(lines[0].substr(lines[0].rfind('|')), "|class");
    for (size_t i = 0; i < tsv.size(); ++i) EXPECT_EQ(lines[i + 1], tsv[i]);
  }
  if (python_has("sklearn")) {
    // scikit-learn reads the LibSVM file; its dense form equals the TSV matrix.
    dir.write("svm.py",
              "from sklearn.datasets import load_svmlight_file\n"
              "import sys\n"
              "n = int(sys.argv[1])\n"
              "X, y = load_svmlight_file('t.libsvm', n_features=n)\n"
              "with open('svm.txt', 'w') as out:\n"
              "    for i in range(X.shape[0]):\n"
              "        out.write('%d:' % y[i] + ''.join(str(int(v)) for v in X[i].toarray()[0]) + "
              "'\\n')\n");
    const size_t features = feature_texts(dir.read("f.tsv")).size();
    ASSERT_EQ(std::system(("cd " + dir.path().string() + " && " + kPython + " svm.py " +
                           std::to_string(features))
                              .c_str()),
              0);
    const std::vector<std::string> lines = text_lines(dir.read("svm.txt"));
    ASSERT_EQ(lines.size(), tsv.size());
    for (size_t i = 0; i < tsv.size(); ++i) {
      const std::string& t = tsv[i];
      EXPECT_EQ(lines[i], "0:" + t.substr(t.find(':') + 1, t.rfind(':') - t.find(':') - 1));
    }
  }
  // ARFF rows hold the same values, with '?' for the missing class.
  const std::vector<std::string> arff =
      text_lines(dir.read("t.arff").substr(dir.read("t.arff").find("@data\n") + 6));
  ASSERT_EQ(arff.size(), tsv.size());
  for (size_t i = 0; i < arff.size(); ++i) {
    std::string values = arff[i];
    values.erase(std::remove(values.begin(), values.end(), ','), values.end());
    const std::string& t = tsv[i];
    EXPECT_EQ(values, t.substr(t.find(':') + 1, t.rfind(':') - t.find(':') - 1) + "?");
  }
}

TEST(WorkflowTables, FoldsMineOnTheTrainingPartOnlyAndRepeatForASeed) {
  TempDir dir;
  std::mt19937 rng(11);
  const LabelledSet set = random_set(rng, 3, 4, 11, 15, 50, 8);
  dir.write("s.fa", set.fasta());
  dir.write("c.txt", set.classification_file());
  const std::vector<std::string> base = {"folds",  "dd",  "-i",       "s.fa",    "-l",
                                         "c.txt",  "-k",  "3",        "--alpha", "0.6",
                                         "--beta", "0.3", "--format", "tsv",     "-d"};
  auto folds = [&](const std::string& out, const std::string& seed) {
    std::vector<std::string> a = base;
    a.push_back(out);
    a.insert(a.end(), {"--seed", seed});
    return run_ok(dir, a);
  };
  folds("one", "7");
  folds("again", "7");
  folds("other", "8");
  EXPECT_EQ(dir.read("one/folds.tsv"), dir.read("again/folds.tsv"));
  EXPECT_NE(dir.read("one/folds.tsv"), dir.read("other/folds.tsv"));
  EXPECT_EQ(dir.read("one/fold-03/train.tsv"), dir.read("again/fold-03/train.tsv"));

  // Each class spread over the folds as evenly as its size allows; the test parts cover every
  // sequence once.
  std::map<std::string, std::string> foldOf;
  const std::vector<std::string> lines = text_lines(dir.read("one/folds.tsv"));
  ASSERT_EQ(lines.front(), "id\tfold");
  for (size_t i = 1; i < lines.size(); ++i)
    foldOf[lines[i].substr(0, lines[i].find('\t'))] = lines[i].substr(lines[i].find('\t') + 1);
  ASSERT_EQ(foldOf.size(), set.ids.size());
  for (size_t c = 0; c < set.classNames.size(); ++c) {
    std::map<std::string, int> perFold;
    for (size_t i = 0; i < set.ids.size(); ++i)
      if (set.classOf[i] == c) ++perFold[foldOf[set.ids[i]]];
    int lo = 1 << 30, hi = 0;
    for (const char* f : {"1", "2", "3"}) {
      lo = std::min(lo, perFold[f]);
      hi = std::max(hi, perFold[f]);
    }
    EXPECT_LE(hi - lo, 1) << set.classNames[c];
  }

  // Fold 2's features are what mine finds on the other folds alone, and its tables are what
  // encode writes with them.
  std::vector<size_t> train, test;
  for (size_t i = 0; i < set.ids.size(); ++i)
    (foldOf[set.ids[i]] == "2" ? test : train).push_back(i);
  dir.write("train.fa", set.fasta(train));
  dir.write("test.fa", set.fasta(test));
  run_ok(dir, {"mine", "dd", "-i", "train.fa", "--header-labels", "-o", "f.tsv", "--alpha", "0.6",
               "--beta", "0.3"});
  const std::string folded = dir.read("one/fold-02/features.tsv");
  EXPECT_GT(feature_texts(folded).size(), 0u);
  EXPECT_EQ(folded, dir.read("f.tsv"));
  run_ok(dir, {"encode", "-f", "one/fold-02/features.tsv", "-i", "test.fa", "--header-labels", "-o",
               "test.tsv"});
  EXPECT_EQ(dir.read("test.tsv"), dir.read("one/fold-02/test.tsv"));
}
