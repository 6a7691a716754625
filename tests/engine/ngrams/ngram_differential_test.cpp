// The fast list building and writers against the literal reference, on random sequence sets.
#include <gtest/gtest.h>

#include <random>

#include "console/ng_writers.h"
#include "reference/ngram_reference.h"
#include "support/run_program.h"

namespace {
std::string random_sequence(std::mt19937& rng, const std::string& alphabet, int maxLen) {
  std::uniform_int_distribution<int> len(0, maxLen);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::string s(static_cast<size_t>(len(rng)), ' ');
  for (char& c : s) c = alphabet[pick(rng)];
  return s;
}

// The three contexts the writers give for `list`.
RefNgOutput written(const NgramList& list, const std::vector<std::string>& seqs,
                    const RefClassLabels* classes) {
  ClassLabels fast;
  if (classes) fast = {classes->count, classes->names, classes->labels};
  TempDir dir;
  {
    OutFile context = OutFile::create((dir.path() / "ctx").string());
    OutFile dat = OutFile::create((dir.path() / "dat").string());
    OutFile arff = OutFile::create((dir.path() / "arff").string());
    WriteNgContexts(list, seqs, classes ? &fast : nullptr, context, dat, arff);
    dat.close();
    arff.close();
    context.close();
  }
  RefNgOutput out;
  out.context = dir.read("ctx");
  out.dat = dir.read("dat");
  out.arff = dir.read("arff");
  return out;
}

void expect_same_files(const RefNgOutput& got, const RefNgOutput& expected, int round) {
  ASSERT_EQ(got.context, expected.context) << "round " << round;
  ASSERT_EQ(got.dat, expected.dat) << "round " << round;
  ASSERT_EQ(got.arff, expected.arff) << "round " << round;
}

const char* const kAlphabets[] = {"A", "AB", "ABC", "ACGT", "ARNDCQEGHILKMFPSTWYV", "AB1\r*x%,'"};
}  // namespace

TEST(NgramDifferential, SameBytesAsTheLiteralVersionOnRandomSets) {
  std::mt19937 rng(20261207);
  for (int round = 0; round < 400; ++round) {
    const std::string alphabet = kAlphabets[rng() % std::size(kAlphabets)];
    const int maxLen = static_cast<int>(rng() % 25);
    const int nseq = static_cast<int>(rng() % 12);
    const int n = round % 8 == 0 ? 1 + static_cast<int>(rng() % 15) : 3;
    std::vector<std::string> seqs;
    for (int i = 0; i < nseq; ++i) seqs.push_back(random_sequence(rng, alphabet, maxLen));

    const bool withClasses = rng() % 4 != 0;
    RefClassLabels ref;
    if (withClasses) {
      const std::vector<std::string> pool = {"X", "Y", "fam 1", "", "a,b", "Z"};
      const int nnames = static_cast<int>(rng() % 4);
      for (int j = 0; j < nnames; ++j) ref.names.push_back(pool[rng() % pool.size()]);
      ref.count = rng() % 5 == 0 ? nnames + 1 : nnames;
      for (int i = 0; i < nseq; ++i) ref.labels.push_back(pool[rng() % pool.size()]);
    }

    const RefNgOutput expected = ReferenceNgRun(seqs, n, withClasses ? &ref : nullptr);
    const NgramList list = BuildNgramList(views_of(seqs), n);
    // Direct slots and hashing give the same list.
    const NgramList hashed = BuildNgramList(views_of(seqs), n, NgramIndexing::Hashed);
    ASSERT_EQ(hashed.texts, list.texts) << "round " << round;
    ASSERT_EQ(hashed.cells, list.cells) << "round " << round;
    for (const std::string& s : seqs) {
      std::vector<uint32_t> a, b;
      list.window_numbers(s, a);
      hashed.window_numbers(s, b);
      ASSERT_EQ(a, b) << "round " << round;
    }
    ASSERT_EQ(list.cells, expected.cells) << "round " << round;
    ASSERT_EQ(list.Nbvar(), expected.nbvar) << "round " << round;
    for (int32_t k = 0; k < list.Nbvar(); ++k) {
      ASSERT_EQ(list.text(static_cast<uint32_t>(k)), expected.texts[static_cast<size_t>(k)]);
      ASSERT_EQ(static_cast<int>(list.seqcount[static_cast<size_t>(k)]),
                expected.seqcount[static_cast<size_t>(k)]);
      ASSERT_EQ(static_cast<int>(list.count[static_cast<size_t>(k)]),
                expected.count[static_cast<size_t>(k)]);
      ASSERT_EQ(static_cast<int>(list.pos[static_cast<size_t>(k)]),
                expected.pos[static_cast<size_t>(k)]);
    }

    expect_same_files(written(list, seqs, withClasses ? &ref : nullptr), expected, round);
    if (HasFatalFailure()) return;
  }
}

// Wide rows (thousands of n-grams: the list's table grows many times, and its order of first
// occurrence must hold through that) and many rows: the writers reuse their row buffers from
// one batch of rows to the next.
TEST(NgramDifferential, WideRowsAndManyRows) {
  std::mt19937 rng(7);
  for (int round = 0; round < 4; ++round) {
    std::vector<std::string> seqs;
    const bool wide = round < 2;
    const int nseq = wide ? 40 : 700;
    for (int i = 0; i < nseq; ++i)
      seqs.push_back(wide ? random_sequence(rng, "ARNDCQEGHILKMFPSTWYV", 300)
                          : random_sequence(rng, "ABC", 8));
    RefClassLabels ref;
    ref.names = {"P", "Q", "R"};
    ref.count = 3;
    for (int i = 0; i < nseq; ++i) ref.labels.push_back(ref.names[rng() % 3]);
    const RefNgOutput expected = ReferenceNgRun(seqs, 3, &ref);
    const NgramList list =
        BuildNgramList(views_of(seqs), 3, round % 2 ? NgramIndexing::Hashed : NgramIndexing::Auto);
    ASSERT_EQ(list.Nbvar(), expected.nbvar);
    ASSERT_EQ(list.cells, expected.cells);
    expect_same_files(written(list, seqs, &ref), expected, round);
  }
}
