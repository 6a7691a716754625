#include "engine/substitution/matrices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {
struct Expected {
  const char* name;
  const Matrix* m;
  int diagonal[20];
  int lowest, highest;
  const char* unitLetters;  // letters whose row has no positive entry besides the diagonal
};

// clang-format off
const Expected kExpected[] = {
    {"BLOSUM45", &BLOSUM45, {5, 7, 6, 7, 12, 6, 6, 7, 10, 5, 5, 5, 6, 8, 9, 4, 5, 15, 8, 5}, -5, 15, "CGP"},
    {"BLOSUM62", &BLOSUM62, {4, 5, 6, 6, 9, 5, 5, 6, 8, 4, 4, 5, 5, 6, 7, 4, 5, 11, 7, 4}, -4, 11, "CGP"},
    {"BLOSUM80", &BLOSUM80, {5, 6, 6, 6, 9, 6, 6, 6, 8, 5, 4, 5, 6, 6, 8, 5, 5, 11, 7, 4}, -6, 11, "CGP"},
    {"PAM30", &PAM30, {6, 8, 8, 8, 10, 8, 8, 6, 9, 8, 7, 7, 11, 9, 8, 6, 7, 13, 10, 7}, -17, 13, "ARCGKPSTW"},
    {"PAM70", &PAM70, {5, 8, 6, 6, 9, 7, 6, 6, 8, 7, 6, 6, 10, 8, 7, 5, 6, 13, 9, 6}, -11, 13, "CGPW"},
    {"PAM250", &PAM250, {2, 6, 2, 4, 4, 4, 4, 5, 6, 5, 6, 5, 6, 9, 6, 3, 3, 17, 10, 4}, -8, 17, "C"},
};
// clang-format on

int at(const Matrix& m, char a, char b) {
  return m[static_cast<size_t>(Index(a))][static_cast<size_t>(Index(b))];
}
}  // namespace

TEST(Matrices, DiagonalsExtremesSymmetryAndUnitLetters) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.name);
    const Matrix& m = *e.m;
    int lo = 1000, hi = -1000;
    std::string unit;
    for (size_t i = 0; i < 20; ++i) {
      EXPECT_EQ(m[i][i], e.diagonal[i]) << "diagonal of " << AA[i];
      bool positive = false;
      for (size_t j = 0; j < 20; ++j) {
        EXPECT_EQ(m[i][j], m[j][i]) << AA[i] << " against " << AA[j];
        lo = std::min(lo, m[i][j]);
        hi = std::max(hi, m[i][j]);
        if (j != i && m[i][j] > 0) positive = true;
      }
      if (!positive) unit += AA[i];
    }
    EXPECT_EQ(lo, e.lowest);
    EXPECT_EQ(hi, e.highest);
    EXPECT_EQ(unit, e.unitLetters);
  }
}

TEST(Matrices, Pam250HoldsItsOwnValuesAndNumbersPickTheMatrices) {
  EXPECT_EQ(at(PAM250, 'H', 'F'), -2);
  EXPECT_EQ(at(PAM250, 'F', 'H'), -2);
  EXPECT_EQ(at(PAM250, 'C', 'W'), -8);
  EXPECT_EQ(at(PAM250, 'F', 'Y'), 7);
  EXPECT_EQ(at(PAM250, 'I', 'V'), 4);
  EXPECT_EQ(at(BLOSUM62, 'C', 'W'), -2);
  EXPECT_EQ(at(BLOSUM62, 'W', 'Y'), 2);
  EXPECT_EQ(MatrixOfNumber(1), &BLOSUM45);
  EXPECT_EQ(MatrixOfNumber(2), &BLOSUM62);
  EXPECT_EQ(MatrixOfNumber(3), &BLOSUM80);
  EXPECT_EQ(MatrixOfNumber(4), &PAM30);
  EXPECT_EQ(MatrixOfNumber(5), &PAM70);
  EXPECT_EQ(MatrixOfNumber(6), &PAM250);
  EXPECT_EQ(MatrixOfNumber(0), nullptr);
  EXPECT_EQ(MatrixOfNumber(7), nullptr);
  EXPECT_EQ(MatrixOfNumber(65537), nullptr);
}

TEST(Index, PositionsInTheAlphabetAndNothingOutside) {
  EXPECT_EQ(Index('A'), 0);
  EXPECT_EQ(Index('R'), 1);
  EXPECT_EQ(Index('V'), 19);
  for (char c : {'B', 'Z', 'X', 'U', 'O', 'J', 'a', '\0', '#'}) EXPECT_EQ(Index(c), -1) << int(c);
  EXPECT_EQ(Index(static_cast<char>(0xE9)), -1);
}

TEST(Substitute, ExamplesUnderBlosum62) {
  const Matrix& m = BLOSUM62;
  EXPECT_EQ(Substitute(m, 0.5f, "IL", "VL"), 1);        // 7 / 8
  EXPECT_EQ(Substitute(m, 0.5f, "AS", "AT"), 1);        // 5 / 8
  EXPECT_EQ(Substitute(m, 0.625f, "AS", "AT"), 0);      // strictly greater
  EXPECT_EQ(Substitute(m, 0.5f, "AS", "SA"), 0);        // 2 / 8
  EXPECT_EQ(Substitute(m, 0.5f, "W", "Y"), 0);          // 2 / 11
  EXPECT_EQ(Substitute(m, 0.5f, "Y", "W"), 0);          // 2 / 7
  EXPECT_EQ(Substitute(m, 0.2f, "W", "Y"), 0);          // 0.1818...
  EXPECT_EQ(Substitute(m, 0.2f, "Y", "W"), 1);          // 0.2857...
  EXPECT_EQ(Substitute(m, 0.0f, "AAAAC", "AAAAW"), 0);  // C against W is -2
  EXPECT_EQ(Substitute(m, 0.99f, "KLMN", "KLMN"), 1);
  EXPECT_EQ(Substitute(m, 1.0f, "KLMN", "KLMN"), 0);
  EXPECT_EQ(Substitute(m, 0.0f, "", ""), 0);
  // Zero entries are accepted: A against C is 0 (ratio 4/13 for AC against CC... here AC/CC).
  EXPECT_EQ(Substitute(m, 0.3f, "AC", "CC"), 1);  // (0 + 9) / (4 + 9)
}

TEST(Substitute, LettersWithoutARowAreNeverSimilar) {
  EXPECT_EQ(Substitute(BLOSUM62, 0.0f, "AX", "AX"), 0);
  EXPECT_EQ(Substitute(BLOSUM62, 0.0f, "AA", "AB"), 0);
  EXPECT_EQ(Substitute(BLOSUM62, 0.0f, "ZA", "AA"), 0);
  EXPECT_EQ(Substitute(BLOSUM62, 0.0f, "AA", "A"), 0);  // second shorter: refused, no overrun
}
