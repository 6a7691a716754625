// The workflow commands on the inputs users really have, and on broken ones: FASTA quirks,
// gzip and standard input, the three label sources, and every kind of bad input, which must give
// one clear error line, its exit status and no output file at all.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <set>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"

namespace {
const std::string kFasta = ">a x\nACDE\n>b y\nCDEF\n>c x\nACDF\n";
const std::string kClasses = "#n\n2\n#classes\nx\ny\n#data\nx\ny\nx\n";

std::string gzip(const std::string& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size())) + 32;
  std::string out(size, '\0');
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);  // gzip wrapper
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// The names in the folder.
std::set<std::string> listing(const TempDir& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    names.insert(e.path().filename());
  return names;
}

// Runs a command that must fail: `status`, one line on standard error that begins with
// "error:" and contains `needle`, and no file added to the folder.
void expect_refused(const TempDir& dir, const std::vector<std::string>& args, int status,
                    const std::string& needle, const std::string& input = "") {
  const std::set<std::string> before = listing(dir);
  const ProgramResult r = run_program(dir, args, input);
  EXPECT_EQ(r.status, status) << r.err;
  EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find(needle), std::string::npos) << r.err;
  if (status == 1) {
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(listing(dir), before);
}
}  // namespace

TEST(WorkflowInputs, FastaQuirksGzipAndStandardInputReadAlike) {
  TempDir dir;
  // Blank lines before the first header, CRLF line ends, lower case, gaps, '*', blanks, an empty
  // record and a last line without its line end.
  const std::string messy =
      "\n  \n>a x desc\r\nac-DE\r\n>b\ty\r\n C.D E F*\r\n>empty x\n>c x\nAC\nDF";
  dir.write("m.fa", messy);
  dir.write("m.fa.gz", gzip(messy));
  dir.write("plain.fa", ">a x\nACDE\n>b y\nCDEF\n>empty x\n>c x\nACDF\n");
  run_ok(dir, {"mine", "ng", "-i", "plain.fa", "--header-labels", "-o", "f.tsv", "-n", "2"});
  run_ok(dir, {"encode", "-f", "f.tsv", "-i", "plain.fa", "--header-labels", "-o", "want.csv"});
  for (const char* file : {"m.fa", "m.fa.gz"}) {
    run_ok(dir, {"encode", "-f", "f.tsv", "-i", file, "--header-labels", "-o", "got.csv"});
    EXPECT_EQ(dir.read("got.csv"), dir.read("want.csv")) << file;
  }
  run_ok(dir, {"encode", "-f", "f.tsv", "-i", "-", "--header-labels", "-o", "got.csv"},
         gzip(messy));
  EXPECT_EQ(dir.read("got.csv"), dir.read("want.csv"));
  EXPECT_EQ(
      dir.read("want.csv"),
      "id,AC,CD,DE,EF,DF,class\na,1,1,1,0,0,x\nb,0,1,1,1,0,y\nempty,0,0,0,0,0,x\nc,1,1,0,0,1,x\n");
}

TEST(WorkflowInputs, LabelSourcesAgreeAndClassesNeedNotBeGrouped) {
  TempDir dir;
  dir.write("s.fa", kFasta);
  dir.write("c.txt", kClasses);
  dir.write("t.tsv", "b\ty\na\tx\nc\tx\n");
  run_ok(dir, {"mine", "dd", "-i", "s.fa", "-l", "c.txt", "-o", "f1.tsv", "--alpha", "1", "--beta",
               "0"});
  run_ok(dir, {"mine", "dd", "-i", "s.fa", "--header-labels", "-o", "f2.tsv", "--alpha", "1",
               "--beta", "0"});
  run_ok(dir, {"mine", "dd", "-i", "s.fa", "-l", "t.tsv", "-o", "f3.tsv", "--alpha", "1", "--beta",
               "0"});
  EXPECT_EQ(dir.read("f1.tsv"), dir.read("f2.tsv"));
  // The table's classes come in its own order (y first): the same features, other class lines.
  const std::string f3 = dir.read("f3.tsv");
  EXPECT_NE(f3.find("#class\ty\n#class\tx\n"), std::string::npos) << f3;
  EXPECT_EQ(feature_texts(f3), feature_texts(dir.read("f1.tsv")));
  // Interleaved labels keep every sequence: the x descriptors cover both x sequences.
  EXPECT_NE(dir.read("f1.tsv").find("\tx\t2/2\n"), std::string::npos) << dir.read("f1.tsv");
}

TEST(WorkflowInputs, UsageErrorsGiveTheUsageAndStatus2) {
  TempDir dir;
  dir.write("s.fa", kFasta);
  const std::vector<std::vector<std::string>> wrong = {
      {"mine"},
      {"mine", "xx", "-i", "s.fa", "-o", "f.tsv"},
      {"mine", "dd", "-i", "s.fa", "-o", "f.tsv", "--header-labels"},  // no thresholds
      {"mine", "dd", "-i", "s.fa", "-o", "f.tsv", "--alpha", "0.5", "--beta", "0.2"},  // no labels
      {"mine", "dd", "-i", "s.fa", "-o", "f.tsv", "--header-labels", "--alpha", "2", "--beta",
       "0.1"},
      {"mine", "ng", "-i", "s.fa", "-o", "f.tsv", "--alpha", "0.5"},  // not an ng option
      {"mine", "ng", "-i", "s.fa", "-o", "f.tsv", "-l", "c.txt", "--header-labels"},
      {"mine", "ddsm", "-i", "s.fa", "-o", "f.tsv", "--header-labels", "--alpha", "1", "--beta",
       "0", "--matrix", "X"},
      {"encode", "-f", "f.tsv", "-i", "s.fa", "-o", "table.txt"},  // no format
      {"encode", "-f", "f.tsv", "-i", "s.fa", "-o", "t.csv", "--format", "xls"},
      {"folds", "ng", "-i", "s.fa", "-k", "2", "-d", "out"},  // no labels
      {"folds", "ng", "-i", "s.fa", "--header-labels", "-k", "1", "-d", "out"},
      {"mine", "ng", "-i", "s.fa", "-o", "f.tsv", "--bogus"},
  };
  for (const auto& args : wrong) {
    SCOPED_TRACE(args.size() > 1 ? args[0] + " " + args[1] : args[0]);
    const std::set<std::string> before = listing(dir);
    const ProgramResult r = run_program(dir, args, "");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("usage: protfeat " + args[0]), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(listing(dir), before);
  }
  const ProgramResult help = run_ok(dir, {"encode", "--help"});
  EXPECT_EQ(help.out.rfind("usage: protfeat encode -f FEATURES", 0), 0u);
  const ProgramResult top = run_ok(dir, {"-h"});
  EXPECT_NE(top.out.find("protfeat folds APPROACH"), std::string::npos);
  EXPECT_EQ(run_ok(dir, {"--version"}).out, "protfeat 2.0.0\n");
}

TEST(WorkflowInputs, BadInputIsRefusedWithoutOutput) {
  TempDir dir;
  dir.write("s.fa", kFasta);
  dir.write("c.txt", kClasses);
  dir.write("garbage.bin", std::string("\x7f"
                                       "ELF\x02\x01\x01\0\0\0>x\n\x90\x91",
                                       16));
  dir.write("digits.fa", ">a\nACD\n>b\nAC1D\n");
  dir.write("before.fa", "junk\n>a\nACD\n");
  dir.write("dup.fa", ">a\nACD\n>b\nCDE\n>a\nDEF\n");
  dir.write("unknown.txt", "#n\n2\n#classes\nx\ny\n#data\nx\nz\nx\n");
  dir.write("short.txt", "#n\n2\n#classes\nx\ny\n#data\nx\ny\n");
  dir.write("long.txt", kClasses + "y\n");
  dir.write("twice.txt", "#n\n2\n#classes\nx\nx\n#data\nx\nx\nx\n");
  dir.write("extra.tsv", "a\tx\nb\ty\nc\tx\nd\ty\n");
  dir.write("missing.tsv", "a\tx\nb\ty\n");
  dir.write("dupid.tsv", "a\tx\nb\ty\nc\tx\na\ty\n");
  dir.write("nolabel.fa", ">a x\nACD\n>b\nCDE\n");
  std::string big = ">a\n";
  for (int i = 0; i < 20000; ++i) big += "ACDEFGHIKLMNPQRSTVWY\n";
  const std::string packed = gzip(big);
  dir.write("trunc.fa.gz", packed.substr(0, packed.size() / 2));
  run_ok(dir, {"mine", "ng", "-i", "s.fa", "-l", "c.txt", "-o", "f.tsv"});
  dir.write("bad.tsv",
            "#protfeat\t2.0.0\n#approach\tng\n#columns\tfeature\tsequences\nACD\t1\t2\n");
  dir.write("other.tsv",
            "#protfeat\t2.0.0\n#approach\tng\n#class\tx\n#columns\tfeature\tsequences\nACD\t1\n");

  const std::vector<std::string> mineNg = {"mine", "ng", "-o", "out.tsv", "-i"};
  auto mine = [&](const std::string& seqs, std::vector<std::string> more = {}) {
    std::vector<std::string> a = mineNg;
    a.push_back(seqs);
    a.insert(a.end(), more.begin(), more.end());
    return a;
  };
  expect_refused(dir, mine("none.fa"), 1, "none.fa");
  expect_refused(dir, mine("garbage.bin"), 1, "garbage.bin, line 1: text before the first header");
  expect_refused(dir, mine("digits.fa"), 1, "digits.fa, line 4: '1' is not a residue letter");
  expect_refused(dir, mine("before.fa"), 1, "before.fa, line 1");
  expect_refused(dir, mine("dup.fa"), 1,
                 "dup.fa, line 5: the id \"a\" is already the id of the sequence at line 1");
  expect_refused(dir, mine("trunc.fa.gz"), 1, "trunc.fa.gz\" is a truncated gzip file");
  expect_refused(dir, mine("s.fa", {"-l", "unknown.txt"}), 1,
                 "unknown.txt, line 8: the label \"z\"");
  expect_refused(dir, mine("s.fa", {"-l", "short.txt"}), 1,
                 "no label for the sequence \"c\" (sequence 3)");
  expect_refused(dir, mine("s.fa", {"-l", "long.txt"}), 1,
                 "long.txt, line 10: a label past the last");
  expect_refused(dir, mine("s.fa", {"-l", "twice.txt"}), 1, "the class \"x\" is named twice");
  expect_refused(dir, mine("s.fa", {"-l", "extra.tsv"}), 1,
                 "extra.tsv, line 4: the id \"d\" is not among the sequences");
  expect_refused(dir, mine("s.fa", {"-l", "missing.tsv"}), 1, "no label for the sequence \"c\"");
  expect_refused(dir, mine("s.fa", {"-l", "dupid.tsv"}), 1,
                 "dupid.tsv, line 4: the id \"a\" has a label already");
  expect_refused(dir, mine("nolabel.fa", {"--header-labels"}), 1,
                 "the header of \"b\" has no second word");
  expect_refused(dir, mine("s.fa", {"-l", "none.txt"}), 1, "none.txt");
  // encode: a features file it cannot read, a label that is not a training class, an output
  // folder that does not exist.
  expect_refused(dir, {"encode", "-f", "s.fa", "-i", "s.fa", "-o", "t.arff"}, 1,
                 "s.fa, line 1: not a features file");
  expect_refused(dir, {"encode", "-f", "bad.tsv", "-i", "s.fa", "-o", "t.arff"}, 1,
                 "bad.tsv, line 4: 2 tab-separated fields");
  expect_refused(dir, {"encode", "-f", "other.tsv", "-i", "s.fa", "-l", "c.txt", "-o", "t.arff"}, 1,
                 "the class \"y\" of the sequence \"b\" is not one of the classes");
  expect_refused(dir, {"encode", "-f", "f.tsv", "-i", "dup.fa", "-o", "t.arff"}, 1,
                 "the id \"a\" is already");
  expect_refused(dir, {"encode", "-f", "f.tsv", "-i", "s.fa", "-o", "nowhere/t.arff"}, 1,
                 "nowhere/t.arff");
  // A bad sequence late in the file, after rows were written: still no table.
  expect_refused(dir, {"encode", "-f", "f.tsv", "-i", "digits.fa", "-o", "t.csv"}, 1,
                 "'1' is not a residue");
  expect_refused(dir, {"folds", "ng", "-i", "s.fa", "-l", "c.txt", "-k", "4", "-d", "out"}, 1,
                 "4 folds need 4 sequences");
}
