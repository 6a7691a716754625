// mine and encode against the console runs: on the bundled sample and on random sets, with the
// labels grouped as the console needs, `mine` lists exactly the console's features (dd: the
// descriptors of LesDDs.txt in order with their families; ddsm: the kept list of LesDDSMs.txt
// with its classes and probabilities, and the support dd gives each; ng: the n-grams
// of contexte.txt; ma: the motif list) and `encode` writes the console's context byte for byte.
// With the same sequences interleaved and labelled by an id<TAB>class table, mine writes the
// same features file and encode the same rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <sstream>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"

namespace {
using Lines = std::vector<std::string>;

// LesDDs.txt as "TEXT<TAB>class|class" lines, most recent descriptor first.
Lines console_descriptors(const std::string& report, const Lines& classNames) {
  Lines out;
  const std::regex family("Family # ([0-9]+)");
  for (const std::string& line : text_lines(report)) {
    if (line.rfind(">>", 0) != 0) continue;
    const size_t end = line.find("        \tFamily # ");
    std::string entry = line.substr(2, end - 2) + "\t";
    const std::string families = line.substr(end);
    for (std::sregex_iterator it(families.begin(), families.end(), family), stop; it != stop; ++it)
      entry += (entry.back() == '\t' ? "" : "|") + classNames[std::stoul((*it)[1]) - 1];
    out.push_back(entry);
  }
  return out;
}

// LesDDSMs.txt as "TEXT<TAB>class<TAB>probability" lines, in its order.
Lines console_kept(const std::string& report) {
  Lines out;
  for (const std::string& line : text_lines(report)) {
    if (line.rfind(">>", 0) != 0) continue;
    const size_t text = line.find('-') + 1, pm = line.find("| PM= "), cls = line.find("| Class= ");
    out.push_back(line.substr(text, pm - text) + "\t" + line.substr(cls + 9) + "\t" +
                  line.substr(pm + 6, cls - pm - 6));
  }
  return out;
}

// The tab-separated fields of a features line.
// mine APPROACH on s.fa into APPROACH.tsv, and encode s.fa with it into APPROACH.arff.
void mine_and_encode(const TempDir& dir, const std::string& approach, const std::string& labels,
                     const std::string& options = "") {
  run_ok(dir,
         words("mine " + approach + " -i s.fa -o " + approach + ".tsv " + labels + " " + options));
  run_ok(dir, words("encode -f " + approach + ".tsv -i s.fa -o " + approach + ".arff " + labels));
}

// The checks run the console and the workflow commands on s.fa and c.txt of `dir`, and return
// the number of features, so that callers can see the comparison was not of nothing.
size_t check_dd(const TempDir& dir, const Lines& classNames, const std::string& alpha,
                const std::string& beta) {
  run_program(dir, {"dd", "c.txt", "s.fa", "Context.arff", alpha, beta}, "");
  mine_and_encode(dir, "dd", "-l c.txt", "--alpha " + alpha + " --beta " + beta);
  Lines firstTwoFields;
  for (const std::string& line : feature_lines(dir.read("dd.tsv")))
    firstTwoFields.push_back(line.substr(0, line.find('\t', line.find('\t') + 1)));
  EXPECT_EQ(firstTwoFields, console_descriptors(dir.read("LesDDs.txt"), classNames));
  EXPECT_EQ(dir.read("dd.arff"), dir.read("Context.arff"));
  return firstTwoFields.size();
}

// The training set is also the test set: the console's test context is then its context.
// `answers` are the console's matrix and similarity lines, `options` mine's.
size_t check_ddsm(const TempDir& dir, const std::string& alpha, const std::string& beta,
                  const std::string& answers, const std::string& options) {
  run_program(dir, {},
              "ddsm\ns.fa\nc.txt\ns.fa\nc.txt\n" + alpha + "\n" + beta + "\n" + answers +
                  "list.txt\ntest.arff\n");
  mine_and_encode(dir, "ddsm", "-l c.txt", "--alpha " + alpha + " --beta " + beta + " " + options);
  EXPECT_EQ(feature_texts(dir.read("ddsm.tsv")), text_lines(dir.read("list.txt")));
  EXPECT_EQ(dir.read("ddsm.arff"), dir.read("test.arff"));
  // Each kept descriptor with the class and probability the console reports, and the support
  // that mine dd gives the same descriptor under the same thresholds.
  run_ok(dir,
         words("mine dd -i s.fa -l c.txt -o support.tsv --alpha " + alpha + " --beta " + beta));
  std::map<std::string, std::string> support;
  for (const std::string& line : feature_lines(dir.read("support.tsv"))) {
    const Lines f = split_fields(line);
    support[f.at(0)] = f.at(2);
  }
  Lines kept;
  for (const std::string& line : feature_lines(dir.read("ddsm.tsv"))) {
    const Lines f = split_fields(line);
    kept.push_back(f.at(0) + "\t" + f.at(1) + "\t" + f.at(3));
    EXPECT_EQ(f.at(2), support[f.at(0)]) << f.at(0);
  }
  EXPECT_EQ(kept, console_kept(dir.read("LesDDSMs.txt")));
  return text_lines(dir.read("list.txt")).size();
}

// With labels, and without: no class attribute then, as the console's run without them.
size_t check_ng(const TempDir& dir) {
  run_program(dir, {}, "ng\ns.fa\nc.txt\nctx.txt\n");
  mine_and_encode(dir, "ng", "-l c.txt");
  EXPECT_EQ(dir.read("ng.arff"), dir.read("contexte.txt"));
  const size_t found = feature_texts(dir.read("ng.tsv")).size();
  run_program(dir, {}, "ng\ns.fa\n\nctx.txt\n");
  mine_and_encode(dir, "ng", "");
  EXPECT_EQ(dir.read("ng.arff"), dir.read("contexte.txt"));
  return found;
}

size_t check_ma(const TempDir& dir) {
  run_program(dir, {}, "ma\ns.fa\n\nmotifs.txt\n");
  run_ok(dir, words("mine ma -i s.fa -o ma.tsv"));
  EXPECT_EQ(feature_texts(dir.read("ma.tsv")), text_lines(dir.read("motifs.txt")));
  return text_lines(dir.read("motifs.txt")).size();
}

void write_inputs(const TempDir& dir, const LabelledSet& set) {
  dir.write("s.fa", set.fasta());
  dir.write("c.txt", set.classification_file());
  dir.write("mixed.fa", set.fasta(set.interleaved()));
  dir.write("labels.tsv", set.label_table());
}

// mine on the interleaved sequences labelled by the table writes APPROACH.tsv again, and encode
// with header labels the same row for each id (rows keep the input order: the scale tests).
void check_interleaved(const TempDir& dir, const std::string& approach,
                       const std::string& options) {
  run_ok(dir, words("mine " + approach + " -i mixed.fa -l labels.tsv -o mixed.tsv " + options));
  EXPECT_EQ(dir.read("mixed.tsv"), dir.read(approach + ".tsv"));
  run_ok(dir, words("encode -f mixed.tsv -i mixed.fa --header-labels -o mixed.csv"));
  run_ok(dir, words("encode -f mixed.tsv -i s.fa -l c.txt -o grouped.csv"));
  Lines mixed = text_lines(dir.read("mixed.csv")), grouped = text_lines(dir.read("grouped.csv"));
  std::sort(mixed.begin(), mixed.end());
  std::sort(grouped.begin(), grouped.end());
  EXPECT_EQ(mixed, grouped);
}
}  // namespace

TEST(WorkflowDifferential, BundledSampleAllApproaches) {
  TempDir dir;
  const std::string sample = read_file(source_path("data/Sample.txt"));
  dir.write("s.fa", sample);
  dir.write("c.txt", read_file(source_path("data/Sample.classes.txt")));
  EXPECT_GT(check_dd(dir, {"globin", "fn3", "pkinase", "rrm"}, "0.5", "0.2"), 20u);
  EXPECT_GT(check_ddsm(dir, "0.5", "0.2", "\n\n", ""), 0u);  // both programs' defaults
  EXPECT_EQ(check_ng(dir), 7011u);
  // ma on the kinases alone: on the whole sample no word reaches a quarter of the sequences.
  TempDir kinases;
  std::string pk;
  bool keep = false;
  for (const std::string& line : text_lines(sample)) {
    if (line[0] == '>') keep = line.find(" pkinase") != std::string::npos;
    if (keep) pk += line + "\n";
  }
  kinases.write("s.fa", pk);
  EXPECT_EQ(check_ma(kinases), 59u);
}

TEST(WorkflowDifferential, RandomSetsAllApproaches) {
  std::mt19937 rng(20240611);
  const char* alphas[] = {"0.5", "0.6", "0.8", "1"};
  const char* betas[] = {"0", "0.1", "0.2", "0.3"};
  const char* matrices[] = {"BLOSUM45", "BLOSUM62", "BLOSUM80", "PAM30", "PAM70", "PAM250"};
  const int letters[] = {20, 6, 5};
  for (size_t round = 0; round < 16; ++round) {
    const size_t families = round % 8 == 7 ? 1 : 2 + rng() % 4;
    const LabelledSet set = random_set(rng, families, 2, 10, 6, 60, letters[round % 3]);
    const std::string alpha = alphas[rng() % 4], beta = betas[rng() % 4];
    const std::string thresholds = "--alpha " + alpha + " --beta " + beta;
    SCOPED_TRACE("round " + std::to_string(round) + " " + thresholds);
    TempDir dir;
    write_inputs(dir, set);
    check_ng(dir);
    check_ma(dir);
    if (round % 4 == 0) {
      // With a distance, each motif's count is the number of sequences encode finds it in.
      run_ok(dir, words("mine ma -i s.fa -o d.tsv --distance 1 --min-length 4"));
      run_ok(dir, words("encode -f d.tsv -i s.fa -o d.libsvm"));
      const Lines motifs = feature_lines(dir.read("d.tsv"));
      std::vector<size_t> found(motifs.size(), 0);
      for (const std::vector<size_t>& row : libsvm_rows(dir.read("d.libsvm")))
        for (size_t k : row) ++found.at(k);
      for (size_t k = 0; k < motifs.size(); ++k)
        EXPECT_EQ(motifs[k].substr(motifs[k].find('\t') + 1), std::to_string(found[k]));
    }
    if (set.classNames.size() == 1) continue;  // the descriptors need two classes
    check_dd(dir, set.classNames, alpha, beta);
    check_interleaved(dir, "dd", thresholds);
    if (round % 2 == 1) continue;
    const std::string matrix =
        std::string(" --matrix ") + matrices[round / 2 % 6] + " --similarity 0.4";
    check_ddsm(dir, alpha, beta, std::to_string(round / 2 % 6 + 1) + "\n0.4\n", matrix);
    check_interleaved(dir, "ddsm", thresholds + matrix);
  }
}
