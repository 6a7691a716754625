// The workflow commands on inputs that would make them work without end, write tables their
// readers refuse, or say what went wrong in words nobody can act on: each is refused with one
// error line naming what to change, or written so that Weka and pandas read it.
#include <gtest/gtest.h>
#include <zlib.h>

#include <map>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"
#include "support/weka.h"

namespace {
std::string random_residues(std::mt19937& rng, size_t length) {
  static const std::string kResidues = "ACDEFGHIKLMNPQRSTVWY";
  std::string s(length, 'A');
  for (char& c : s) c = kResidues[rng() % kResidues.size()];
  return s;
}

std::string gzip(const std::string& text) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&z, text.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// A command line that must fail: its status, its one error line (begins with `head`, ends with
// `tail`), the help line after a usage error, and the folder as it was.
struct Refusal {
  std::string line;
  int status;
  std::string head, tail = "";
  std::string input = "";
};

void expect_refusals(const TempDir& dir, const std::vector<Refusal>& cases) {
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.line);
    const std::vector<std::string> args = words(c.line);
    const std::map<std::string, std::string> before = dir.contents();
    const ProgramResult r = run_program(dir, args, c.input);
    EXPECT_EQ(r.status, c.status) << r.err;
    const std::string help =
        c.status == 2 ? "run \"protfeat " + args[0] + " --help\" for the options\n" : "";
    ASSERT_GE(r.err.size(), help.size() + 1);
    EXPECT_EQ(r.err.substr(r.err.size() - help.size()), help);
    const std::string line = r.err.substr(0, r.err.size() - help.size());
    EXPECT_EQ(line.rfind("error: " + c.head, 0), 0u) << line;
    EXPECT_TRUE(line.ends_with(c.tail + "\n")) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.contents(), before);
  }
}
}  // namespace

TEST(WorkflowBounds, MiningPastItsBoundIsRefusedBeforeAnyFileIsWritten) {
  TempDir dir;
  std::mt19937 rng(3);
  // Every substring of one sequence occurs in a quarter of the sequences: some 4.5 million
  // motifs, 4.5 GB of features file, refused as soon as the walk passes 1 GB.
  const std::string one = random_residues(rng, 3000);
  dir.write("one.fa", ">s1\n" + one + "\n");
  std::string four;
  for (const std::string c : {"x", "x", "y", "y"})
    four += ">s" + std::to_string(four.size()) + " " + c + "\n" + random_residues(rng, 3000) + "\n";
  dir.write("four.fa", four);
  const LabelledSet set = random_set(rng, 2, 4, 6, 30, 60);
  dir.write("s.fa", set.fasta());
  run_ok(dir, words("mine ma -i s.fa -o all.tsv --min-sequences 2"));
  const size_t all = feature_lines(dir.read("all.tsv")).size();
  ASSERT_GT(all, 10u);
  std::filesystem::remove(dir.path() / "all.tsv");
  const std::string bytes =
      "): raise --max-features (100 bytes a motif), or raise --min-sequences or --min-length, or "
      "give --max-length";
  const std::string limit = std::to_string(all - 1);
  expect_refusals(
      dir,
      {
          {"mine ma -i one.fa -o f.tsv", 1, "a features file of more than 1000000000 bytes (",
           "min-sequences 1, min-length 3, on 1 sequence" + bytes},
          // folds mines the training part of each fold: two sequences here.
          {"folds ma -i four.fa --header-labels -k 2 -d out", 1,
           "a features file of more than 1000000000 bytes (",
           "min-sequences 1, min-length 3, on 2 sequences" + bytes},
          {"mine ma -i s.fa -o f.tsv --min-sequences 2 --max-features " + limit, 1,
           "more than " + limit + " motifs (min-sequences 2, min-length 3, on " +
               std::to_string(set.ids.size()) +
               " sequences): raise --max-features, or raise --min-sequences or --min-length"},
          {"mine ma -i one.fa -o f.tsv --distance 3", 2,
           "--distance 3 is not below --min-length 3: a motif of length 3 or less occurs within "
           "that distance in every sequence"},
          {"mine ma -i one.fa -o f.tsv --max-length 2", 2,
           "--max-length 2 is below --min-length 3"},
      });
  // Exactly the bound passes; so does the one sequence with its motifs kept short.
  run_ok(dir,
         words("mine ma -i s.fa -o f.tsv --min-sequences 2 --max-features " + std::to_string(all)));
  EXPECT_EQ(feature_lines(dir.read("f.tsv")).size(), all);
  EXPECT_NE(dir.read("f.tsv").find("#setting\tmax-features\t" + std::to_string(all) + "\n"),
            std::string::npos);
  run_ok(dir, words("mine ma -i one.fa -o short.tsv --max-length 6"));
  const std::vector<std::string> texts = feature_texts(dir.read("short.tsv"));
  EXPECT_GT(texts.size(), 2900u);
  for (const std::string& t : texts) EXPECT_TRUE(t.size() >= 3 && t.size() <= 6) << t;
  // A distance below the shortest motif is a search of its own.
  run_ok(dir, words("mine ma -i s.fa -o d.tsv --min-sequences 2 --distance 1 --min-length 4"));
  EXPECT_GT(feature_lines(dir.read("d.tsv")).size(), 0u);
}

TEST(WorkflowBounds, FeaturesFilesAreRefusedOrWrittenSoEveryClientReadsThem) {
  TempDir dir;
  dir.write("s.fa", ">a x\nMKCLASSIDW\n>b y\nIDCLASSMK\n>c x\nWWW\n");
  const std::string head = "#protfeat\t2.0.0\n#approach\tng\n#setting\tn\t3\n";
  const std::string columns = "#columns\tfeature\tsequences\n";
  dir.write("repeated.tsv", head + "#class\tx\n" + columns + "ACD\t1\nCDE\t2\nACD\t1\n");
  dir.write("class.tsv", head + "#class\tx\n" + columns + "ACD\t1\nclass\t2\n");
  dir.write("id.tsv", head + columns + "id\t2\n");
  dir.write("nothing.tsv", head + columns);
  dir.write("ma.tsv",
            "#protfeat\t2.0.0\n#approach\tma\n#setting\tmin-length\t3\n#setting\tdistance\t3\n" +
                columns + "ACD\t1\n");
  expect_refusals(
      dir,
      {
          {"encode -f repeated.tsv -i s.fa -o t.arff", 1,
           "repeated.tsv, line 8: the feature \"ACD\" is listed already at line 6"},
          {"encode -f class.tsv -i s.fa -o t.csv", 1,
           "class.tsv, line 7: the feature \"class\" has the name of the class column of the "
           "tables"},
          {"encode -f id.tsv -i s.fa -o t.arff", 1,
           "id.tsv, line 5: the feature \"id\" has the name of the id column of the tables"},
          {"encode -f nothing.tsv -i s.fa -o t.csv", 1,
           "nothing.tsv, line 4: no feature and no class: a table would have nothing to declare"},
          {"encode -f ma.tsv -i s.fa -o t.csv", 1,
           "ma.tsv, line 4: distance 3 is not below min-length 3"},
      });
  // mine writes such a file when it finds nothing without labels, and says what encode will do.
  const ProgramResult none =
      run_program(dir, words("mine ma -i s.fa -o none.tsv --min-length 11"), "");
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.err,
            "warning: ma found no feature in 3 sequences; without labels the features file "
            "declares nothing, and encode will refuse it\n");
  expect_refusals(dir, {{"encode -f none.tsv -i s.fa -o t.csv", 1,
                         "none.tsv, line 9: no feature and no class"}});

  // Without classes a feature may be named class: no class column to clash with. mine's own
  // n-grams are upper case (CLASS, ID), never the tables' own lower-case names.
  dir.write("unlabelled.tsv", head + columns + "class\t2\nMKC\t1\n");
  run_ok(dir, words("encode -f unlabelled.tsv -i s.fa -o u.csv"));
  EXPECT_EQ(dir.read("u.csv"), "id,class,MKC\na,0,1\nb,0,0\nc,0,0\n");
  run_ok(dir, words("mine ng -n 5 -i s.fa --header-labels -o ng.tsv"));
  run_ok(dir, words("mine ng -n 2 -i s.fa --header-labels -o id.tsv"));
  const std::vector<std::string> grams = feature_texts(dir.read("ng.tsv"));
  ASSERT_NE(std::find(grams.begin(), grams.end(), "CLASS"), grams.end());
  const std::vector<std::string> pairs = feature_texts(dir.read("id.tsv"));
  ASSERT_NE(std::find(pairs.begin(), pairs.end(), "ID"), pairs.end());
  for (const std::string f : {"ng", "id"})
    for (const std::string ext : {"arff", "csv"})
      run_ok(dir, words("encode -f " + f + ".tsv -i s.fa --header-labels -o " + f + "." + ext));
  if (weka_available()) {
    for (const std::string table : {"ng.arff", "id.arff"}) {
      std::string out;
      EXPECT_TRUE(weka_parses((dir.path() / table).string(), &out)) << out;
    }
  }
  // Every column under its own name, the class last; pandas where it is installed, else the
  // csv module.
  EXPECT_EQ(python_output(dir, R"(import sys, csv
try:
    import pandas
    columns = lambda name: list(pandas.read_csv(name, keep_default_na=False).columns)
except ImportError:
    columns = lambda name: next(csv.reader(open(name, newline='')))
for name in sys.argv[1:]:
    c = columns(name)
    print(len(c) == len(set(c)), c[0], c[-1])
)",
                          "ng.csv id.csv"),
            "True id class\nTrue id class\n");
}

TEST(WorkflowBounds, ErrorsNameWhatToFix) {
  TempDir dir;
  dir.write("s.fa", ">a x\nACDE\n>b y\nCDEF\n");
  dir.write("esc.fa", ">a\x1b[31m x\nACDE\n>a\x1b[31m y\nCDEF\n");
  dir.write("esc.tsv", "a\tx\x1b]0;\x07\nb\ty\n");
  dir.write("empty.fa", "");
  dir.write("file", "not a folder");
  const std::string one = ">a\nACDEF\n", two = ">b\nCDEFG\n";
  dir.write("junk.fa.gz", gzip(one) + two);
  dir.write("two.fa.gz", gzip(one) + gzip(two));
  run_ok(dir, words("mine ng -i s.fa --header-labels -o f.tsv"));
  dir.write("long.tsv",
            "#protfeat\t2.0.0\n#approach\tng\n#setting\tn\t3\n#columns\tfeature\t"
            "sequences\nACD\t18446744073709551616\n");
  dir.write("longset.tsv", "#protfeat\t2.0.0\n#approach\tng\n#setting\tn\t99999999999999999999\n");
  expect_refusals(
      dir,
      {
          {"mine ng -i esc.fa -o o.tsv", 1,
           "esc.fa, line 3: the id \"a\\x1B[31m\" is already the id of the sequence at line 1"},
          {"encode -f f.tsv -i s.fa -l esc.tsv -o t.csv", 1,
           "esc.tsv: the class \"x\\x1B]0;\\x07\" of the sequence \"a\" is not one of the "
           "classes of the features file \"f.tsv\""},
          {"mine ng -i - -o o.tsv", 1, "standard input holds no sequence"},
          {"encode -f f.tsv -i empty.fa -o t.csv", 1,
           "the sequence file \"empty.fa\" holds no sequence"},
          {"folds ng -i - --header-labels -k 3 -d out", 1,
           "3 folds need 3 sequences at least; standard input holds 2", "", dir.read("s.fa")},
          {"folds ng -i s.fa --header-labels -k 2 -d file", 1,
           "\"file\" is a file, not a folder: give -d a folder that does not exist, or is empty"},
          {"encode -f long.tsv -i s.fa -o t.csv", 1,
           "long.tsv, line 5: the column sequences must be a whole number of at least 0, not "
           "\"18446744073709551616\""},
          {"encode -f longset.tsv -i s.fa -o t.csv", 1,
           "longset.tsv, line 3: the setting n must be a whole number from 1 to 1048576, not "
           "\"99999999999999999999\""},
          {"mine ng -i junk.fa.gz -o o.tsv", 1,
           "the sequence file \"junk.fa.gz\" has bytes after its gzip data that are not gzip "
           "data"},
      });
  // Members one after another are one text.
  run_ok(dir, words("mine ng -i two.fa.gz -o two.tsv -n 5"));
  EXPECT_EQ(feature_texts(dir.read("two.tsv")), (std::vector<std::string>{"ACDEF", "CDEFG"}));
}
