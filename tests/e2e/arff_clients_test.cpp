// Every ARFF file the program writes is read by a real client: Weka parses the dd context, the
// ng "contexte.txt" and the ddsm test context built from awkward class names (spaces, commas,
// braces, quotes, percent signs) and from sequences that keep their carriage returns, and every
// context written from inputs that once gave files Weka refused; inputs it cannot declare are
// refused instead. The ng data file and the ng context of its own format read back into the
// same 0/1 matrix and classes as "contexte.txt".
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"
#include "support/weka.h"

namespace {

const std::vector<std::string> kNames = {"fam one", "b,c {x}", "it's 50%", "?"};

// Two sequences per class; each class has its own words so that descriptors exist. The
// sequence file has CRLF line ends, so every sequence keeps a carriage return.
void write_awkward_inputs(const TempDir& dir, const std::string& seqName,
                          const std::string& className) {
  const std::vector<std::string> cores = {"MKVLAWGHE", "PRSTYNQDC", "FILMKWHGA", "QQRRSSTTY"};
  std::string seq, cls = "#classes number\n" + std::to_string(kNames.size()) + "\n#classes\n";
  for (const auto& n : kNames) cls += n + "\n";
  cls += "#data\n";
  for (size_t f = 0; f < kNames.size(); ++f)
    for (int k = 0; k < 2; ++k) {
      // The last residue before the carriage return is the family's own, so discriminative
      // words run into the carriage return.
      seq += ">s" + std::to_string(f) + "_" + std::to_string(k) + "\r\n" + cores[f] +
             (k ? "AC" : "DE") + "VWYP"[f] + "\r\n";
      cls += kNames[f] + "\n";
    }
  dir.write(seqName, seq);
  dir.write(className, cls);
}

// A console run on seq.txt and cls.txt (and test.txt and testcls.txt): how it is started, the
// context it writes, the files a refusal must not have written and the end of its console then.
struct ConsoleRun {
  std::vector<std::string> args = {};
  std::string input = "", context = "";
  std::vector<std::string> outputs = {};
  std::string refusalEnd = "";
};
const ConsoleRun kDd{.args = {"dd", "cls.txt", "seq.txt", "Context.arff", "0.5", "0.3"},
                     .context = "Context.arff",
                     .outputs = {"SeqFile.seq"}};
const ConsoleRun kNg{.input = "ng\nseq.txt\ncls.txt\nctx.txt\n",
                     .context = "contexte.txt",
                     .outputs = {"contexte.txt", "ctx.txt", "contextedat.dat"}};
const ConsoleRun kDdsm{.input = "ddsm\nseq.txt\ncls.txt\n\n0.5\n0.3\n\n\n\n",
                       .outputs = {"SeqFile.seq"}};
// Its refusals here are of the test classification file, asked for last.
const ConsoleRun kDdsmTest{
    .input = "ddsm\nseq.txt\ncls.txt\ntest.txt\ntestcls.txt\n0.5\n0.3\n\n\n\n\n",
    .context = "Test.arff",
    .outputs = {"SeqFile.seq"},
    .refusalEnd = "  \tof the test file: "};

// Weka reads `file` whole, with `rows` instances; returns what Weka printed.
std::string expect_weka_reads(const TempDir& dir, const std::string& file, size_t rows) {
  const std::string arff = dir.read(file);
  EXPECT_EQ(arff_rows(arff).size(), rows) << file << "\n" << arff;
  dir.write("check.arff", arff);  // Weka chooses its reader by the file name's extension
  std::string out;
  EXPECT_TRUE(weka_parses((dir.path() / "check.arff").string(), &out)) << arff + "\n" + out;
  EXPECT_NE(out.find("Num Instances:  " + std::to_string(rows)), std::string::npos) << out;
  return out;
}

struct Matrix {
  std::vector<std::string> values;   // one "0101..." text per row
  std::vector<std::string> classes;  // the class of each row
};

// "contexte.txt": the rows after "@data", values then the (possibly quoted) class, which is
// everything after the values.
Matrix read_arff(const std::string& arff, size_t nbvar) {
  Matrix m;
  for (const std::string& row : arff_rows(arff)) {
    std::string v;
    for (size_t k = 0; k < nbvar; ++k) v += row[2 * k];
    m.values.push_back(v);
    m.classes.push_back(row.substr(2 * nbvar));
  }
  return m;
}

// The context of its own format: the class names after "#classes" (then "#instances number",
// the count and "#context"), and after "#context" the rows: values, then one 0/1 per class.
Matrix read_own(const std::string& text, size_t nbvar, std::vector<std::string>& names) {
  const std::vector<std::string> l = text_lines(text);
  const auto rows = std::find(l.begin(), l.end(), "#context") + 1;
  names.assign(std::find(l.begin(), l.end(), "#classes") + 1, rows - 3);
  Matrix m;
  for (auto row = rows; row < l.end(); ++row) {
    EXPECT_EQ(row->size(), 2 * (nbvar + names.size()) - 1) << *row;
    std::string v, cls;
    for (size_t k = 0; k < nbvar; ++k) v += (*row)[2 * k];
    for (size_t c = 0; c < names.size(); ++c)
      if ((*row)[2 * (nbvar + c)] == '1') cls = names[c];
    m.values.push_back(v);
    m.classes.push_back(cls);
  }
  return m;
}

// "contextedat.dat": a head line, one line per n-gram, an empty line, then "i v v v ... class"
// (the class is the rest of the line: it may hold blanks).
Matrix read_dat(const std::string& text, size_t nbvar) {
  const std::vector<std::string> l = text_lines(text);
  Matrix m;
  for (size_t r = nbvar + 2; r < l.size(); ++r) {
    const size_t p = l[r].find(' ') + 1;
    EXPECT_EQ(l[r].substr(0, p), std::to_string(r - nbvar - 1) + " ");
    std::string v;
    for (size_t k = 0; k < nbvar; ++k) v += l[r][p + 2 * k];
    m.values.push_back(v);
    m.classes.push_back(l[r].substr(p + 2 * nbvar));
  }
  return m;
}

}  // namespace

TEST(ArffClients, WekaReadsContextsWithAwkwardNamesAndCarriageReturns) {
  if (!weka_available()) GTEST_SKIP() << "Weka is not installed";
  for (const ConsoleRun& run : {kDd, kNg, kDdsmTest}) {
    SCOPED_TRACE(run.context);
    TempDir dir;
    write_awkward_inputs(dir, "seq.txt", "cls.txt");
    write_awkward_inputs(dir, "test.txt", "testcls.txt");
    const ProgramResult r = run_program(dir, run.args, run.input);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string arff = dir.read(run.context);
    EXPECT_NE(arff.find("'fam one'"), std::string::npos) << arff;
    EXPECT_NE(arff.find("\\r"), std::string::npos) << "a feature keeps its carriage return";
    expect_weka_reads(dir, run.context, 8);
  }
}

// The three ng files hold one matrix: same values, same classes, row by row.
TEST(ArffClients, NgFilesReadBackIntoTheSameMatrix) {
  for (bool awkward : {false, true}) {
    SCOPED_TRACE(awkward ? "awkward names" : "families4");
    TempDir dir;
    if (awkward) {
      write_awkward_inputs(dir, "seq.txt", "cls.txt");
    } else {
      dir.write("seq.txt", read_file(source_path("data/Sample.txt")));
      dir.write("cls.txt", read_file(source_path("data/Sample.classes.txt")));
    }
    const ProgramResult r = run_program(dir, kNg.args, kNg.input);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string dat = dir.read("contextedat.dat");
    std::istringstream head(dat);
    size_t tot = 0, nbvar = 0, nclass = 0;
    head >> tot >> nbvar >> nclass;
    std::vector<std::string> names;
    const Matrix own = read_own(dir.read("ctx.txt"), nbvar, names);
    const Matrix arff = read_arff(dir.read("contexte.txt"), nbvar);
    const Matrix plain = read_dat(dat, nbvar);
    ASSERT_EQ(own.values.size(), tot);
    EXPECT_EQ(arff.values, own.values);
    EXPECT_EQ(plain.values, own.values);
    EXPECT_EQ(plain.classes, own.classes);
    EXPECT_EQ(names.size(), nclass);
    // The ARFF classes are the same names, quoted where the ARFF reader needs it.
    for (size_t i = 0; i < tot; ++i) {
      const std::string& c = own.classes[i];
      EXPECT_TRUE(!awkward || std::count(kNames.begin(), kNames.end(), c) == 1) << c;
      if (c.find_first_of(" ,{}'%?") == std::string::npos)
        EXPECT_EQ(arff.classes[i], c);
      else
        EXPECT_EQ(arff.classes[i].front(), '\'') << arff.classes[i];
    }
  }
}

namespace {
// Inputs that once gave contexts Weka refuses, or labels it cannot declare: the run either ends
// with one error line and writes nothing from the refusal on, or Weka reads its context.
struct FaultCase {
  const char* what;
  ConsoleRun run;
  std::string seq, cls;
  std::string error = "";     // the whole standard error of a refusal; empty: status 0
  std::string wekaName = "";  // an attribute name Weka must read back as it stands
  std::string test = "", testcls = "";
};

std::vector<FaultCase> fault_cases() {
  const std::string twoFamilies = ">a1\nMKVLAW\n>a2\nMKVLGW\n>b1\nPRSTYN\n>b2\nPRSTQN\n";
  const std::string noClass = "#n\n0\n#c\n#d\n";
  const std::string ab = "#n\n2\n#c\nA\nB\n#d\nA\nA\nB\nB\n";
  // An executable's first bytes: no '#' header line, a class count that reads as 0.
  const char garbage[] =
      "\x7f"
      "ELF\x02\x01\x01\n\x00\x00\x00\x01\n\x03\x00>\x00\n\x01\x00\x00\x00\n";
  // Control bytes in residues and in class names: descriptors and n-grams hold them.
  const std::string binarySeqs =
      ">a1\nMK\x01\x02VL\n>a2\nAK\x01\x02WL\n>b1\nMK\x03\x7fVL\n>b2\nAK\x03\x7fWL\n";
  const std::string binaryClasses =
      "#n\n2\n#c\nk\x01x\nk\x1ey\n#d\nk\x01x\nk\x01x\nk\x1ey\nk\x1ey\n";
  const std::string twice = "error: the classification file names the class ";
  const std::string label = "error: the classification file gives sequence ";
  const std::string none = "which is none of its class names\n";
  return {
      // An empty class list is closed.
      {"dd, no class", kDd, twoFamilies, noClass},
      {"dd, binary classification file", kDd, twoFamilies,
       std::string(garbage, sizeof garbage - 1)},
      {"ng, no class and no sequence", kNg, "no header\n", noClass},
      {"ddsm, test file without class or sequence", kDdsmTest,
       read_file(source_path("data/Sample.txt")), read_file(source_path("data/Sample.classes.txt")),
       "", "", "none\n", noClass},
      // A class named twice is refused as soon as the names are read.
      {"dd, class named twice", kDd, twoFamilies, "#n\n3\n#c\nA\nB\nA\n#d\nA\nA\nB\nB\n",
       twice + "\"A\" twice\n"},
      {"ddsm, two empty class names", kDdsm, twoFamilies, "#n\n2\n#c\n\n\n#d\n\n\n\n\n",
       twice + "\"\" twice\n"},
      {"ng, class named twice", kNg, twoFamilies, "#n\n2\n#c\nX\nX\n#d\nX\nX\nX\nX\n",
       twice + "\"X\" twice\n"},
      {"ddsm, test class named twice", kDdsmTest, twoFamilies, ab, twice + "\"A\" twice\n", "",
       ">t\nMKV\n", "#n\n2\n#c\nA\nA\n#d\nA\n"},
      // A label that is none of the class names is refused, with its sequence.
      {"ng, undeclared label", kNg, twoFamilies, "#n\n2\n#c\nX\nY\n#d\nX\nX\nY\nZ\x01\n",
       label + "4 the label \"Z\\x01\", " + none},
      {"ddsm, undeclared test label", kDdsmTest, twoFamilies, ab,
       label + "2 the label \"C\", " + none, "", ">t1\nMKV\n>t2\nPRS\n",
       "#n\n2\n#c\nA\nB\n#d\nA\nC\n"},
      // Names holding control bytes are quoted, and Weka reads the bytes back.
      {"dd, control bytes", kDd, binarySeqs, binaryClasses, "", "\x01\x02"},
      {"ng, control bytes", kNg, binarySeqs, binaryClasses, "", "K\x03\x7f"},
  };
}
}  // namespace

TEST(ArffClients, FaultyInputsAreRefusedOrGiveContextsWekaReads) {
  if (!weka_available()) GTEST_SKIP() << "Weka is not installed";
  for (const FaultCase& c : fault_cases()) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    dir.write("seq.txt", c.seq);
    dir.write("cls.txt", c.cls);
    dir.write("test.txt", c.test);
    dir.write("testcls.txt", c.testcls);
    const ProgramResult r = run_program(dir, c.run.args, c.run.input);
    if (!c.error.empty()) {
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err, c.error);
      for (const std::string& name : c.run.outputs) EXPECT_FALSE(dir.exists(name)) << name;
      EXPECT_TRUE(r.out.ends_with(c.run.refusalEnd)) << r.out;
      continue;
    }
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string arff = dir.read(c.run.context);
    const std::string out = expect_weka_reads(dir, c.run.context, arff_rows(arff).size());
    if (!c.wekaName.empty()) {
      EXPECT_NE(arff.find("'" + c.wekaName), std::string::npos) << arff;
      EXPECT_NE(out.find(" " + c.wekaName), std::string::npos) << out;
    }
  }
}
