// Every approach on broken and hostile inputs: the program must end by itself (no crash, no
// hang, no sanitizer report), say what went wrong on standard error with a non-zero status when
// the run cannot complete, and never write a context whose rows do not match its sequences.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace {

struct Inputs {
  std::string name;
  std::string seq;      // sequence file bytes
  std::string classes;  // classification file bytes
};

std::string fasta(const std::vector<std::string>& seqs, const std::string& eol = "\n") {
  std::string s;
  for (size_t i = 0; i < seqs.size(); ++i) s += ">s" + std::to_string(i) + eol + seqs[i] + eol;
  return s;
}

std::string class_file(const std::vector<std::string>& names,
                       const std::vector<std::string>& labels, const std::string& eol = "\n",
                       int count = -1) {
  std::string s = "#classes number" + eol +
                  std::to_string(count < 0 ? static_cast<long>(names.size()) : count) + eol +
                  "#classes" + eol;
  for (auto& n : names) s += n + eol;
  s += "#data" + eol;
  for (auto& l : labels) s += l + eol;
  return s;
}

// n sequences over families F0..F(f-1), grouped in family order.
Inputs families(const std::string& name, int n, int f, int len, unsigned seed = 7) {
  std::mt19937 rng(seed);
  std::vector<std::string> seqs, names, labels;
  for (int k = 0; k < f; ++k) names.push_back("F" + std::to_string(k));
  for (int i = 0; i < n; ++i) {
    std::string s;
    for (int j = 0; j < len; ++j) s += "ACDEFGHIKL"[rng() % 10];
    seqs.push_back(s);
    labels.push_back(names[static_cast<size_t>(i * f / std::max(n, 1))]);
  }
  return {name, fasta(seqs), class_file(names, labels)};
}

std::vector<Inputs> corpus() {
  std::vector<Inputs> c;
  Inputs good = families("good", 12, 3, 30);
  c.push_back({"empty files", "", ""});
  c.push_back({"no header", "ACDEFGHIK\nLMNPQ\n", good.classes});
  std::string garbage;
  std::mt19937 rng(3);
  for (int i = 0; i < 4000; ++i) garbage += static_cast<char>(rng() % 256);
  garbage[10] = '\0';
  c.push_back({"binary garbage", garbage, garbage});
  c.push_back(
      {"garbage after header", ">x\n" + garbage + "\n>y\nACD\n", class_file({"A"}, {"A", "A"})});
  c.push_back({"lone 20000 residues", fasta({std::string(20000, 'A')}), class_file({"A"}, {"A"})});
  c.push_back({"100000-character lines",
               fasta({std::string(100000, 'C'), std::string(100000, 'D')}),
               class_file({"A", "B"}, {"A", "B"})});
  c.push_back({"CRLF files", fasta({"ACDEF", "ACDEG", "KLMNP", "KLMNQ"}, "\r\n"),
               class_file({"A", "B"}, {"A", "A", "B", "B"}, "\r\n")});
  c.push_back({"lower case and non-letters", fasta({"acd ef*", "AC1D%E", "k\tl-m", "KL mn"}),
               class_file({"A", "B"}, {"A", "A", "B", "B"})});
  c.push_back({"headers only", ">a\n>b\n>c\n", class_file({"A", "B"}, {"A", "A", "B"})});
  Inputs s4000 = families("4000 sequences", 4000, 4, 12);
  c.push_back(s4000);
  c.push_back(families("4001 sequences", 4001, 4, 12));
  c.push_back(families("19 families", 38, 19, 20));
  c.push_back(families("20 families", 40, 20, 20));
  c.push_back(
      {"too few labels", fasta({"ACDEF", "ACDEG", "KLMNP"}), class_file({"A", "B"}, {"A", "A"})});
  c.push_back({"labels out of order", fasta({"ACDEF", "KLMNP", "ACDEG"}),
               class_file({"A", "B"}, {"A", "B", "A"})});
  c.push_back({"count larger than names", fasta({"ACDEF", "KLMNP"}),
               class_file({"A", "B"}, {"A", "B"}, "\n", 5)});
  c.push_back({"empty lines", fasta({"ACDEF", "", "KLMNP", "KLMNQ"}) + "\n\n",
               "#\n2\n#\nA\n\n#\nA\n\n\n\n"});
  c.push_back({"names with spaces and commas", fasta({"ACDEF", "ACDEG", "KLMNP", "KLMNQ"}),
               class_file({"fam one", "b,c {x}"}, {"fam one", "fam one", "b,c {x}", "b,c {x}"})});
  return c;
}

// The answers that start an approach from the menu and accept every default.
std::string answers(const std::string& approach) {
  if (approach == "dd") return "dd\nseq.txt\nclass.txt\n0.5\n0.5\n";
  if (approach == "ddsm") return "ddsm\nseq.txt\nclass.txt\n\n0.5\n0.5\n\n\n\n";
  return approach + "\nseq.txt\nclass.txt\n\n";
}

size_t count_lines(const std::string& s) {
  return static_cast<size_t>(std::count(s.begin(), s.end(), '\n'));
}

// The data rows of an ARFF file: the lines after "@data".
size_t arff_rows(const std::string& arff) {
  size_t at = arff.find("\n@data\n");
  if (at == std::string::npos) return static_cast<size_t>(-1);
  return count_lines(arff.substr(at + 7));
}

size_t headers(const std::string& seq) {
  size_t n = 0;
  bool line_start = true;
  for (char ch : seq) {
    if (line_start && ch == '>') ++n;
    line_start = ch == '\n';
  }
  return n;
}

void expect_sane_end(const ProgramResult& r, const std::string& what) {
  EXPECT_LT(r.status, 128) << what << ": killed or crashed\n" << r.err.substr(0, 2000);
  EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << what << "\n" << r.err.substr(0, 4000);
  EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << what << "\n"
                                                            << r.err.substr(0, 4000);
  if (r.status != 0) {
    EXPECT_NE(r.err.find("error: "), std::string::npos)
        << what << ": status " << r.status << " without a reason on standard error";
  }
}

class HostileInputs : public ::testing::TestWithParam<std::string> {};

TEST_P(HostileInputs, EveryInputEndsCleanlyWithMatchingRows) {
  const std::string approach = GetParam();
  for (const Inputs& in : corpus()) {
    SCOPED_TRACE(approach + " on " + in.name);
    TempDir dir;
    dir.write("seq.txt", in.seq);
    dir.write("class.txt", in.classes);
    ProgramResult r = run_program(dir, {}, answers(approach), 300);
    expect_sane_end(r, approach + " on " + in.name);
    if (r.status != 0) continue;
    if (approach == "dd") {
      // One row per sequence read, unless the run said on standard error that sequences were
      // left out of SeqFile.seq (labels out of the order of the class names).
      size_t rows = arff_rows(dir.read("Context.arff"));
      if (r.err.find("left out") == std::string::npos)
        EXPECT_EQ(rows, headers(in.seq));
      else
        EXPECT_LT(rows, headers(in.seq));
    } else if (approach == "ng") {
      size_t n = headers(in.seq);
      EXPECT_EQ(arff_rows(dir.read("contexte.txt")), n);
      std::string dat = dir.read("contextedat.dat");
      if (!dat.empty()) {
        size_t blank = dat.find("\n\n");
        ASSERT_NE(blank, std::string::npos);
        EXPECT_EQ(count_lines(dat.substr(blank + 2)), n);
      }
    } else if (approach == "ma") {
      EXPECT_TRUE(dir.exists("Report.out"));
    }
  }
}

// A missing file, then end of input, at each prompt: the run asks again, then stops with the
// end-of-input error instead of looping.
TEST_P(HostileInputs, MissingFileThenEndOfInputAtEachPrompt) {
  const std::string approach = GetParam();
  Inputs in = families("small", 8, 2, 20);
  std::vector<std::string> lines;
  std::string all = answers(approach);
  for (size_t p = 0, q; (q = all.find('\n', p)) != std::string::npos; p = q + 1)
    lines.push_back(all.substr(p, q - p));
  for (size_t cut = 1; cut <= lines.size(); ++cut) {
    TempDir dir;
    dir.write("seq.txt", in.seq);
    dir.write("class.txt", in.classes);
    std::string input;
    for (size_t i = 0; i < cut; ++i) input += lines[i] + "\n";
    // Before the last answer given, a name that does not exist (asked again where a file is
    // expected; taken as an answer elsewhere).
    if (cut < lines.size() && lines[cut - 1].find(".txt") != std::string::npos)
      input.insert(input.size() - lines[cut - 1].size() - 1, "missing.txt\n");
    ProgramResult r = run_program(dir, {}, input, 120);
    SCOPED_TRACE(approach + " cut after answer " + std::to_string(cut));
    expect_sane_end(r, approach);
    if (cut < lines.size()) {
      EXPECT_EQ(r.status, 1);
      EXPECT_NE(r.err.find("error: unexpected end of input"), std::string::npos) << r.err;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllApproaches, HostileInputs, ::testing::Values("dd", "ddsm", "ng", "ma"));

}  // namespace
