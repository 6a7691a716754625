// Random labelled sequence sets for the workflow tests: families grown from an ancestor by
// substitutions, so that members share words and families share few; and readers of the files
// the console and the workflow commands write.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_program.h"

struct LabelledSet {
  std::vector<std::string> classNames;
  std::vector<std::string> ids, sequences;
  std::vector<size_t> classOf;  // class number of each sequence; sequences are grouped by class

  // FASTA of the sequences numbered `order` (all, in order, when empty); header "id class".
  std::string fasta(const std::vector<size_t>& order = {}) const {
    std::string s;
    for (size_t k = 0; k < (order.empty() ? ids.size() : order.size()); ++k) {
      const size_t i = order.empty() ? k : order[k];
      s += ">" + ids[i] + " " + classNames[classOf[i]] + "\n";
      for (size_t p = 0; p < sequences[i].size(); p += 60) s += sequences[i].substr(p, 60) + "\n";
    }
    return s;
  }
  // The grouped classification file the console needs.
  std::string classification_file() const {
    std::string s = "#classes number\n" + std::to_string(classNames.size()) + "\n#classes\n";
    for (const std::string& c : classNames) s += c + "\n";
    s += "#data\n";
    for (size_t c : classOf) s += classNames[c] + "\n";
    return s;
  }
  std::string label_table() const {
    std::string s;
    for (size_t i = 0; i < ids.size(); ++i) s += ids[i] + "\t" + classNames[classOf[i]] + "\n";
    return s;
  }
  // The sequences dealt from each family in turn: labels far from grouped, yet each family's
  // sequences in their own order, which decides the order of the features.
  std::vector<size_t> interleaved() const {
    std::vector<std::vector<size_t>> byClass(classNames.size());
    for (size_t i = 0; i < ids.size(); ++i) byClass[classOf[i]].push_back(i);
    std::vector<size_t> order;
    for (size_t round = 0; order.size() < ids.size(); ++round)
      for (const auto& members : byClass)
        if (round < members.size()) order.push_back(members[round]);
    return order;
  }
};

// `families` families of `minSize` to `maxSize` members over the first `letters` residues.
inline LabelledSet random_set(std::mt19937& rng, size_t families, size_t minSize, size_t maxSize,
                              size_t minLength, size_t maxLength, int letters = 20) {
  static const std::string kResidues = "ARNDCQEGHILKMFPSTWYV";
  auto pick = [&](size_t lo, size_t hi) { return lo + rng() % (hi - lo + 1); };
  auto residue = [&] { return kResidues[rng() % static_cast<unsigned>(letters)]; };
  LabelledSet set;
  for (size_t f = 0; f < families; ++f) {
    set.classNames.push_back("fam" + std::to_string(f + 1));
    std::string ancestor(pick(minLength, maxLength), 'A');
    for (char& c : ancestor) c = residue();
    for (size_t m = pick(minSize, maxSize); m > 0; --m) {
      std::string s = ancestor;
      for (char& c : s)
        if (rng() % 8 == 0) c = residue();
      if (rng() % 3 == 0 && s.size() > 4) s = s.substr(rng() % 4);  // a few start later
      set.ids.push_back("s" + std::to_string(set.ids.size() + 1));
      set.sequences.push_back(s);
      set.classOf.push_back(f);
    }
  }
  return set;
}

// The lines of a text (without line ends).
inline std::vector<std::string> text_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The fields of a line split at each `separator` (a trailing empty field kept).
inline std::vector<std::string> split_fields(const std::string& line, char separator = '\t') {
  std::vector<std::string> out;
  size_t p = 0;
  for (size_t t; (t = line.find(separator, p)) != std::string::npos; p = t + 1)
    out.push_back(line.substr(p, t - p));
  out.push_back(line.substr(p));
  return out;
}

// The feature lines of a features file (after its #columns line), and their first fields: the
// tests' features are plain residues, with nothing escaped.
inline std::vector<std::string> feature_lines(const std::string& file) {
  const std::vector<std::string> lines = text_lines(file);
  size_t k = 0;
  while (k < lines.size() && lines[k].rfind("#columns", 0) != 0) ++k;
  return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(k + 1, lines.size())), lines.end()};
}
inline std::vector<std::string> feature_texts(const std::string& file) {
  std::vector<std::string> texts;
  for (const std::string& line : feature_lines(file))
    texts.push_back(line.substr(0, line.find('\t')));
  return texts;
}

// The rows (after @data) of an ARFF table.
inline std::vector<std::string> arff_rows(const std::string& arff) {
  const size_t data = arff.find("@data\n");
  return data == std::string::npos ? std::vector<std::string>{} : text_lines(arff.substr(data + 6));
}

// Per row of a LibSVM table, its ascending feature numbers counted from 0.
inline std::vector<std::vector<size_t>> libsvm_rows(const std::string& table) {
  std::vector<std::vector<size_t>> rows;
  for (const std::string& line : text_lines(table)) {
    std::istringstream in(line);
    std::string cell;
    in >> cell;  // the class number
    rows.emplace_back();
    while (in >> cell) rows.back().push_back(std::stoul(cell.substr(0, cell.find(':'))) - 1);
  }
  return rows;
}

// The words of a command line; the tests' file names have no blanks.
inline std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// Runs the program and expects status 0 and nothing on standard error but the warning that
// some classes got no feature (random sets often leave one without).
inline ProgramResult run_ok(const TempDir& dir, const std::vector<std::string>& args,
                            const std::string& input = "") {
  ProgramResult r = run_program(dir, args, input);
  EXPECT_EQ(r.status, 0) << r.err;
  for (const std::string& line : text_lines(r.err))
    EXPECT_EQ(line.rfind("warning: no feature for the classes ", 0), 0u) << line;
  return r;
}

// Python, as the tables' readers use it: whether a module is there, and what a script run in
// `dir` with `args` prints (its status checked).
inline const std::string kPython = "/usr/bin/python3";
inline bool python_has(const std::string& module) {
  return std::system((kPython + " -c 'import " + module + "' 2>/dev/null").c_str()) == 0;
}
inline std::string python_output(const TempDir& dir, const std::string& script,
                                 const std::string& args) {
  dir.write("read.py", script);
  const std::string command =
      "cd " + dir.path().string() + " && " + kPython + " read.py " + args + " >py.txt";
  EXPECT_EQ(std::system(command.c_str()), 0);
  const std::string out = dir.read("py.txt");
  std::filesystem::remove(dir.path() / "read.py");
  std::filesystem::remove(dir.path() / "py.txt");
  return out;
}
