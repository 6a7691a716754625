// mine and encode against the console runs: on the bundled sample and on random sets, with the
// labels grouped as the console needs, `mine` lists exactly the console's features (dd: the
// descriptors of LesDDs.txt in order with their families; ddsm: the kept list; ng: the n-grams
// of contexte.txt; ma: the motif list) and `encode` writes the console's context byte for byte.
// With the same sequences interleaved and labelled by an id<TAB>class table, mine writes the
// same features file and encode the same rows, in the new order.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"

namespace {
// LesDDs.txt as "TEXT<TAB>class|class" lines, most recent descriptor first.
std::vector<std::string> console_descriptors(const std::string& report,
                                             const std::vector<std::string>& classNames) {
  std::vector<std::string> out;
  for (const std::string& line : text_lines(report)) {
    if (line.rfind(">>", 0) != 0) continue;
    const size_t end = line.find("        \tFamily # ");
    std::string entry = line.substr(2, end - 2) + "\t";
    const std::string families = line.substr(end);
    const std::regex family("Family # ([0-9]+)");
    bool first = true;
    for (std::sregex_iterator it(families.begin(), families.end(), family), stop; it != stop;
         ++it) {
      entry += (first ? "" : "|") + classNames[std::stoul((*it)[1]) - 1];
      first = false;
    }
    out.push_back(entry);
  }
  return out;
}

// The features file's feature lines cut to their first two fields.
std::vector<std::string> first_two_fields(const std::string& file) {
  std::vector<std::string> out;
  bool body = false;
  for (const std::string& line : text_lines(file)) {
    if (body)
      out.push_back(line.substr(0, line.find('\t', line.find('\t') + 1)));
    else if (line.rfind("#columns", 0) == 0)
      body = true;
  }
  return out;
}

// The ARFF rows (after @data) of a context, in order.
std::vector<std::string> arff_rows(const std::string& arff) {
  const size_t data = arff.find("@data\n");
  return data == std::string::npos ? std::vector<std::string>{} : text_lines(arff.substr(data + 6));
}

struct Case {
  LabelledSet set;
  std::string alpha, beta;
};

void write_inputs(const TempDir& dir, const LabelledSet& set) {
  dir.write("s.fa", set.fasta());
  dir.write("c.txt", set.classification_file());
  dir.write("mixed.fa", set.fasta(set.interleaved()));
  dir.write("labels.tsv", set.label_table());
}

// The rows of `mixedArff` put back in grouped order equal the rows of `groupedArff`.
void expect_same_rows_reordered(const LabelledSet& set, const std::string& groupedArff,
                                const std::string& mixedArff) {
  const std::vector<std::string> grouped = arff_rows(groupedArff), mixed = arff_rows(mixedArff);
  const std::vector<size_t> order = set.interleaved();
  ASSERT_EQ(grouped.size(), set.ids.size());
  ASSERT_EQ(mixed.size(), order.size());
  for (size_t k = 0; k < order.size(); ++k) EXPECT_EQ(mixed[k], grouped[order[k]]) << "row " << k;
  EXPECT_EQ(groupedArff.substr(0, groupedArff.find("@data")),
            mixedArff.substr(0, mixedArff.find("@data")));
}

void check_dd(const Case& c) {
  TempDir dir;
  write_inputs(dir, c.set);
  run_program(dir, {"dd", "c.txt", "s.fa", "Context.arff", c.alpha, c.beta}, "");
  run_ok(dir, {"mine", "dd", "-i", "s.fa", "-l", "c.txt", "-o", "f.tsv", "--alpha", c.alpha,
               "--beta", c.beta});
  EXPECT_EQ(first_two_fields(dir.read("f.tsv")),
            console_descriptors(dir.read("LesDDs.txt"), c.set.classNames));
  run_ok(dir, {"encode", "-f", "f.tsv", "-i", "s.fa", "-l", "c.txt", "-o", "t.arff"});
  EXPECT_EQ(dir.read("t.arff"), dir.read("Context.arff"));

  run_ok(dir, {"mine", "dd", "-i", "mixed.fa", "-l", "labels.tsv", "-o", "g.tsv", "--alpha",
               c.alpha, "--beta", c.beta});
  EXPECT_EQ(dir.read("g.tsv"), dir.read("f.tsv"));
  run_ok(dir, {"encode", "-f", "g.tsv", "-i", "mixed.fa", "--header-labels", "-o", "m.arff"});
  expect_same_rows_reordered(c.set, dir.read("Context.arff"), dir.read("m.arff"));
}

void check_ddsm(const Case& c, const std::string& matrixNumber, const std::string& matrix) {
  TempDir dir;
  write_inputs(dir, c.set);
  // The training set is also the test set: the console's test context is then its context.
  run_program(dir, {},
              "ddsm\ns.fa\nc.txt\ns.fa\nc.txt\n" + c.alpha + "\n" + c.beta + "\n" + matrixNumber +
                  "\n0.4\nlist.txt\ntest.arff\n");
  run_ok(dir, {"mine", "ddsm", "-i", "s.fa", "-l", "c.txt", "-o", "f.tsv", "--alpha", c.alpha,
               "--beta", c.beta, "--matrix", matrix, "--similarity", "0.4"});
  EXPECT_EQ(feature_texts(dir.read("f.tsv")), text_lines(dir.read("list.txt")));
  run_ok(dir, {"encode", "-f", "f.tsv", "-i", "s.fa", "-l", "c.txt", "-o", "t.arff"});
  EXPECT_EQ(dir.read("t.arff"), dir.read("test.arff"));

  run_ok(dir, {"mine", "ddsm", "-i", "mixed.fa", "-l", "labels.tsv", "-o", "g.tsv", "--alpha",
               c.alpha, "--beta", c.beta, "--matrix", matrix, "--similarity", "0.4"});
  EXPECT_EQ(dir.read("g.tsv"), dir.read("f.tsv"));
}

void check_ng(const LabelledSet& set) {
  TempDir dir;
  write_inputs(dir, set);
  run_program(dir, {}, "ng\ns.fa\nc.txt\nctx.txt\n");
  run_ok(dir, {"mine", "ng", "-i", "s.fa", "-l", "c.txt", "-o", "f.tsv"});
  run_ok(dir, {"encode", "-f", "f.tsv", "-i", "s.fa", "-l", "c.txt", "-o", "t.arff"});
  EXPECT_EQ(dir.read("t.arff"), dir.read("contexte.txt"));
  // Without labels: no class attribute, as the console's run without a classification file.
  run_program(dir, {}, "ng\ns.fa\n\nctx.txt\n");
  run_ok(dir, {"mine", "ng", "-i", "s.fa", "-o", "u.tsv"});
  run_ok(dir, {"encode", "-f", "u.tsv", "-i", "s.fa", "-o", "u.arff"});
  EXPECT_EQ(dir.read("u.arff"), dir.read("contexte.txt"));
}

void check_ma(const LabelledSet& set, bool withDistance) {
  TempDir dir;
  write_inputs(dir, set);
  run_program(dir, {}, "ma\ns.fa\n\nmotifs.txt\n");
  run_ok(dir, {"mine", "ma", "-i", "s.fa", "-o", "f.tsv"});
  EXPECT_EQ(feature_texts(dir.read("f.tsv")), text_lines(dir.read("motifs.txt")));
  if (!withDistance) return;
  // With a distance every motif is still found in at least --min-sequences sequences, and
  // encode counts the same sequences for it as mine did.
  run_ok(dir, {"mine", "ma", "-i", "s.fa", "-o", "d.tsv", "--distance", "1", "--min-length", "4"});
  run_ok(dir, {"encode", "-f", "d.tsv", "-i", "s.fa", "-o", "d.libsvm"});
  std::map<size_t, size_t> perFeature;
  for (const std::string& row : text_lines(dir.read("d.libsvm"))) {
    std::istringstream in(row);
    std::string cell;
    in >> cell;
    while (in >> cell) ++perFeature[std::stoul(cell.substr(0, cell.find(':'))) - 1];
  }
  size_t k = 0;
  bool body = false;
  for (const std::string& line : text_lines(dir.read("d.tsv"))) {
    if (!body) {
      body = line.rfind("#columns", 0) == 0;
      continue;
    }
    EXPECT_EQ(std::to_string(perFeature[k]), line.substr(line.find('\t') + 1)) << line;
    ++k;
  }
}
}  // namespace

TEST(WorkflowDifferential, BundledSampleAllApproaches) {
  TempDir dir;
  const std::string seqs = source_path("data/Sample.txt"),
                    classes = source_path("data/Sample.classes.txt");
  run_program(dir, {"dd", classes, seqs, "Context.arff", "0.5", "0.2"}, "");
  run_ok(dir, {"mine", "dd", "-i", seqs, "-l", classes, "-o", "dd.tsv", "--alpha", "0.5", "--beta",
               "0.2"});
  std::vector<std::string> names = {"globin", "fn3", "pkinase", "rrm"};
  const std::vector<std::string> descriptors = console_descriptors(dir.read("LesDDs.txt"), names);
  EXPECT_GT(descriptors.size(), 20u);
  EXPECT_EQ(first_two_fields(dir.read("dd.tsv")), descriptors);
  run_ok(dir, {"encode", "-f", "dd.tsv", "-i", seqs, "-l", classes, "-o", "dd.arff"});
  EXPECT_EQ(dir.read("dd.arff"), dir.read("Context.arff"));

  run_program(dir, {},
              "ddsm\n" + seqs + "\n" + classes + "\n" + seqs + "\n" + classes +
                  "\n0.5\n0.2\n\n\nlist.txt\ntest.arff\n");
  run_ok(dir, {"mine", "ddsm", "-i", seqs, "-l", classes, "-o", "ddsm.tsv", "--alpha", "0.5",
               "--beta", "0.2"});
  EXPECT_EQ(feature_texts(dir.read("ddsm.tsv")), text_lines(dir.read("list.txt")));
  run_ok(dir, {"encode", "-f", "ddsm.tsv", "-i", seqs, "-l", classes, "-o", "ddsm.arff"});
  EXPECT_EQ(dir.read("ddsm.arff"), dir.read("test.arff"));

  run_program(dir, {}, "ng\n" + seqs + "\n" + classes + "\nctx.txt\n");
  run_ok(dir, {"mine", "ng", "-i", seqs, "-l", classes, "-o", "ng.tsv"});
  EXPECT_EQ(feature_texts(dir.read("ng.tsv")).size(), 7011u);
  run_ok(dir, {"encode", "-f", "ng.tsv", "-i", seqs, "-l", classes, "-o", "ng.arff"});
  EXPECT_EQ(dir.read("ng.arff"), dir.read("contexte.txt"));

  // ma on the kinases alone: on the whole sample no word reaches a quarter of the sequences.
  std::string kinases;
  bool keep = false;
  for (const std::string& line : text_lines(read_file(seqs))) {
    if (line[0] == '>') keep = line.find(" pkinase") != std::string::npos;
    if (keep) kinases += line + "\n";
  }
  dir.write("pk.fa", kinases);
  run_program(dir, {}, "ma\npk.fa\n\nmotifs.txt\n");
  run_ok(dir, {"mine", "ma", "-i", "pk.fa", "-o", "ma.tsv"});
  EXPECT_EQ(feature_texts(dir.read("ma.tsv")).size(), 59u);
  EXPECT_EQ(feature_texts(dir.read("ma.tsv")), text_lines(dir.read("motifs.txt")));
}

TEST(WorkflowDifferential, RandomSetsDescriptors) {
  std::mt19937 rng(20240611);
  const char* alphas[] = {"0.5", "0.6", "0.8", "1"};
  const char* betas[] = {"0", "0.1", "0.2", "0.3"};
  for (int round = 0; round < 16; ++round) {
    Case c{random_set(rng, 2 + rng() % 4, 2, 9, 8, 60, round % 2 ? 6 : 20), alphas[rng() % 4],
           betas[rng() % 4]};
    SCOPED_TRACE("round " + std::to_string(round) + " alpha " + c.alpha + " beta " + c.beta);
    check_dd(c);
    if (round % 2 == 0)
      check_ddsm(c, std::to_string(1 + round % 6),
                 std::vector<std::string>{"BLOSUM45", "BLOSUM62", "BLOSUM80", "PAM30", "PAM70",
                                          "PAM250"}[static_cast<size_t>(round % 6)]);
  }
}

TEST(WorkflowDifferential, RandomSetsNgramsAndMotifs) {
  std::mt19937 rng(77);
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const LabelledSet set = random_set(rng, 1 + rng() % 4, 2, 10, 5, 50, round % 3 ? 5 : 20);
    check_ng(set);
    check_ma(set, round % 4 == 0);
  }
}
