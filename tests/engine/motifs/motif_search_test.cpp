// The motif search: the sample threshold, the walk on small sets with known motifs, storage past
// the old fixed tables, a sequence of 40,000 residues, and a differential test against the
// literal search (tests/reference/ma_reference.h) on random sets and sets of families: the
// console's settings with and without a rest, and the settings a caller gives directly.
#include "engine/motifs/motif_search.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "console/ma_run.h"
#include "reference/ma_reference.h"
#include "support/run_program.h"
#include "support/streams.h"

namespace {
struct SearchRun {
  MotifSettings settings;
  MotifResult found;
  std::string report;
  std::string console;
  std::vector<std::string> motifs;
};

// The console run's settings for P sampled out of P and D, with the given distance.
MotifSettings console_settings(size_t sam, size_t rest, uint64_t distance = 0) {
  MotifSettings s = ma_settings(static_cast<int>(sam + rest), static_cast<int>(sam));
  s.distance = distance;
  return s;
}

// The search through the console's report: its report lines, its console bytes, its motifs.
SearchRun run_search(const std::vector<std::string>& P, const std::vector<std::string>& D,
                     const MotifSettings& settings,
                     MotifIndex::Width width = MotifIndex::Width::Fit) {
  SearchRun r;
  r.settings = settings;
  TempDir dir;
  const std::string reportPath = (dir.path() / "report").string();
  OutputCapture screen;
  {
    OutFile out = OutFile::create(reportPath);
    Console con(screen.get(), stdin);
    ConsoleReport report(con, out);
    const auto index = std::make_shared<const MotifIndex>(views_of(P), ProgressFn{}, width);
    EXPECT_EQ(index->wide(), width == MotifIndex::Width::Wide);
    r.found = one_ptn(index, views_of(D), settings, report);
    out.close();
    for (const MotifRef& m : r.found.motifs) r.motifs.emplace_back(r.found.text(m));
  }
  r.report = read_file(reportPath);
  r.console = screen.text();
  return r;
}

SearchRun run_search(const std::vector<std::string>& P, const std::vector<std::string>& D) {
  return run_search(P, D, console_settings(P.size(), D.size()));
}

literal_ma::Settings literal_settings(const MotifSettings& ms) {
  literal_ma::Settings s;
  s.Minlgh = static_cast<short>(ms.minLength);
  s.Maxlgh = static_cast<short>(std::min<uint64_t>(ms.maxLength, 6000));
  s.Minocc = static_cast<short>(ms.minAllSequences);
  s.Minsam = static_cast<short>(ms.minSequences);
  s.Dist = static_cast<short>(ms.distance);
  return s;
}

struct Tally {
  uint64_t motifs = 0, spinnerMoves = 0, withRest = 0, restMotifs = 0;
};

// The engine and the literal search agree on everything the console shows.
void expect_same_as_literal(const std::vector<std::string>& P, const std::vector<std::string>& D,
                            const MotifSettings& settings, MotifIndex::Width width, Tally& tally,
                            SearchRun* keep = nullptr) {
  const SearchRun fast = run_search(P, D, settings, width);
  const literal_ma::Result lit = literal_ma::search(P, D, literal_settings(settings));
  ASSERT_EQ(fast.found.checked, lit.St);
  ASSERT_EQ(fast.found.motifs.size(), lit.Ct);
  ASSERT_EQ(fast.report, lit.report);
  ASSERT_EQ(fast.motifs, lit.MLst);
  ASSERT_EQ(fast.console, lit.console);
  tally.motifs += lit.Ct;
  for (char c : lit.console) tally.spinnerMoves += c == '\b';
  if (!D.empty()) {
    ++tally.withRest;
    tally.restMotifs += lit.Ct;
  }
  if (keep) *keep = fast;
}

// Counts the indexes built (none of the sets is empty) and the motifs reported as found.
struct IndexCount {
  int built = 0;
  uint64_t reported = 0, lastChecked = 0, total = 0;
  ProgressFn progress() {
    return [this](const Progress& p) {
      built += p.step == "building the motif index" && p.done == p.total;
      if (p.step != "searching for motifs") return;
      if (p.total == 0) {
        // One report a motif, numbered on from the last; a walk that gives way reports none.
        EXPECT_EQ(p.found, reported + 1);
      } else {
        // The plain search: one report a candidate, against the same total.
        EXPECT_GE(p.found, reported);
        EXPECT_LE(p.done, p.total);
        EXPECT_TRUE(total == 0 || total == p.total);
        total = p.total;
      }
      EXPECT_GE(p.done, lastChecked);
      reported = p.found;
      lastChecked = p.done;
    };
  }
};

std::string random_text(std::mt19937& rng, size_t length, const std::string& alphabet) {
  std::string s;
  for (size_t i = 0; i < length; ++i) s += alphabet[rng() % alphabet.size()];
  return s;
}
// Two or three families of 30 to 50 members, each grown from an ancestor of 30 to 60 residues
// by substitutions, shuffled together.
std::vector<std::string> family_set(std::mt19937& rng) {
  const std::string alphabet = "ACDEFGHIKLMNPQRSTVWY";
  std::vector<std::string> all;
  for (size_t f = 0, families = 2 + rng() % 2; f < families; ++f) {
    const std::string ancestor = random_text(rng, 30 + rng() % 30, alphabet);
    for (size_t m = 0, members = 30 + rng() % 20; m < members; ++m) {
      std::string s = ancestor;
      for (char& c : s)
        if (rng() % 10 == 0) c = alphabet[rng() % alphabet.size()];
      all.push_back(s);
    }
  }
  std::shuffle(all.begin(), all.end(), rng);
  return all;
}
}  // namespace

TEST(MinSampledSequences, ThresholdsOfTheListedSetSizes) {
  EXPECT_EQ(min_sampled_sequences(10, 10, 10 / 4), 2u);
  EXPECT_EQ(min_sampled_sequences(4, 4, 4 / 4), 1u);
  EXPECT_EQ(min_sampled_sequences(1, 1, 1 / 4), 2u);
  EXPECT_EQ(min_sampled_sequences(5000, 4000, 5000 / 4), 972u);
  EXPECT_EQ(min_sampled_sequences(100, 100, 25), 25u);
  EXPECT_EQ(min_sampled_sequences(0, 0, 0), 1u);
  auto literal = [](int tot, int sam) {
    return static_cast<uint64_t>(literal_ma::minsam(tot, sam, static_cast<short>(tot / 4)));
  };
  for (int tot = 1; tot <= 300; tot += 7) {
    const auto n = static_cast<uint64_t>(tot);
    EXPECT_EQ(min_sampled_sequences(n, n, n / 4), literal(tot, tot)) << tot;
    EXPECT_EQ(ma_settings(tot, tot).minSequences, literal(tot, tot)) << tot;
  }
  for (int tot = 4001; tot <= 8000; tot += 499)
    EXPECT_EQ(ma_settings(tot, 4000).minSequences, literal(tot, 4000)) << tot;
}

TEST(MotifSearch, TenSequencesNeedTwo) {
  std::vector<std::string> P = {"ABCD", "XABCY", "EFG", "HIJ", "KLM",
                                "NOP",  "QRS",   "TUV", "WXY", "ZZZ"};
  SearchRun r = run_search(P, {});
  EXPECT_EQ(r.settings.minSequences, 2u);
  EXPECT_EQ(r.report, "\t  2\t\t*ABC*\n");
  EXPECT_EQ(r.motifs, std::vector<std::string>{"ABC"});
  EXPECT_EQ(r.found.motifs.size(), 1u);
}

TEST(MotifSearch, FourSequencesTakeEverySubstringInTreeOrder) {
  std::vector<std::string> P = {"ABCD", "", "AB", "BCD"};
  SearchRun r = run_search(P, {});
  EXPECT_EQ(r.report, "\t  1\t\t*ABC*\n\t  1\t\t*ABCD*\n\t  2\t\t*BCD*\n");
  EXPECT_EQ(r.motifs, (std::vector<std::string>{"ABC", "ABCD", "BCD"}));
  EXPECT_EQ(r.found.checked, 3u);
  // Each motif print shows the spinner character and the count, then seven backspaces.
  EXPECT_EQ(r.console, "-     1\b\b\b\b\b\b\b-     2\b\b\b\b\b\b\b-     3\b\b\b\b\b\b\b");
}

TEST(MotifSearch, NoSequenceOrOnlyEmptyOnes) {
  for (const auto& P : {std::vector<std::string>{}, std::vector<std::string>{"", ""}}) {
    SearchRun r = run_search(P, {});
    EXPECT_EQ(r.found.checked, 0u);
    EXPECT_EQ(r.found.motifs.size(), 0u);
    EXPECT_EQ(r.report, "");
    EXPECT_EQ(r.console, "");
  }
}

TEST(MotifSearch, OneSequenceChecksEachWordOfThreeOnce) {
  SearchRun r = run_search({"ABABABC"}, {});
  EXPECT_EQ(r.settings.minSequences, 2u);
  EXPECT_EQ(r.found.motifs.size(), 0u);
  EXPECT_EQ(r.found.checked, 3u);  // ABA, BAB, ABC
  EXPECT_EQ(r.report, "");
}

TEST(MotifSearch, KeepsEveryMotifPastSixteenBitCounts) {
  std::mt19937 rng(11);
  std::vector<std::string> P(4);
  for (auto& s : P) s = random_text(rng, 160, "ABCDEFGHIJKLMNOPQRST");
  SearchRun r = run_search(P, {});
  ASSERT_GT(r.found.motifs.size(), 32767u);
  ASSERT_EQ(r.motifs.size(), r.found.motifs.size());
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

TEST(MotifSearch, SequenceOfFortyThousandResidues) {
  std::mt19937 rng(40000);
  const std::string s = random_text(rng, 40000, "ACDEFGHIKLMNPQRSTVWY");
  // Alone, as the console would set it (2 sampled sequences needed): every word of three is
  // checked and fails.
  std::set<std::string> words;
  for (size_t p = 0; p + 3 <= s.size(); ++p) words.insert(s.substr(p, 3));
  const SearchRun one = run_search({s}, {}, console_settings(1, 0));
  EXPECT_EQ(one.found.motifs.size(), 0u);
  EXPECT_EQ(one.found.checked, words.size());

  // Two copies, both required, motifs of 39,990 residues or more: the eleven words of each
  // length from 39,990 up, all checked and all found, the prefixes of the first suffix first.
  MotifSettings ms;
  ms.minLength = 39990;
  ms.minSequences = 2;
  const SearchRun two = run_search({s, s}, {}, ms);
  ASSERT_EQ(two.found.motifs.size(), 66u);
  EXPECT_EQ(two.found.checked, 66u);
  std::set<std::string> expected, got(two.motifs.begin(), two.motifs.end());
  for (size_t len = 39990; len <= s.size(); ++len)
    for (size_t p = 0; p + len <= s.size(); ++p) expected.insert(s.substr(p, len));
  EXPECT_EQ(got, expected);
  for (size_t k = 0; k < 11; ++k) EXPECT_EQ(two.motifs[k], s.substr(0, 39990 + k)) << k;
  for (const MotifRef& m : two.found.motifs) EXPECT_EQ(m.count, 2u);

  // One letter repeated: every length is a string with children, a path far deeper than the
  // 5999 lengths of the old fixed stack.
  const std::string a(40000, 'A');
  const SearchRun same = run_search({a, a}, {}, ms);
  EXPECT_GT(same.found.deepestPath, 39000u);
  ASSERT_EQ(same.found.motifs.size(), 11u);
  EXPECT_EQ(same.motifs.front(), a.substr(0, 39990));
  EXPECT_EQ(same.motifs.back(), a);
}

TEST(MotifSearch, SameAsTheLiteralSearchOnRandomSets) {
  std::mt19937 rng(20240607);
  Tally tally;
  for (int round = 0; round < 300; ++round) {
    // Mostly small alphabets, so that motifs repeat; now and then a wide one with bytes other
    // than letters.
    static const std::string pool = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1\r#\xc3\xa9";
    const size_t alphabet = round % 5 == 3 ? 6 + rng() % 26 : 1 + rng() % 4;
    const size_t count = 1 + (round % 4 == 0 ? rng() % 250 : rng() % 40);
    const size_t maxLen = count > 100 ? 14 : 30;
    std::vector<std::string> all(count);
    for (auto& s : all)
      s = random_text(rng, rng() % 6 == 0 ? rng() % 3 : rng() % maxLen, pool.substr(0, alphabet));
    if (round % 50 == 7) all = family_set(rng);  // long shared words
    // Some sets keep a part of their sequences out of the sample.
    std::vector<std::string> P, D;
    const bool split = round % 3 == 1 && all.size() > 1;
    const size_t sam = split ? 1 + rng() % (all.size() - 1) : all.size();
    for (size_t i = 0; i < all.size(); ++i) (i < sam ? P : D).push_back(all[i]);
    const uint64_t dist = round % 10 == 9 ? 1 : 0;
    const auto width = round % 7 == 5 ? MotifIndex::Width::Wide : MotifIndex::Width::Fit;
    SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(P.size()) + " sampled, " +
                 std::to_string(D.size()) + " others, alphabet " + std::to_string(alphabet));
    expect_same_as_literal(P, D, console_settings(P.size(), D.size(), dist), width, tally);
  }
  // The sets must exercise what they are for: motifs, spinner moves, and samples with others.
  EXPECT_GT(tally.motifs, 1000u);
  EXPECT_GT(tally.spinnerMoves, 1000u);
  EXPECT_GT(tally.withRest, 50u);
  EXPECT_GT(tally.restMotifs, 100u);
}

TEST(MotifSearch, SameAsTheLiteralSearchWithSettingsGivenDirectly) {
  // Every sequence sampled, nothing left over, the sequences needed and the shortest and longest
  // lengths chosen by the caller.
  std::mt19937 rng(7);
  Tally tally;
  int served = 0, gaveWay = 0;
  for (int round = 0; round < 200; ++round) {
    const size_t count = 1 + rng() % 60;
    const std::string alphabet = std::string("ABCDEFGH").substr(0, 1 + rng() % 4);
    std::vector<std::string> P(count);
    for (auto& s : P) s = random_text(rng, rng() % 25, alphabet);
    MotifSettings ms;
    ms.minSequences = rng() % (count + 2);
    ms.minLength = rng() % 6;
    ms.maxLength = round % 3 == 0 ? rng() % 12 : 6000;
    ms.distance = round % 8 == 7 ? 1 : 0;
    const auto width = round % 5 == 2 ? MotifIndex::Width::Wide : MotifIndex::Width::Fit;
    SCOPED_TRACE("round " + std::to_string(round) + ", min sequences " +
                 std::to_string(ms.minSequences) + ", lengths " + std::to_string(ms.minLength) +
                 " to " + std::to_string(ms.maxLength));
    SearchRun full;
    expect_same_as_literal(P, {}, ms, width, tally, &full);

    // The same search through an index sorted 1 to 8 characters deep, or through the full index
    // it gives way to when the motifs reach deeper.
    IndexCount indexes;
    const MotifResult shallow =
        find_motifs(views_of(P), ms, indexes.progress(), nullptr, 1 + rng() % 8);
    ASSERT_EQ(shallow.checked, full.found.checked);
    ASSERT_EQ(shallow.motifs.size(), full.motifs.size());
    ASSERT_EQ(indexes.reported, shallow.motifs.size());
    if (ms.distance == 0)
      ASSERT_LE(indexes.lastChecked, shallow.checked);
    else  // every candidate of the total tried, or left untried below one that failed
      ASSERT_EQ(indexes.lastChecked, indexes.total);
    for (size_t m = 0; m < full.motifs.size(); ++m) {
      ASSERT_EQ(shallow.text(shallow.motifs[m]), full.motifs[m]);
      ASSERT_EQ(shallow.motifs[m].count, full.found.motifs[m].count);
    }
    ++(indexes.built == 1 ? served : gaveWay);
  }
  EXPECT_GT(tally.motifs, 1000u);
  EXPECT_GT(served, 40);
  EXPECT_GT(gaveWay, 40);
}
