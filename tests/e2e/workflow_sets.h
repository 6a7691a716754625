// Random labelled sequence sets for the workflow tests: families grown from an ancestor by
// substitutions, so that members share words and families share few; written as FASTA with a
// grouped classification file (as the console needs), an id<TAB>class table, and helpers to
// read what the console and the workflow commands write.
#pragma once
#include <gtest/gtest.h>

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
  // The sequences dealt from each family in turn: labels far from grouped.
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
  LabelledSet set;
  for (size_t f = 0; f < families; ++f) {
    set.classNames.push_back("fam" + std::to_string(f + 1));
    std::string ancestor;
    const size_t length = pick(minLength, maxLength);
    for (size_t p = 0; p < length; ++p)
      ancestor += kResidues[rng() % static_cast<unsigned>(letters)];
    const size_t members = pick(minSize, maxSize);
    for (size_t m = 0; m < members; ++m) {
      std::string s = ancestor;
      for (char& c : s)
        if (rng() % 8 == 0) c = kResidues[rng() % static_cast<unsigned>(letters)];
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

// The feature texts of a features file (first field of each line after the header), unescaped
// nowhere: the tests' features are plain residues.
inline std::vector<std::string> feature_texts(const std::string& file) {
  std::vector<std::string> texts;
  bool body = false;
  for (const std::string& line : text_lines(file)) {
    if (body)
      texts.push_back(line.substr(0, line.find('\t')));
    else if (line.rfind("#columns", 0) == 0)
      body = true;
  }
  return texts;
}

// Runs the program and expects status 0 and nothing on standard error.
inline ProgramResult run_ok(const TempDir& dir, const std::vector<std::string>& args,
                            const std::string& input = "") {
  ProgramResult r = run_program(dir, args, input);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  return r;
}
