// The workflow commands on the inputs users really have, and on broken ones: FASTA quirks,
// gzip and standard input, the three label sources, and every kind of bad input, which must give
// one clear error line, its exit status and no output file at all.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"

namespace {
const std::string kFasta = ">a x\nACDE\n>b y\nCDEF\n>c x\nACDF\n";
const std::string kClasses = "#n\n2\n#classes\nx\ny\n#data\nx\ny\nx\n";

// Writes `bytes` gzip-compressed as `name` and returns the compressed bytes.
std::string write_gzip(const TempDir& dir, const std::string& name, const std::string& bytes) {
  gzFile z = gzopen((dir.path() / name).c_str(), "wb");
  gzwrite(z, bytes.data(), static_cast<unsigned>(bytes.size()));
  gzclose(z);
  return dir.read(name);
}

}  // namespace

TEST(WorkflowInputs, FastaQuirksGzipAndStandardInputReadAlike) {
  TempDir dir;
  // Blank lines before the first header, CRLF line ends, lower case, gaps, '*', blanks, an empty
  // record and a last line without its line end.
  const std::string messy =
      "\n  \n>a x desc\r\nac-DE\r\n>b\ty\r\n C.D E F*\r\n>empty x\n>c x\nAC\nDF";
  dir.write("m.fa", messy);
  const std::string packed = write_gzip(dir, "m.fa.gz", messy);
  dir.write("plain.fa", ">a x\nACDE\n>b y\nCDEF\n>empty x\n>c x\nACDF\n");
  run_ok(dir, words("mine ng -i plain.fa --header-labels -o f.tsv -n 2"));
  run_ok(dir, words("encode -f f.tsv -i plain.fa --header-labels -o want.csv"));
  EXPECT_EQ(
      dir.read("want.csv"),
      "id,AC,CD,DE,EF,DF,class\na,1,1,1,0,0,x\nb,0,1,1,1,0,y\nempty,0,0,0,0,0,x\nc,1,1,0,0,1,x\n");
  for (const std::string file : {"m.fa", "m.fa.gz", "-"}) {
    run_ok(dir, words("encode -f f.tsv --header-labels -o got.csv -i " + file),
           file == "-" ? packed : "");
    EXPECT_EQ(dir.read("got.csv"), dir.read("want.csv")) << file;
  }
}

TEST(WorkflowInputs, LabelSourcesAgreeAndClassesNeedNotBeGrouped) {
  TempDir dir;
  dir.write("s.fa", kFasta);
  dir.write("c.txt", kClasses);
  dir.write("t.tsv", "b\ty\na\tx\nc\tx\n");
  // One table for a whole project: ids beyond the sequences, and a class only they name.
  dir.write("project.tsv", "q\tw\nb\ty\nd\ty\na\tx\nz\tw\nc\tx\n");
  std::vector<std::string> features;  // with a classification file, header labels, tables
  for (const std::string labels : {"-l c.txt", "--header-labels", "-l t.tsv", "-l project.tsv"}) {
    run_ok(dir, words("mine dd -i s.fa -o f.tsv --alpha 1 --beta 0 " + labels));
    features.push_back(dir.read("f.tsv"));
  }
  const std::string& grouped = features[0];
  EXPECT_EQ(features[1], grouped);
  // Interleaved labels keep every sequence: the x descriptors cover both x sequences.
  EXPECT_NE(grouped.find("\tx\t2/2\t2\n"), std::string::npos) << grouped;
  // The table's classes come in its own order (y first): the same features, other class lines.
  const std::string& table = features[2];
  EXPECT_NE(table.find("#class\ty\n#class\tx\n"), std::string::npos) << table;
  EXPECT_EQ(feature_texts(table), feature_texts(grouped));
  EXPECT_EQ(features[3], table);
  run_ok(dir, words("encode -f f.tsv -i s.fa -l project.tsv -o p.csv"));
  run_ok(dir, words("encode -f f.tsv -i s.fa -l t.tsv -o t.csv"));
  EXPECT_EQ(dir.read("p.csv"), dir.read("t.csv"));
}

TEST(WorkflowInputs, BadInputGivesOneErrorLineItsStatusAndNoOutput) {
  TempDir dir;
  dir.write("s.fa", kFasta);
  dir.write("c.txt", kClasses);
  dir.write("garbage.bin", std::string("\x7f"
                                       "ELF\x02\x01\x01\0\0\0>x\n\x90\x91",
                                       16));
  dir.write("digits.fa", ">a\nACD\n>b\nAC1D\n");
  dir.write("dup.fa", ">a\nACD\n>b\nCDE\n>a\nDEF\n");
  dir.write("unknown.txt", "#n\n2\n#classes\nx\ny\n#data\nx\nz\nx\n");
  dir.write("short.txt", "#n\n2\n#classes\nx\ny\n#data\nx\ny\n");
  dir.write("long.txt", kClasses + "y\n");
  dir.write("twice.txt", "#n\n2\n#classes\nx\nx\n#data\nx\nx\nx\n");
  dir.write("missing.tsv", "a\tx\nb\ty\n");
  dir.write("dupid.tsv", "a\tx\nb\ty\nc\tx\na\ty\n");
  dir.write("nolabel.fa", ">a x\nACD\n>b\nCDE\n");
  std::string big = ">a\n";
  for (int i = 0; i < 20000; ++i) big += "ACDEFGHIKLMNPQRSTVWY\n";
  const std::string packed = write_gzip(dir, "trunc.fa.gz", big);
  dir.write("trunc.fa.gz", packed.substr(0, packed.size() / 2));
  run_ok(dir, words("mine ng -i s.fa -l c.txt -o f.tsv"));
  dir.write("bad.tsv",
            "#protfeat\t2.0.0\n#approach\tng\n#columns\tfeature\tsequences\nACD\t1\t2\n");
  dir.write("other.tsv",
            "#protfeat\t2.0.0\n#approach\tng\n#class\tx\n#columns\tfeature\tsequences\nACD\t1\n");

  // Each command line, and what its error line says; nothing for a usage error (status 2, the
  // command line's own test checks those lines).
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"mine", ""},
      {"mine xx -i s.fa -o f.tsv", ""},
      {"mine dd -i s.fa -o f.tsv --header-labels", ""},         // no thresholds
      {"mine dd -i s.fa -o f.tsv --alpha 0.5 --beta 0.2", ""},  // no labels
      {"mine dd -i s.fa -o f.tsv --header-labels --alpha 2 --beta 0.1", ""},
      {"mine ng -i s.fa -o f.tsv --alpha 0.5", ""},  // not an ng option
      {"mine ng -i s.fa -o f.tsv -l c.txt --header-labels", ""},
      {"mine ddsm -i s.fa -o f.tsv --header-labels --alpha 1 --beta 0 --matrix X", ""},
      {"mine ng -i s.fa -o f.tsv --bogus", ""},
      {"encode -f f.tsv -i s.fa -o table.txt", ""},  // no format
      {"encode -f f.tsv -i s.fa -o t.csv --format xls", ""},
      {"folds ng -i s.fa -k 2 -d out", ""},  // no labels
      {"folds ng -i s.fa --header-labels -k 1 -d out", ""},
      {"mine ng -o o.tsv -i none.fa", "none.fa"},
      {"mine ng -o o.tsv -i garbage.bin", "garbage.bin, line 1: text before the first header"},
      {"mine ng -o o.tsv -i digits.fa", "digits.fa, line 4: '1' is not a residue letter"},
      {"mine ng -o o.tsv -i dup.fa",
       "dup.fa, line 5: the id \"a\" is already the id of the "
       "sequence at line 1"},
      {"mine ng -o o.tsv -i trunc.fa.gz", "trunc.fa.gz\" is a truncated gzip file"},
      {"mine ng -o o.tsv -i s.fa -l none.txt", "none.txt"},
      {"mine ng -o o.tsv -i s.fa -l unknown.txt", "unknown.txt, line 8: the label \"z\""},
      {"mine ng -o o.tsv -i s.fa -l short.txt", "no label for the sequence \"c\" (sequence 3)"},
      {"mine ng -o o.tsv -i s.fa -l long.txt", "long.txt, line 10: a label past the last"},
      {"mine ng -o o.tsv -i s.fa -l twice.txt", "the class \"x\" is named twice"},
      {"mine ng -o o.tsv -i s.fa -l missing.tsv", "no label for the sequence \"c\""},
      {"mine ng -o o.tsv -i s.fa -l dupid.tsv", "dupid.tsv, line 4: the id \"a\" has a label"},
      {"mine ng -o o.tsv -i nolabel.fa --header-labels", "the header of \"b\" has no second word"},
      {"encode -f bad.tsv -i s.fa -o t.csv", "bad.tsv, line 4: 2 tab-separated fields"},
      {"encode -f other.tsv -i s.fa -l c.txt -o t.csv",
       "the class \"y\" of the sequence \"b\" is not one of the classes"},
      {"encode -f f.tsv -i s.fa -o nowhere/t.arff", "nowhere/t.arff"},
      // A bad sequence late in the file, after rows were written: still no table.
      {"encode -f f.tsv -i digits.fa -o t.csv", "'1' is not a residue"},
      {"folds ng -i s.fa -l c.txt -k 4 -d out", "4 folds need 4 sequences"},
  };
  for (const auto& [line, message] : cases) {
    const std::vector<std::string> args = words(line);
    SCOPED_TRACE(line);
    const std::map<std::string, std::string> before = dir.contents();
    const ProgramResult r = run_program(dir, args, "");
    const bool usage = message.empty();
    EXPECT_EQ(r.status, usage ? 2 : 1) << r.err;
    EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(usage ? "\nrun \"protfeat " + args[0] + " --help\"" : message),
              std::string::npos)
        << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), usage ? 2 : 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.contents(), before);
  }
  EXPECT_EQ(run_ok(dir, {"encode", "--help"}).out.rfind("usage: protfeat encode -f FEATURES", 0),
            0u);
  EXPECT_NE(run_ok(dir, {"-h"}).out.find("protfeat folds APPROACH"), std::string::npos);
  EXPECT_EQ(run_ok(dir, {"--version"}).out, "protfeat 2.0.0\n");
}

TEST(WorkflowInputs, MineSaysHowManyFeaturesEachClassGot) {
  TempDir dir;
  // y's one sequence is also an x sequence: nothing discriminates y.
  dir.write("s.fa", ">a x\nACDE\n>b y\nACDE\n>c x\nKLMN\n");
  for (const std::string approach : {"dd", "ddsm"}) {
    SCOPED_TRACE(approach);
    const ProgramResult r = run_program(
        dir, words("mine " + approach + " -i s.fa --header-labels -o f.tsv --alpha 0.5 --beta 0"),
        "");
    EXPECT_EQ(r.status, 0);
    const size_t x = feature_texts(dir.read("f.tsv")).size();
    EXPECT_GT(x, 0u);
    EXPECT_EQ(r.out, approach + ": " + std::to_string(x) + " features from 3 sequences in 2 " +
                         "classes (x " + std::to_string(x) + ", y 0), written to f.tsv\n");
    EXPECT_EQ(r.err, "warning: no feature for the classes y: lower --alpha, or raise --beta\n");
  }
  // n-grams stand for no class: no count by class.
  EXPECT_EQ(run_ok(dir, words("mine ng -i s.fa --header-labels -o f.tsv")).out,
            "ng: 4 features from 3 sequences in 2 classes, written to f.tsv\n");
}
