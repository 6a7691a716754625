// Mining with --alphabet finds what mining finds on the sequences mapped by hand, features named
// by pattern; the tables agree but for those names; the patterns survive the features file.
#include <gtest/gtest.h>

#include <map>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"
#include "workflow/features_file.h"

namespace {
using Lines = std::vector<std::string>;

// The groups of each alphabet as its help lists them, and the mapping written out plainly.
const std::map<std::string, Lines> kAlphabets = {
    {"murphy15", {"LVIM", "C", "A", "G", "S", "T", "P", "FY", "W", "E", "D", "N", "Q", "KR", "H"}},
    {"murphy10", {"LVIM", "C", "A", "G", "ST", "P", "FYW", "EDNQ", "KR", "H"}},
    {"murphy8", {"LVIMC", "AG", "ST", "P", "FYW", "EDNQ", "KR", "H"}},
    {"murphy4", {"LVIMC", "AGSTP", "FYW", "EDNQKRH"}},
    {"murphy2", {"LVIMCAGSTPFYW", "EDNQKRH"}},
    {"dayhoff6", {"AGPST", "C", "DENQ", "FWY", "HKR", "ILMV"}},
    {"qe,lvim,W", {"QE", "LVIM", "W"}},  // the other letters in no group
};

std::string mapped(std::string text, const Lines& groups) {
  for (char& c : text)
    for (const std::string& g : groups)
      if (g.find(c) != std::string::npos) c = g[0];
  return text;
}

std::string pattern(const std::string& text, const Lines& groups) {
  std::string out;
  for (char c : text) {
    std::string part(1, c);
    for (const std::string& g : groups)
      if (g.size() > 1 && g[0] == c) part = "[" + g + "]";
    out += part;
  }
  return out;
}

// A table without its header row.
std::string rows(const std::string& table) { return table.substr(table.find('\n')); }
}  // namespace

TEST(WorkflowAlphabet, MiningWithAnAlphabetIsMiningTheMappedSequences) {
  std::mt19937 rng(77);
  // Each approach, with options other than the defaults.
  const Lines runs = {"dd --alpha 0.6 --beta 0.2", "ddsm --alpha 0.5 --beta 0.3 --matrix PAM70",
                      "ng -n 2-3", "ma", "ma --distance 1 --min-length 4 --max-length 6"};
  size_t features = 0;
  for (const auto& [alphabet, groups] : kAlphabets) {
    SCOPED_TRACE(alphabet);
    LabelledSet set = random_set(rng, 2 + rng() % 3, 2, 8, 6, 50);
    for (std::string& s : set.sequences)
      if (rng() % 3 == 0) s[rng() % s.size()] = "XBZU"[rng() % 4];  // letters of no group
    LabelledSet plain = set;
    for (std::string& s : plain.sequences) s = mapped(s, groups);
    TempDir dir;
    dir.write("s.fa", set.fasta());
    dir.write("m.fa", plain.fasta());
    dir.write("c.txt", set.classification_file());
    std::string recorded = alphabet;
    if (alphabet.find(',') != std::string::npos)
      for (char& c : recorded) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const std::string& run : runs) {
      SCOPED_TRACE(run);
      run_ok(dir, words("mine " + run + " -i s.fa -l c.txt -o a.tsv --alphabet " + alphabet));
      run_ok(dir, words("mine " + run + " -i m.fa -l c.txt -o b.tsv"));
      // The features file of the mapped sequences, the alphabet recorded and patterns named.
      std::string expected;
      bool header = true;
      for (const std::string& line : text_lines(dir.read("b.tsv"))) {
        if (header) expected += line + "\n";
        if (line.rfind("#approach", 0) == 0) expected += "#setting\talphabet\t" + recorded + "\n";
        if (!header) {
          expected += pattern(line.substr(0, line.find('\t')), groups) +
                      line.substr(line.find('\t')) + "\n";
          ++features;
        }
        header = header && line.rfind("#columns", 0) != 0;
      }
      EXPECT_EQ(dir.read("a.tsv"), expected);
      run_ok(dir, words("encode -f a.tsv -i s.fa -l c.txt -o a.csv"));
      run_ok(dir, words("encode -f b.tsv -i m.fa -l c.txt -o b.csv"));
      EXPECT_EQ(rows(dir.read("a.csv")), rows(dir.read("b.csv")));
      std::string columns = "id";
      for (const std::string& name : feature_texts(expected)) columns += "," + name;
      EXPECT_EQ(text_lines(dir.read("a.csv"))[0], columns + ",class");
      // Read and written again, the patterns give the same bytes.
      const FeatureSet back = read_features((dir.path() / "a.tsv").string());
      OutFile out = OutFile::create((dir.path() / "again.tsv").string());
      write_features(out, back);
      out.close();
      EXPECT_EQ(dir.read("again.tsv"), dir.read("a.tsv"));
    }
    run_ok(dir, words("folds ng -i s.fa -l c.txt -k 2 -d fa --format csv --alphabet " + alphabet));
    run_ok(dir, words("folds ng -i m.fa -l c.txt -k 2 -d fb --format csv"));
    EXPECT_EQ(rows(dir.read("fa/fold-02/test.csv")), rows(dir.read("fb/fold-02/test.csv")));
  }
  EXPECT_GT(features, 1000u);
}

TEST(WorkflowAlphabet, BadAlphabetsAndPatternsAreRefused) {
  TempDir dir;
  dir.write("s.fa", ">a x\nACDEF\n>b y\nCDEFG\n");
  const std::map<std::string, std::string> before = dir.contents();
  for (const auto& [alphabet, problem] : std::map<std::string, std::string>{
           {"LV,VI", "puts V in two groups"},
           {"murphy12",
            "is neither an alphabet (murphy15, murphy10, murphy8, murphy4, murphy2, "
            "dayhoff6) nor groups of letters such as LVIM,ST,FYW: '1' is not a letter"}})
    for (const std::string command : {"mine", "folds"}) {
      const ProgramResult r = run_program(
          dir, {command, "dd", "-i", "s.fa", "--header-labels", "--alphabet", alphabet}, "");
      EXPECT_EQ(r.status, 2);
      EXPECT_EQ(r.err, "error: --alphabet: \"" + alphabet + "\" " + problem + "\nrun \"protfeat " +
                           command + " --help\" for the options\n");
      EXPECT_EQ(dir.contents(), before);
    }
  // A features file records one alphabet, and each pattern must fit it, or the line is named.
  const std::string head = "#protfeat\t2.0.0\n#approach\tng\n#setting\talphabet\t";
  std::vector<std::pair<std::string, std::string>> files = {
      {head + "AB,BC\n", "line 3: the setting alphabet: \"AB,BC\" puts B in two groups"}};
  for (const auto& [feature, why] :
       std::map<std::string, std::string>{{"VC", "V stands outside its group [LVIM]"},
                                          {"[ST", "opens a bracket it does not close"}})
    files.emplace_back(
        head + "murphy10\n#columns\tfeature\tsequences\n[LVIM]C\t1\n" + feature + "\t1\n",
        "line 6: the feature \"" + feature + "\" is no pattern of the alphabet murphy10: " + why);
  for (const auto& [text, message] : files) {
    dir.write("f.tsv", text);
    const ProgramResult r = run_program(dir, words("encode -f f.tsv -i s.fa -o t.csv"), "");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: f.tsv, " + message + "\n");
    EXPECT_FALSE(dir.exists("t.csv"));
  }
}
