// The motif search: the sample threshold, the walk on small sets with known motifs, the
// storage that grows past the old fixed tables, and a differential test against the literal
// search (tests/reference/ma_reference.h) on random sets.
#include "motifs/motif_search.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <array>
#include <random>
#include <set>

#include "motifs/ma_run.h"
#include "motifs/suffix_tree.h"
#include "reference/ma_reference.h"
#include "support/run_program.h"

namespace {
struct SearchRun {
  MotifSearch ms;
  std::string report;
  std::string console;
  std::vector<std::string> motifs;
};

// The search as the console run makes it: its report, its console bytes and its motifs.
SearchRun run_search(const std::vector<std::string>& P, const std::vector<std::string>& D,
                     int16_t Dist = 0) {
  SearchRun r;
  const int Sam = static_cast<int>(P.size()), Tot = Sam + static_cast<int>(D.size());
  r.ms.Minocc = Tot / 4;
  r.ms.Minsam = compute_minsam(Tot, Sam, static_cast<int>(r.ms.Minocc));
  r.ms.Dist = Dist;
  TempDir dir;
  const std::string reportPath = (dir.path() / "report").string();
  FILE* f = std::tmpfile();
  {
    OutFile out = OutFile::create(reportPath);
    Console con(f, stdin);
    ConsoleReport report(con, out);
    const MotifIndex index(views_of(P), &report);
    one_ptn(r.ms, index, views_of(D), &report);
    report.finish();
    out.close();
    for (const MotifRef& m : r.ms.MLst) r.motifs.emplace_back(index.text(m));
  }
  r.report = read_file(reportPath);
  std::rewind(f);
  char buf[1 << 14];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) r.console.append(buf, n);
  std::fclose(f);
  return r;
}

// The tree as a depth-first list of labels (sequence, start, end), for both builds.
void describe(const SuffixTree& t, uint32_t node, std::vector<std::array<int, 3>>& out) {
  out.push_back({t[node].seq, t[node].start, t[node].end});
  for (uint32_t x = t[node].child; x != kNoNode; x = t[x].right) {
    describe(t, x, out);
    if (t[x].seq < 0) break;
  }
}
void describe(const literal_ma::Node* n, std::vector<std::array<int, 3>>& out) {
  out.push_back({n->seq, n->start, n->end});
  for (const literal_ma::Node* x = n->child; x; x = x->right) {
    describe(x, out);
    if (x->seq < 0) break;
  }
}
}  // namespace

TEST(Minsam, ThresholdsOfTheListedSetSizes) {
  EXPECT_EQ(compute_minsam(10, 10, 10 / 4), 2);
  EXPECT_EQ(compute_minsam(4, 4, 4 / 4), 1);
  EXPECT_EQ(compute_minsam(1, 1, 1 / 4), 2);
  EXPECT_EQ(compute_minsam(5000, 4000, 5000 / 4), 972);
  EXPECT_EQ(compute_minsam(100, 100, 25), 25);
  EXPECT_EQ(compute_minsam(0, 0, 0), 1);
  for (int tot = 1; tot <= 300; tot += 7)
    EXPECT_EQ(compute_minsam(tot, tot, tot / 4), literal_ma::minsam(tot, tot, static_cast<short>(tot / 4))) << tot;
  for (int tot = 4001; tot <= 8000; tot += 499)
    EXPECT_EQ(compute_minsam(tot, 4000, tot / 4), literal_ma::minsam(tot, 4000, static_cast<short>(tot / 4))) << tot;
}

TEST(MotifSearch, TenSequencesNeedTwo) {
  std::vector<std::string> P = {"ABCD", "XABCY", "EFG", "HIJ", "KLM",
                                "NOP",  "QRS",   "TUV", "WXY", "ZZZ"};
  SearchRun r = run_search(P, {});
  EXPECT_EQ(r.ms.Minsam, 2);
  EXPECT_EQ(r.report, "\t  2\t\t*ABC*\n");
  EXPECT_EQ(r.motifs, std::vector<std::string>{"ABC"});
  EXPECT_EQ(r.ms.Ct, 1u);
}

TEST(MotifSearch, FourSequencesTakeEverySubstringInTreeOrder) {
  std::vector<std::string> P = {"ABCD", "", "AB", "BCD"};
  SearchRun r = run_search(P, {});
  EXPECT_EQ(r.report, "\t  1\t\t*ABC*\n\t  1\t\t*ABCD*\n\t  2\t\t*BCD*\n");
  EXPECT_EQ(r.motifs, (std::vector<std::string>{"ABC", "ABCD", "BCD"}));
  EXPECT_EQ(r.ms.St, 3u);
  // Each motif print shows the spinner character and the count, then seven backspaces.
  EXPECT_EQ(r.console, "-     1\b\b\b\b\b\b\b-     2\b\b\b\b\b\b\b-     3\b\b\b\b\b\b\b");
}

TEST(MotifSearch, NoSequenceOrOnlyEmptyOnes) {
  for (const auto& P : {std::vector<std::string>{}, std::vector<std::string>{"", ""}}) {
    SearchRun r = run_search(P, {});
    EXPECT_EQ(r.ms.St, 0u);
    EXPECT_EQ(r.ms.Ct, 0u);
    EXPECT_EQ(r.report, "");
    EXPECT_EQ(r.console, "");
  }
}

TEST(MotifSearch, OneSequenceChecksEachWordOfThreeOnce) {
  SearchRun r = run_search({"ABABABC"}, {});
  EXPECT_EQ(r.ms.Minsam, 2);
  EXPECT_EQ(r.ms.Ct, 0u);
  EXPECT_EQ(r.ms.St, 3u);  // ABA, BAB, ABC
  EXPECT_EQ(r.report, "");
}

TEST(MotifSearch, KeepsEveryMotifPastSixteenBitCounts) {
  std::mt19937 rng(11);
  std::vector<std::string> P(4);
  for (auto& s : P)
    for (int i = 0; i < 160; ++i) s += static_cast<char>('A' + rng() % 20);
  SearchRun r = run_search(P, {});
  ASSERT_GT(r.ms.Ct, 32767u);
  ASSERT_EQ(r.motifs.size(), r.ms.Ct);
  // Every stored motif is the one its report line shows, and none repeats.
  std::set<std::string> seen;
  size_t at = 0;
  for (const std::string& m : r.motifs) {
    const std::string framed = "*" + m + "*\n";
    at = r.report.find("\t\t", at) + 2;
    ASSERT_EQ(r.report.compare(at, framed.size(), framed), 0) << m;
    ASSERT_TRUE(seen.insert(m).second) << m;
  }
}

TEST(MotifSearch, GrowsThePathStackAndTheMotifBuffer) {
  // Copies of one sequence of 5998 residues stack a chain of empty-label nodes under the
  // deepest node: the path outgrows 5999 lengths and the longest motif outgrows 5997.
  const std::string a(5998, 'A');
  std::vector<std::string> P(5, a);
  SearchRun r = run_search(P, {});
  EXPECT_GT(r.ms.deepestPath, 5999u);
  ASSERT_EQ(r.ms.Ct, 5996u);  // A x 3 to A x 5998, each in all five
  EXPECT_EQ(r.motifs.back(), a);
  EXPECT_EQ(r.report.substr(r.report.size() - a.size() - 9), "\t  5\t\t*" + a + "*\n");
}

TEST(MotifSearch, SameAsTheLiteralSearchOnRandomSets) {
  std::mt19937 rng(20240607);
  uint64_t motifs = 0, spinnerMoves = 0, withRest = 0, restMotifs = 0;
  for (int round = 0; round < 300; ++round) {
    // Mostly small alphabets, so that motifs repeat; now and then a wide one with bytes other
    // than letters, so that nodes gather enough children for the tree's fans.
    static const std::string pool = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1\r#\xc3\xa9";
    const int alphabet = round % 5 == 3 ? 6 + static_cast<int>(rng() % 26)
                                        : 1 + static_cast<int>(rng() % 4);
    const int count = 1 + static_cast<int>(round % 4 == 0 ? rng() % 250 : rng() % 40);
    const int maxLen = count > 100 ? 14 : 30;
    std::vector<std::string> all(static_cast<size_t>(count));
    for (auto& s : all) {
      const int len = rng() % 6 == 0 ? static_cast<int>(rng() % 3) : static_cast<int>(rng() % static_cast<unsigned>(maxLen));
      for (int i = 0; i < len; ++i) s += pool[rng() % static_cast<unsigned>(alphabet)];
    }
    // Some sets keep a part of their sequences out of the sample.
    std::vector<std::string> P, D;
    const bool split = round % 3 == 1 && count > 1;
    const size_t sam = split ? 1 + rng() % static_cast<size_t>(count - 1) : all.size();
    for (size_t i = 0; i < all.size(); ++i) (i < sam ? P : D).push_back(all[i]);
    const int16_t dist = round % 10 == 9 ? 1 : 0;

    SearchRun fast = run_search(P, D, dist);
    literal_ma::Result lit = literal_ma::search(P, D, dist);
    SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(P.size()) +
                 " sampled, " + std::to_string(D.size()) + " others, alphabet " +
                 std::to_string(alphabet));
    ASSERT_EQ(fast.ms.Minsam, lit.Minsam);
    ASSERT_EQ(fast.ms.St, lit.St);
    ASSERT_EQ(fast.ms.Ct, lit.Ct);
    ASSERT_EQ(fast.report, lit.report);
    ASSERT_EQ(fast.motifs, lit.MLst);
    ASSERT_EQ(fast.console, lit.console);
    motifs += lit.Ct;
    for (char c : lit.console) spinnerMoves += c == '\b';
    if (!D.empty()) {
      ++withRest;
      restMotifs += lit.Ct;
    }

    const MotifIndex index(views_of(P));
    const SuffixTree& tree = index.tree();
    literal_ma::Tree ref;
    ref.build(P);
    std::vector<std::array<int, 3>> a, b;
    describe(tree, tree.Root, a);
    describe(ref.Root, b);
    ASSERT_EQ(a, b);
  }
  // The sets must exercise what they are for: motifs, spinner moves, and samples with others.
  EXPECT_GT(motifs, 1000u);
  EXPECT_GT(spinnerMoves, 1000u);
  EXPECT_GT(withRest, 50u);
  EXPECT_GT(restMotifs, 100u);
  std::printf("%llu motifs, %llu backspaces, %llu sets with others (%llu motifs)\n",
              (unsigned long long)motifs, (unsigned long long)spinnerMoves,
              (unsigned long long)withRest, (unsigned long long)restMotifs);
}
