// The printf-style program texts: "%\t" and "%\n" print as they stand, "%%" prints one '%'.
#include "core/text_format.h"

#include <gtest/gtest.h>

#include <climits>

#include "console/number_text.h"
#include "core/arff.h"

TEST(FormatText, PercentBeforeTabOrLineEndPrintsAsItStands) {
  EXPECT_EQ(format_text("\n%\t%f seconds\n", 1.5), "\n%\t1.500000 seconds\n");
  EXPECT_EQ(format_text("a%\nb"), "a%\nb");
  EXPECT_EQ(format_text("%%\tEnter"), "%\tEnter");
  EXPECT_EQ(format_text("100%%"), "100%");
  EXPECT_EQ(format_text("%%%d%%", 7), "%7%");
  EXPECT_EQ(format_text("  \tmaximum number of sequences in the file is %d;\n", 3000),
            "  \tmaximum number of sequences in the file is 3000;\n");
  EXPECT_EQ(format_text("%hd N\xc2\xb0%hd", static_cast<short>(5999), static_cast<short>(2)),
            "5999 N\xc2\xb0"
            "2");
}

TEST(FormatText, LongResultsAreWhole) {
  const std::string big(5000, 'x');
  EXPECT_EQ(format_text("<%s>%\n", big.c_str()), "<" + big + ">%\n");
}

TEST(ArffQuote, PlainNamesStandAsTheyAre) {
  EXPECT_EQ(arff_quote("ACD"), "ACD");
  EXPECT_EQ(arff_quote("??"), "??");
  EXPECT_EQ(arff_quote("a?b"), "a?b");
  EXPECT_EQ(arff_quote("F1-x.y"), "F1-x.y");
}

TEST(ArffQuote, EachEscapedCharacterIsEscapedAndQuoted) {
  EXPECT_EQ(arff_quote("a\\b"), "'a\\\\b'");
  EXPECT_EQ(arff_quote("it's"), "'it\\'s'");
  EXPECT_EQ(arff_quote("say \"x\""), "'say \\\"x\\\"'");
  EXPECT_EQ(arff_quote("50%"), "'50\\%'");
  EXPECT_EQ(arff_quote("a\tb"), "'a\\tb'");
  EXPECT_EQ(arff_quote("a\nb"), "'a\\nb'");
  EXPECT_EQ(arff_quote("A\r"), "'A\\r'");
}

// The ARFF reader splits a bare name at a control byte and has no escape for one: quoted, the
// byte is read back as it stands.
TEST(ArffQuote, ControlBytesAreQuotedAndKeptRaw) {
  EXPECT_EQ(arff_quote("x\x1ey"), "'x\x1ey'");
  EXPECT_EQ(arff_quote(std::string("A\0B", 3)), std::string("'A\0B'", 5));
  EXPECT_EQ(arff_quote("\x01\x1f\x7f"), "'\x01\x1f\x7f'");
  EXPECT_EQ(arff_quote("\x80\xc3\xa9"), "\x80\xc3\xa9");  // bytes above 0x7F stand as they are
}

TEST(ArffQuote, SeparatorsEmptyAndQuestionMarkAreQuoted) {
  EXPECT_EQ(arff_quote("a b"), "'a b'");
  EXPECT_EQ(arff_quote("a,b"), "'a,b'");
  EXPECT_EQ(arff_quote("{a"), "'{a'");
  EXPECT_EQ(arff_quote("a}"), "'a}'");
  EXPECT_EQ(arff_quote(""), "''");
  EXPECT_EQ(arff_quote("?"), "'?'");
}

TEST(NumberText, ReadsTheNumberAtTheStartOfTheText) {
  EXPECT_EQ(text_to_long("  +12 classes"), 12);
  EXPECT_EQ(text_to_long("-3"), -3);
  EXPECT_EQ(text_to_long("classes"), 0);
  EXPECT_EQ(text_to_long(""), 0);
  EXPECT_EQ(text_to_long("99999999999999999999999"), LONG_MAX);
  EXPECT_FLOAT_EQ(static_cast<float>(text_to_double("0.7x")), 0.7f);
  EXPECT_EQ(text_to_double(" .5"), 0.5);
  EXPECT_EQ(text_to_double("abc"), 0.0);
}
