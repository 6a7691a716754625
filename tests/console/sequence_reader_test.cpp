// The sequence-file readers: cleaning, messages, pieces, sampling, capacities, and a randomized
// comparison with the literal reference reader.
#include "console/sequence_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/run_exit.h"
#include "reference/input_reference.h"
#include "support/streams.h"

namespace {
const std::string kErrInput = "\tErr input\n";
const std::string kErrInputTest = "\tErr input : Get test Data\n";
const std::string kTooLong = "\tErr: Too long\n";
const std::string kTooMany = "\tErr: Too many sequences\n";

// Runs `member` over `file`; returns the exit status of a run that ended, or -1.
int read_as(TestArea& t, ReaderMember member, const std::string& file) {
  InputFile in(file);
  try {
    switch (member) {
      case ReaderMember::FormatFile: read_sequences(t.wa.input, t.wa.con, in.get(), member); break;
      case ReaderMember::GetData: get_data(t.wa.input, t.wa.con, in.get()); break;
      case ReaderMember::GetDataNg: get_data_ng(t.wa.input, t.wa.con, in.get()); break;
      case ReaderMember::GetTestData: get_test_data(t.wa.input, t.wa.con, in.get()); break;
    }
  } catch (const RunExit& e) {
    return e.status;
  }
  return -1;
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// A file of `n` sequences; sequence i holds the letters of i written in base 26.
std::string numbered_file(int n) {
  std::string file;
  for (int i = 0; i < n; ++i) {
    file += ">s\n";
    int v = i;
    do {
      file += static_cast<char>('A' + v % 26);
      v /= 26;
    } while (v);
    file += "\n";
  }
  return file;
}

const ReaderMember kAllMembers[] = {ReaderMember::FormatFile, ReaderMember::GetData,
                                    ReaderMember::GetDataNg, ReaderMember::GetTestData};
}  // namespace

TEST(SequenceReader, CleansResidueLinesOfEveryMember) {
  const std::string file = ">first\nac d\nef*\n>second\nKL\tm\n  n\n>third\nxy\nZ";
  for (ReaderMember m : kAllMembers) {
    TestArea t;
    EXPECT_EQ(read_as(t, m, file), -1);
    EXPECT_EQ(t.wa.input.P, (std::vector<std::string>{"ACDEF", "KLMN", "XYZ"}));
    EXPECT_TRUE(t.wa.input.D.empty());
    EXPECT_EQ(t.printed(), "");
    const bool test = m == ReaderMember::GetTestData;
    EXPECT_EQ(test ? t.wa.input.Tot1 : t.wa.input.Tot, 3);
    EXPECT_EQ(test ? t.wa.input.Sam1 : t.wa.input.Sam, 3);
    EXPECT_EQ(test ? t.wa.input.Tot : t.wa.input.Tot1, 0);  // the other counters are untouched
  }
}

TEST(SequenceReader, ReportsEachNonLetterAndKeepsIt) {
  TestArea t;
  read_as(t, ReaderMember::FormatFile, ">x\nA1b-\xc3\xa9\n");
  EXPECT_EQ(t.wa.input.P.at(0), "A1B-\xc3\xa9");
  EXPECT_EQ(t.printed(), repeat(kErrInput, 4));

  TestArea test;
  read_as(test, ReaderMember::GetTestData, ">x\nA1b-\xc3\xa9Q\n");
  EXPECT_EQ(test.wa.input.P.at(0), "A1B-\xc3\xa9Q");
  EXPECT_EQ(test.printed(), repeat(kErrInputTest, 4));

  // A NUL byte is reported but not stored.
  TestArea nul;
  read_as(nul, ReaderMember::GetDataNg, std::string(">x\nA\0B\n", 7));
  EXPECT_EQ(nul.wa.input.P.at(0), "AB");
  EXPECT_EQ(nul.printed(), kErrInput);
}

TEST(SequenceReader, CarriageReturnsStayExceptAtTheEndOfATestSequence) {
  const std::string file = ">x\r\nAB\r\nCD\r\n>y\r\nE\r\n";
  TestArea t;
  read_as(t, ReaderMember::FormatFile, file);
  EXPECT_EQ(t.wa.input.P, (std::vector<std::string>{"AB\rCD\r", "E\r"}));
  EXPECT_EQ(t.printed(), repeat(kErrInput, 3));

  TestArea test;
  read_as(test, ReaderMember::GetTestData, file);
  EXPECT_EQ(test.wa.input.P, (std::vector<std::string>{"AB\rCD", "E"}));
  EXPECT_EQ(test.wa.input.SLstT, test.wa.input.P);
  EXPECT_EQ(test.printed(), repeat(kErrInputTest, 3));
}

TEST(SequenceReader, TestMemberRemovesOnlyOneFinalNonLetter) {
  TestArea t;
  read_as(t, ReaderMember::GetTestData, ">a\nAC12\n>b\nAC\n>c\n>d\n9\n");
  EXPECT_EQ(t.wa.input.P, (std::vector<std::string>{"AC1", "AC", "", ""}));
  EXPECT_EQ(t.wa.input.SLstT, t.wa.input.P);
}

TEST(SequenceReader, TextBeforeTheFirstHeaderIsIgnored) {
  TestArea t;
  read_as(t, ReaderMember::FormatFile, "junk #1\nMORE\n\n>s\nAC\n");
  EXPECT_EQ(t.wa.input.P, (std::vector<std::string>{"AC"}));
  EXPECT_EQ(t.wa.input.Tot, 1);
  EXPECT_EQ(t.printed(), "");
  // A file without any header holds no sequence.
  for (ReaderMember m : kAllMembers) {
    TestArea none;
    EXPECT_EQ(read_as(none, m, "ACD\nef 1\nGH"), -1);
    EXPECT_TRUE(none.wa.input.P.empty());
    EXPECT_EQ(none.wa.input.Tot + none.wa.input.Tot1 + none.wa.input.Sam + none.wa.input.Sam1, 0);
    EXPECT_EQ(none.printed(), "");
  }
  TestArea empty;
  EXPECT_EQ(read_as(empty, ReaderMember::FormatFile, ""), -1);
  EXPECT_TRUE(empty.wa.input.P.empty());
}

TEST(SequenceReader, EmptySequencesAreStoredAtTheirOrdinal) {
  TestArea t;
  read_as(t, ReaderMember::GetDataNg, ">a\n>b\nAC\n>c\n\n>d");
  EXPECT_EQ(t.wa.input.P, (std::vector<std::string>{"", "AC", "", ""}));
  EXPECT_EQ(t.wa.input.SLst, t.wa.input.P);
  EXPECT_EQ(t.wa.input.Tot, 4);
}

TEST(SequenceReader, LongLinesArriveAsPiecesOf5999Characters) {
  // A residue line of 5999 characters then ">B": the second piece starts with '>' and is a
  // header of its own.
  TestArea t;
  read_as(t, ReaderMember::FormatFile,
          ">h\n" + std::string(3000, 'A') + std::string(2999, ' ') + ">B\nCC\n");
  EXPECT_EQ(t.wa.input.Tot, 2);
  EXPECT_EQ(t.wa.input.P, (std::vector<std::string>{std::string(3000, 'A'), "CC"}));

  // A header line of 6001 characters: its last two characters arrive as a residue piece.
  TestArea h;
  read_as(h, ReaderMember::FormatFile, ">" + std::string(6000, 'x') + "\nAC\n");
  EXPECT_EQ(h.wa.input.P, (std::vector<std::string>{"XXAC"}));

  // Without the cut, the same line is one header and its text is not a residue.
  TestArea shorter;
  read_as(shorter, ReaderMember::FormatFile, ">" + std::string(5997, 'x') + "\nAC\n");
  EXPECT_EQ(shorter.wa.input.P, (std::vector<std::string>{"AC"}));

  // 5999 characters and the line end: the line end is a piece of its own and adds nothing.
  TestArea exact;
  read_as(exact, ReaderMember::FormatFile, ">h\n" + std::string(5998, 'C') + " \nD\n");
  EXPECT_EQ(exact.wa.input.P.at(0).size(), 5998u);
  EXPECT_EQ(exact.printed(), kTooLong);  // D is residue 5999
}

TEST(SequenceReader, Exactly5998ResiduesRaiseNoMessage) {
  for (ReaderMember m : kAllMembers) {
    TestArea t;
    EXPECT_EQ(read_as(t, m, ">a\n" + std::string(2999, 'K') + "\n" + std::string(2999, 'L')), -1);
    EXPECT_EQ(t.wa.input.P.at(0).size(), 5998u);
    EXPECT_EQ(t.printed(), "");
  }
}

TEST(SequenceReader, LongerSequencesKeepTheirFirst5998ResiduesOrEndATestRun) {
  const std::string body = std::string(5998, 'K') + "\nLMN\n";
  TestArea f;
  EXPECT_EQ(read_as(f, ReaderMember::FormatFile, ">a\n" + body + ">b\nQ\n"), -1);
  EXPECT_EQ(f.wa.input.P, (std::vector<std::string>{std::string(5998, 'K'), "Q"}));
  EXPECT_EQ(f.printed(), repeat(kTooLong, 3));

  TestArea ng;
  read_as(ng, ReaderMember::GetDataNg, ">a\n" + std::string(5999, 'K'));
  EXPECT_EQ(ng.printed(), kTooLong);
  EXPECT_EQ(ng.wa.input.SLst.at(0), std::string(5998, 'K'));

  // The motif member names the length reached and the ordinal of the sequence.
  TestArea ma;
  read_as(ma, ReaderMember::GetData, ">a\nA\n>b\n" + body);
  EXPECT_EQ(ma.printed(),
            "\tErr: Too long sequence: 5999 N\xc2\xb0"
            "1\n"
            "\tErr: Too long sequence: 6000 N\xc2\xb0"
            "1\n"
            "\tErr: Too long sequence: 6001 N\xc2\xb0"
            "1\n");
  EXPECT_EQ(ma.wa.input.P.at(1), std::string(5998, 'K'));

  // The test member ends the run: one message, then the end.
  TestArea test;
  EXPECT_EQ(read_as(test, ReaderMember::GetTestData, ">a\nAC\n>b\n" + std::string(6010, 'W')), 1);
  EXPECT_EQ(test.printed(), kTooLong);
}

TEST(SequenceReader, AsManySequencesAsARunTakesAndNoMore) {
  TestArea whole;
  EXPECT_EQ(read_as(whole, ReaderMember::FormatFile, numbered_file(4000)), -1);
  EXPECT_EQ(whole.wa.input.Tot, 4000);
  EXPECT_EQ(whole.wa.input.Sam, 4000);
  ASSERT_EQ(whole.wa.input.P.size(), 4000u);
  EXPECT_EQ(whole.wa.input.P[3999], "VXF");  // 3999 = 21 + 23*26 + 5*676
  EXPECT_EQ(whole.printed(), "");

  struct Case {
    ReaderMember member;
    int count;
    std::string printed;
    std::string error;
  } cases[] = {
      {ReaderMember::FormatFile, 4001, kTooMany,
       "error: too many sequences: 4001 found, the limit is 4000\n"},
      {ReaderMember::GetDataNg, 4001, kTooMany,
       "error: too many sequences: 4001 found, the limit is 4000\n"},
      {ReaderMember::GetData, 8001, kTooMany,
       "error: too many sequences: 8001 found, the limit is 8000\n"},
      {ReaderMember::GetTestData, 401, "",
       "error: too many test sequences: 401 found, the limit is 400\n"},
  };
  for (const Case& c : cases) {
    TestArea t;
    testing::internal::CaptureStderr();
    EXPECT_EQ(read_as(t, c.member, numbered_file(c.count)), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.error);
    EXPECT_EQ(t.printed(), c.printed);
    EXPECT_TRUE(t.wa.input.P.empty());
  }
  TestArea fits;
  EXPECT_EQ(read_as(fits, ReaderMember::GetTestData, numbered_file(400)), -1);
  EXPECT_EQ(fits.wa.input.SLstT.size(), 400u);
}

TEST(SequenceReader, MotifMemberSamplesFourThousandAndKeepsTheRestInD) {
  TestArea t;
  const int n = 5000;
  EXPECT_EQ(read_as(t, ReaderMember::GetData, numbered_file(n)), -1);
  EXPECT_EQ(t.printed(), kTooMany);
  EXPECT_EQ(t.wa.input.Tot, n);
  EXPECT_EQ(t.wa.input.Sam, 4000);
  ASSERT_EQ(t.wa.input.P.size(), 4000u);
  ASSERT_EQ(t.wa.input.D.size(), 1000u);
  // Both tables keep file order, and together they hold every sequence once.
  auto ordinal = [](const std::string& s) {
    int v = 0;
    for (size_t i = s.size(); i-- > 0;) v = v * 26 + (s[i] - 'A');
    return v;
  };
  std::vector<int> p, d;
  for (const auto& s : t.wa.input.P) p.push_back(ordinal(s));
  for (const auto& s : t.wa.input.D) d.push_back(ordinal(s));
  EXPECT_TRUE(std::is_sorted(p.begin(), p.end()));
  EXPECT_TRUE(std::is_sorted(d.begin(), d.end()));
  std::vector<int> merged;
  std::merge(p.begin(), p.end(), d.begin(), d.end(), std::back_inserter(merged));
  for (int i = 0; i < n; ++i) ASSERT_EQ(merged[static_cast<size_t>(i)], i);
}

// Random files built from the characters that matter (headers, line ends, blanks, carriage
// returns, lower case, digits, NUL) with lines around the 5999-character cut, read by every
// member and compared with the literal reference reader.
TEST(SequenceReader, MatchesTheLiteralReaderOnRandomFiles) {
  std::mt19937 rng(12345);
  const std::string alphabet =
      std::string("ACDEFGHIKLMNPQRSTVWYacdxyz>\n\n\r \t*1-/#\xc3", 33) + '\0';
  for (int iter = 0; iter < 300; ++iter) {
    std::string file;
    const int parts = static_cast<int>(rng() % 12);
    for (int i = 0; i < parts; ++i) {
      switch (rng() % 4) {
        case 0: file += ">h" + std::to_string(i) + "\n"; break;
        case 1: file += std::string(5990 + rng() % 20, "AcW >\r"[rng() % 6]); break;
        default:
          for (int k = static_cast<int>(rng() % 40); k > 0; --k)
            file += alphabet[rng() % alphabet.size()];
      }
    }
    for (ReaderMember m : kAllMembers) {
      TestArea t;
      const int status = read_as(t, m, file);
      const RefSequences ref = reference_read_sequences(file, m);
      // Plain comparisons: a failure names the iteration without diffing texts of 6000 bytes.
      const bool same = status == (ref.ended ? 1 : -1) && t.printed() == ref.out &&
                        (ref.ended || t.wa.input.P == ref.P);
      ASSERT_TRUE(same) << "iteration " << iter << ", member " << static_cast<int>(m);
    }
  }
}
