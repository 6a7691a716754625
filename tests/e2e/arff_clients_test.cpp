// Every ARFF file the program writes is read by a real client: Weka parses the dd context, the
// ng "contexte.txt" and the ddsm test context built from awkward class names (spaces, commas,
// braces, quotes, percent signs) and from sequences that keep their carriage returns. The ng
// data file and the ng context of its own format read back into the same 0/1 matrix and classes
// as "contexte.txt".
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

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

size_t data_rows(const std::string& arff) {
  size_t at = arff.find("\n@data\n");
  if (at == std::string::npos) return 0;
  std::string rows = arff.substr(at + 7);
  return static_cast<size_t>(std::count(rows.begin(), rows.end(), '\n'));
}

void expect_weka_reads(const TempDir& dir, const std::string& file, size_t rows) {
  const std::string arff = dir.read(file);
  ASSERT_FALSE(arff.empty()) << file;
  EXPECT_EQ(data_rows(arff), rows) << arff;
  // Weka chooses its reader by the file name's extension.
  dir.write("check.arff", arff);
  std::string out;
  EXPECT_TRUE(weka_parses((dir.path() / "check.arff").string(), &out)) << file << "\n"
                                                                       << arff << "\n"
                                                                       << out;
  EXPECT_NE(out.find("Num Instances:  " + std::to_string(rows)), std::string::npos) << out;
}

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : s) {
    if (c == sep) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}

std::vector<std::string> lines_of(const std::string& s) {
  std::vector<std::string> l = split(s, '\n');
  if (!l.empty() && l.back().empty()) l.pop_back();
  return l;
}

struct Matrix {
  std::vector<std::string> values;   // one "0101..." text per row
  std::vector<std::string> classes;  // the class of each row
};

// "contexte.txt": the rows after "@data", values then the (possibly quoted) class. Classes here
// hold no comma outside quotes only when quoted, so the class is everything after the value count.
Matrix read_arff(const std::string& arff, size_t nbvar) {
  Matrix m;
  for (const auto& row : lines_of(arff.substr(arff.find("\n@data\n") + 7))) {
    std::string v;
    size_t p = 0;
    for (size_t k = 0; k < nbvar; ++k, p += 2) v += row[p];
    m.values.push_back(v);
    m.classes.push_back(row.substr(p));
  }
  return m;
}

// The context of its own format: values, then one 0/1 per class name.
Matrix read_own(const std::string& text, size_t nbvar, std::vector<std::string>& names) {
  std::vector<std::string> l = lines_of(text);
  size_t i = 0;
  EXPECT_EQ(l[i++], "#motifs number");
  EXPECT_EQ(std::stoul(l[i++]), nbvar);
  EXPECT_EQ(l[i++], "#motifs");
  i += nbvar;
  EXPECT_EQ(l[i++], "#classes number");
  const size_t nc = std::stoul(l[i++]);
  EXPECT_EQ(l[i++], "#classes");
  names.assign(l.begin() + static_cast<long>(i), l.begin() + static_cast<long>(i + nc));
  i += nc;
  EXPECT_EQ(l[i++], "#instances number");
  const size_t rows = std::stoul(l[i++]);
  EXPECT_EQ(l[i++], "#context");
  Matrix m;
  for (size_t r = 0; r < rows; ++r) {
    std::vector<std::string> f = split(l[i + r], ',');
    EXPECT_EQ(f.size(), nbvar + nc);
    std::string v, cls;
    for (size_t k = 0; k < nbvar; ++k) v += f[k];
    for (size_t c = 0; c < nc; ++c)
      if (f[nbvar + c] == "1") cls = names[c];
    m.values.push_back(v);
    m.classes.push_back(cls);
  }
  return m;
}

// "contextedat.dat": a head line, one line per n-gram, an empty line, then "i v v v ... class".
Matrix read_dat(const std::string& text, size_t nbvar) {
  std::vector<std::string> l = lines_of(text);
  Matrix m;
  for (size_t r = nbvar + 2; r < l.size(); ++r) {
    std::vector<std::string> f = split(l[r], ' ');
    EXPECT_EQ(f[0], std::to_string(r - nbvar - 1));
    std::string v;
    for (size_t k = 1; k <= nbvar; ++k) v += f[k];
    m.values.push_back(v);
    std::string cls;  // the class is the rest of the line (it may hold blanks)
    for (size_t k = nbvar + 1; k < f.size(); ++k) cls += (k > nbvar + 1 ? " " : "") + f[k];
    m.classes.push_back(cls);
  }
  return m;
}

}  // namespace

TEST(ArffClients, WekaReadsTheDdContextWithAwkwardNamesAndCarriageReturns) {
  if (!weka_available()) GTEST_SKIP() << "Weka is not installed";
  TempDir dir;
  write_awkward_inputs(dir, "seq.txt", "class.txt");
  ProgramResult r =
      run_program(dir, {"dd", "class.txt", "seq.txt", "Context.arff", "0.5", "0.3"}, "");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_NE(dir.read("Context.arff").find("'fam one'"), std::string::npos);
  ASSERT_NE(dir.read("Context.arff").find("\\r"), std::string::npos)
      << "a descriptor keeps its carriage return";
  expect_weka_reads(dir, "Context.arff", 8);
}

TEST(ArffClients, WekaReadsTheNgContextWithAwkwardNamesAndCarriageReturns) {
  if (!weka_available()) GTEST_SKIP() << "Weka is not installed";
  TempDir dir;
  write_awkward_inputs(dir, "seq.txt", "class.txt");
  ProgramResult r = run_program(dir, {}, "ng\nseq.txt\nclass.txt\nctx.txt\n");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_NE(dir.read("contexte.txt").find("\\r"), std::string::npos);
  expect_weka_reads(dir, "contexte.txt", 8);
}

TEST(ArffClients, WekaReadsTheDdsmTestContextWithAwkwardNamesAndCarriageReturns) {
  if (!weka_available()) GTEST_SKIP() << "Weka is not installed";
  TempDir dir;
  write_awkward_inputs(dir, "seq.txt", "class.txt");
  write_awkward_inputs(dir, "test.txt", "testclass.txt");
  ProgramResult r =
      run_program(dir, {}, "ddsm\nseq.txt\nclass.txt\ntest.txt\ntestclass.txt\n0.5\n0.3\n\n\n\n\n");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_NE(dir.read("Test.arff").find("@attribute "), std::string::npos);
  expect_weka_reads(dir, "Test.arff", 8);
}

// The three ng files hold one matrix: same values, same classes, row by row.
TEST(ArffClients, NgFilesReadBackIntoTheSameMatrix) {
  for (bool awkward : {false, true}) {
    SCOPED_TRACE(awkward ? "awkward names" : "families4");
    TempDir dir;
    if (awkward) {
      write_awkward_inputs(dir, "seq.txt", "class.txt");
    } else {
      dir.write("seq.txt", read_file(source_path("data/Sample.txt")));
      dir.write("class.txt", read_file(source_path("data/Sample.classes.txt")));
    }
    ProgramResult r = run_program(dir, {}, "ng\nseq.txt\nclass.txt\nctx.txt\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string dat = dir.read("contextedat.dat");
    std::istringstream head(dat);
    size_t tot = 0, nbvar = 0, nclass = 0;
    head >> tot >> nbvar >> nclass;
    std::vector<std::string> names;
    Matrix own = read_own(dir.read("ctx.txt"), nbvar, names);
    Matrix arff = read_arff(dir.read("contexte.txt"), nbvar);
    Matrix plain = read_dat(dat, nbvar);
    ASSERT_EQ(own.values.size(), tot);
    EXPECT_EQ(arff.values, own.values);
    EXPECT_EQ(plain.values, own.values);
    EXPECT_EQ(plain.classes, own.classes);
    EXPECT_EQ(names.size(), nclass);
    // The ARFF classes are the same names, quoted where the ARFF reader needs it.
    for (size_t i = 0; i < tot; ++i) {
      const std::string& c = own.classes[i];
      if (awkward && c != "fam one" && c != "b,c {x}" && c != "it's 50%" && c != "?")
        ADD_FAILURE() << c;
      if (c.find_first_of(" ,{}'%?") == std::string::npos)
        EXPECT_EQ(arff.classes[i], c);
      else
        EXPECT_EQ(arff.classes[i].front(), '\'') << arff.classes[i];
    }
  }
}

namespace {
// A run on inputs that once gave contexts Weka refuses, or labels it cannot declare: either it
// ends with one error line and writes nothing from the refusal on, or every context it writes
// is read by Weka.
struct FaultCase {
  const char* what;
  std::vector<std::string> args;
  std::string input;  // standard input
  std::vector<std::pair<std::string, std::string>> files;
  std::string error;                  // the whole standard error of a refusal; empty: status 0
  std::vector<std::string> absent;    // files a refusal must not have written
  std::string consoleEnd;             // the end of standard output at a refusal
  std::vector<std::string> contexts;  // ARFF contexts of a run with status 0
  std::string wekaName;               // an attribute name Weka must read back as it stands
};

const char kTwoFamilies[] = ">a1\nMKVLAW\n>a2\nMKVLGW\n>b1\nPRSTYN\n>b2\nPRSTQN\n";
const char kNoClass[] = "#n\n0\n#c\n#d\n";
// An executable's first bytes: no '#' header line, a class count that reads as 0.
const char kGarbage[] =
    "\x7f"
    "ELF\x02\x01\x01\n\x00\x00\x00\x01\n\x03\x00>\x00\n\x01\x00\x00\x00\n";
const char kTestPromptEnd[] = "  \tof the test file: ";
const std::vector<std::string> kNgFiles = {"contexte.txt", "ctx.txt", "contextedat.dat"};

std::string ddsm_answers(bool test) {
  return std::string("ddsm\nseq.txt\ncls.txt\n") + (test ? "test.txt\ntestcls.txt\n" : "\n") +
         "0.5\n0.3\n\n\n\n" + (test ? "\n" : "");
}

std::vector<FaultCase> fault_cases() {
  const std::string sample = read_file(source_path("data/Sample.txt"));
  const std::string sampleClasses = read_file(source_path("data/Sample.classes.txt"));
  const std::string dd = "dd\n";
  const std::string ng = "ng\nseq.txt\ncls.txt\nctx.txt\n";
  const std::vector<std::string> ddArgs = {"dd",           "cls.txt", "seq.txt",
                                           "Context.arff", "0.5",     "0.3"};
  // Control bytes in residues and in class names: descriptors and n-grams hold them.
  const std::string binarySeqs =
      ">a1\nMK\x01\x02VL\n>a2\nAK\x01\x02WL\n>b1\nMK\x03\x7fVL\n>b2\nAK\x03\x7fWL\n";
  const std::string binaryClasses =
      "#n\n2\n#c\nk\x01x\nk\x1ey\n#d\nk\x01x\nk\x01x\nk\x1ey\nk\x1ey\n";
  return {
      // An empty class list is closed.
      {"dd, no class",
       ddArgs,
       "",
       {{"seq.txt", kTwoFamilies}, {"cls.txt", kNoClass}},
       "",
       {},
       "",
       {"Context.arff"},
       ""},
      {"dd, binary classification file",
       ddArgs,
       "",
       {{"seq.txt", kTwoFamilies}, {"cls.txt", std::string(kGarbage, sizeof kGarbage - 1)}},
       "",
       {},
       "",
       {"Context.arff"},
       ""},
      {"ng, no class and no sequence",
       {},
       ng,
       {{"seq.txt", "no header\n"}, {"cls.txt", kNoClass}},
       "",
       {},
       "",
       {"contexte.txt"},
       ""},
      {"ddsm, test file without class or sequence",
       {},
       ddsm_answers(true),
       {{"seq.txt", sample},
        {"cls.txt", sampleClasses},
        {"test.txt", "none\n"},
        {"testcls.txt", kNoClass}},
       "",
       {},
       "",
       {"Test.arff"},
       ""},
      // A class named twice is refused as soon as the names are read.
      {"dd, class named twice",
       ddArgs,
       "",
       {{"seq.txt", kTwoFamilies}, {"cls.txt", "#n\n3\n#c\nA\nB\nA\n#d\nA\nA\nB\nB\n"}},
       "error: the classification file names the class \"A\" twice\n",
       {"SeqFile.seq"},
       "",
       {},
       ""},
      {"ddsm, two empty class names",
       {},
       ddsm_answers(false),
       {{"seq.txt", kTwoFamilies}, {"cls.txt", "#n\n2\n#c\n\n\n#d\n\n\n\n\n"}},
       "error: the classification file names the class \"\" twice\n",
       {"SeqFile.seq"},
       "",
       {},
       ""},
      {"ng, class named twice",
       {},
       ng,
       {{"seq.txt", kTwoFamilies}, {"cls.txt", "#n\n2\n#c\nX\nX\n#d\nX\nX\nX\nX\n"}},
       "error: the classification file names the class \"X\" twice\n",
       kNgFiles,
       "",
       {},
       ""},
      {"ddsm, test class named twice",
       {},
       ddsm_answers(true),
       {{"seq.txt", kTwoFamilies},
        {"cls.txt", "#n\n2\n#c\nA\nB\n#d\nA\nA\nB\nB\n"},
        {"test.txt", ">t\nMKV\n"},
        {"testcls.txt", "#n\n2\n#c\nA\nA\n#d\nA\n"}},
       "error: the classification file names the class \"A\" twice\n",
       {"SeqFile.seq"},
       kTestPromptEnd,
       {},
       ""},
      // A label that is none of the class names is refused, with its sequence.
      {"ng, undeclared label",
       {},
       ng,
       {{"seq.txt", kTwoFamilies}, {"cls.txt", "#n\n2\n#c\nX\nY\n#d\nX\nX\nY\nZ\x01\n"}},
       "error: the classification file gives sequence 4 the label \"Z\\x01\", which is none of its "
       "class names\n",
       kNgFiles,
       "",
       {},
       ""},
      {"ddsm, undeclared test label",
       {},
       ddsm_answers(true),
       {{"seq.txt", kTwoFamilies},
        {"cls.txt", "#n\n2\n#c\nA\nB\n#d\nA\nA\nB\nB\n"},
        {"test.txt", ">t1\nMKV\n>t2\nPRS\n"},
        {"testcls.txt", "#n\n2\n#c\nA\nB\n#d\nA\nC\n"}},
       "error: the classification file gives sequence 2 the label \"C\", which is none of its "
       "class "
       "names\n",
       {"SeqFile.seq"},
       kTestPromptEnd,
       {},
       ""},
      // Names holding control bytes are quoted, and Weka reads the bytes back.
      {"dd, control bytes",
       ddArgs,
       "",
       {{"seq.txt", binarySeqs}, {"cls.txt", binaryClasses}},
       "",
       {},
       "",
       {"Context.arff"},
       "\x01\x02"},
      {"ng, control bytes",
       {},
       ng,
       {{"seq.txt", binarySeqs}, {"cls.txt", binaryClasses}},
       "",
       {},
       "",
       {"contexte.txt"},
       "K\x03\x7f"},
  };
}
}  // namespace

TEST(ArffClients, FaultyInputsAreRefusedOrGiveContextsWekaReads) {
  if (!weka_available()) GTEST_SKIP() << "Weka is not installed";
  for (const FaultCase& c : fault_cases()) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    for (const auto& [name, bytes] : c.files) dir.write(name, bytes);
    const ProgramResult r = run_program(dir, c.args, c.input);
    if (!c.error.empty()) {
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err, c.error);
      for (const std::string& name : c.absent) EXPECT_FALSE(dir.exists(name)) << name;
      EXPECT_TRUE(r.out.ends_with(c.consoleEnd)) << r.out;
      continue;
    }
    ASSERT_EQ(r.status, 0) << r.err;
    for (const std::string& file : c.contexts) {
      const std::string arff = dir.read(file);
      dir.write("check.arff", arff);
      std::string out;
      EXPECT_TRUE(weka_parses((dir.path() / "check.arff").string(), &out)) << file << "\n"
                                                                           << arff << "\n"
                                                                           << out;
      EXPECT_NE(out.find("Num Instances:  " + std::to_string(data_rows(arff))), std::string::npos)
          << out;
      if (!c.wekaName.empty()) {
        EXPECT_NE(arff.find("'" + c.wekaName), std::string::npos) << arff;
        EXPECT_NE(out.find(" " + c.wekaName), std::string::npos) << out;
      }
    }
  }
}
