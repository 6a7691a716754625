// The values of encode's cells beyond presence, and several features files in one table:
// counts and tf-idf against scikit-learn's on the same n-grams in every format, train and test;
// Weka training and testing on numeric tf-idf ARFF; files side by side, with their own idf,
// their own norm and their prefixed shared names; and features files written before the
// training frequencies were recorded.
#include <gtest/gtest.h>

#include <map>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"
#include "support/weka.h"

namespace {
// The sets of one round: every third sequence held out for the test part.
void write_split(const TempDir& dir, const LabelledSet& set, const std::string& extra = "") {
  std::vector<size_t> train, test;
  for (size_t i = 0; i < set.ids.size(); ++i) (i % 3 == 2 ? test : train).push_back(i);
  dir.write("train.fa", set.fasta(train) + extra);
  dir.write("test.fa", set.fasta(test));
}

// A dd features file as written before the #training line and the sequences column, its last.
std::string as_old_file(const std::string& file) {
  std::string old;
  bool header = true;
  for (const std::string& line : text_lines(file)) {
    if (line.rfind("#training\t", 0) == 0) continue;
    const bool columns = header && line.rfind("#columns\t", 0) == 0;
    old += (header && !columns ? line : line.substr(0, line.rfind('\t'))) + "\n";
    header = header && !columns;
  }
  return old;
}

}  // namespace

TEST(WorkflowValues, CountsAndTfidfAreScikitLearnsInEveryFormat) {
  if (!python_has("sklearn")) GTEST_SKIP() << "scikit-learn is not installed";
  std::mt19937 rng(17);
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TempDir dir;
    const int n = 2 + round % 2;
    // Few letters give counts above 1; a long run of one residue a count past any small table;
    // a test sequence of letters no training sequence holds an empty row.
    const LabelledSet set = random_set(rng, 3, 4, 8, 10, 80, round == 1 ? 20 : 4);
    write_split(dir, set, ">long fam1\n" + std::string(700, 'A') + "\n");
    dir.write("test.fa", dir.read("test.fa") + ">none fam2\nWWWWYY\n");
    run_ok(dir, words("mine ng -i train.fa --header-labels -o f.tsv -n " + std::to_string(n)));
    std::string tables;
    for (const std::string part : {"train", "test"})
      for (const std::string kind : {"count", "tfidf"})
        for (const std::string ext : {"libsvm", "csv", "tsv", "arff", "sparse.arff"}) {
          const std::string table = part + "." + kind + "." + ext;
          run_ok(dir, words("encode -f f.tsv -i " + part + ".fa --header-labels --values " + kind +
                            " -o " + table));
          tables += " " + table;
        }
    const std::string out =
        python_output(dir, read_file(source_path("tests/e2e/sklearn_values.py")),
                      std::to_string(n) + " f.tsv train.fa test.fa" + tables);
    EXPECT_EQ(text_lines(out).size(), 21u) << out;
    EXPECT_EQ(out.substr(out.size() - 3), "ok\n") << out;
  }
}

TEST(WorkflowValues, WekaTrainsAndTestsOnNumericTfidfArff) {
  if (!weka_available()) GTEST_SKIP() << "Weka is not installed";
  TempDir dir;
  std::vector<double> accuracy;
  for (const std::string format : {"arff", "sparse-arff"}) {
    run_ok(dir, words("folds dd -i " + source_path("data/Sample.txt") +
                      " --header-labels -k 3 --alpha 0.5 --beta 0.2 --values tfidf -d " + format +
                      " --format " + format));
    const std::filesystem::path fold = dir.path() / format / "fold-01";
    size_t attributes = 0;
    for (const std::string& line : text_lines(read_file(fold / "train.arff")))
      if (line.rfind("@attribute ", 0) == 0 && line.rfind("@attribute class ", 0) != 0) {
        EXPECT_TRUE(line.ends_with(" numeric")) << line;
        ++attributes;
      }
    EXPECT_GT(attributes, 20u);
    const WekaResult w = weka_train_test(fold / "train.arff", fold / "test.arff");
    ASSERT_TRUE(w.ok) << w.output;
    accuracy.push_back(w.accuracy);
  }
  EXPECT_EQ(accuracy[0], accuracy[1]);
  EXPECT_GT(accuracy[0], 70.0);
}

TEST(WorkflowValues, SeveralFeaturesFilesSideBySideAndOlderFiles) {
  TempDir dir;
  std::mt19937 rng(23);
  const LabelledSet set = random_set(rng, 3, 6, 9, 20, 50, 8);
  write_split(dir, set);
  run_ok(dir, words("mine dd -i train.fa --header-labels -o dd.tsv --alpha 0.5 --beta 0.2"));
  run_ok(dir, words("mine ng -i train.fa --header-labels -o ng.tsv -n 3"));
  run_ok(dir, words("mine ng -i train.fa -o plain.tsv -n 2"));  // without labels
  const std::vector<std::string> dd = feature_texts(dir.read("dd.tsv")),
                                 ng = feature_texts(dir.read("ng.tsv")),
                                 plain = feature_texts(dir.read("plain.tsv"));
  ASSERT_FALSE(dd.empty());

  // The header: each file's columns in the order given, those that several files name (the
  // descriptors of 2 and 3 letters) with the file's number; one class column.
  run_ok(dir, words("encode -f dd.tsv -f ng.tsv -f plain.tsv -i test.fa --header-labels -o t.csv"));
  std::map<std::string, int> files;
  for (const auto* list : {&dd, &ng, &plain})
    for (const std::string& f : *list) ++files[f];
  std::string header = "id";
  size_t shared = 0, number = 0;
  for (const auto* list : {&dd, &ng, &plain}) {
    ++number;
    for (const std::string& f : *list) {
      shared += files[f] > 1;
      header += "," + (files[f] > 1 ? std::to_string(number) + ":" + f : f);
    }
  }
  EXPECT_GT(shared, 0u);
  EXPECT_EQ(text_lines(dir.read("t.csv"))[0], header + ",class");

  // Each file's block of a row is the table of that file alone, for tf-idf with its own idf and
  // its own unit length; the labelled files give the class.
  for (const std::string f : {"dd", "ng", "plain"})
    run_ok(dir, words("encode -f " + f + ".tsv -i test.fa --values tfidf -o " + f + ".libsvm"));
  run_ok(dir, words("encode -f dd.tsv -f ng.tsv -f plain.tsv -i test.fa --header-labels "
                    "--values tfidf -o all.libsvm"));
  // Row i of all.libsvm: its class, then the cells of each file's row i, the columns shifted.
  std::vector<std::string> want;
  for (size_t i = 2; i < set.ids.size(); i += 3) want.push_back(std::to_string(set.classOf[i] + 1));
  size_t offset = 0;
  for (const std::string f : {"dd", "ng", "plain"}) {
    const std::vector<std::string> rows = text_lines(dir.read(f + ".libsvm"));
    ASSERT_EQ(rows.size(), want.size());
    for (size_t i = 0; i < rows.size(); ++i)
      for (const std::string& cell : words(rows[i].substr(rows[i].find(' ') + 1)))
        if (cell.find(':') != std::string::npos)  // an empty row is its label alone
          want[i] += " " + std::to_string(std::stoul(cell) + offset) + cell.substr(cell.find(':'));
    offset += feature_texts(dir.read(f + ".tsv")).size();
  }
  EXPECT_EQ(text_lines(dir.read("all.libsvm")), want);

  // Files that name other classes, or the same in another order, cannot share a table.
  dir.write("swapped.tsv", ">a fam2\nACDEFGHIK\n>b fam1\nKIHGFEDCA\n>c fam3\nAAAA\n");
  run_ok(dir, words("mine ng -i swapped.tsv --header-labels -o other.tsv -n 2"));
  const ProgramResult r = run_program(dir,
                                      words("encode -f dd.tsv -f plain.tsv -f other.tsv -i "
                                            "test.fa -o bad.csv"),
                                      "");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "error: the features files \"dd.tsv\" and \"other.tsv\" list different classes (or in "
            "another order): the columns of one table share one class attribute, so combine "
            "files mined with the same labels\n");
  EXPECT_FALSE(dir.exists("bad.csv"));

  // A file written before #training and the dd sequences column: binary and count tables as
  // before, tf-idf refused with the way out.
  dir.write("old.tsv", as_old_file(dir.read("dd.tsv")));
  ASSERT_EQ(dir.read("old.tsv").find("#training"), std::string::npos);
  for (const std::string kind : {"binary", "count"}) {
    run_ok(dir, words("encode -f dd.tsv -i test.fa --values " + kind + " -o new.tsv"));
    run_ok(dir, words("encode -f old.tsv -i test.fa --values " + kind + " -o old.table.tsv"));
    EXPECT_EQ(dir.read("old.table.tsv"), dir.read("new.tsv")) << kind;
  }
  const ProgramResult old =
      run_program(dir, words("encode -f dd.tsv -f old.tsv -i test.fa --values tfidf -o t.csv"), "");
  EXPECT_EQ(old.status, 1);
  EXPECT_EQ(old.err,
            "error: the features file \"old.tsv\" does not record the training frequencies that "
            "tf-idf values need (it was written by an earlier version): mine it again\n");
}
