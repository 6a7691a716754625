// The progress line's drawing bytes: where the cursor stands after the console's unfinished
// line, how the line is cut to the terminal, and that erasing gives back the console's text.
#include <gtest/gtest.h>

#include <string>

#include "core/progress.h"

using progress::draw_bytes;
using progress::erase_bytes;
using progress::LineTail;

TEST(ProgressTail, FollowsTheTextAfterTheLastLineEnd) {
  LineTail t;
  t.feed("first line\nAB");
  t.feed("CD");
  EXPECT_EQ(t.text(), "ABCD");
  EXPECT_EQ(t.column(), 4);
  t.feed("\n");
  EXPECT_EQ(t.text(), "");
  EXPECT_EQ(t.column(), 0);
  t.feed("x\ny\nprompt: ");
  EXPECT_EQ(t.text(), "prompt: ");
  t.reset();
  EXPECT_EQ(t.text(), "");
}

TEST(ProgressTail, ColumnsOfTabsBackspacesReturnsAndWideCharacters) {
  LineTail t;
  t.feed("%\tA");  // the tab goes to column 8
  EXPECT_EQ(t.column(), 9);
  t.feed("\t");
  EXPECT_EQ(t.column(), 16);
  t.feed("\b\b\b");
  EXPECT_EQ(t.column(), 13);
  t.feed("\r");
  EXPECT_EQ(t.column(), 0);
  t.feed(std::string(3, '\b'));  // never left of the first column
  EXPECT_EQ(t.column(), 0);
  LineTail u;
  u.feed("M\xc3\xa9thode");  // a two-byte character takes one column
  EXPECT_EQ(u.column(), 7);
}

TEST(ProgressTail, AnOverlongLineIsNotRewrittenUntilItEnds) {
  LineTail t;
  t.feed(std::string(200, 'a'));
  EXPECT_FALSE(t.overlong());
  t.feed(std::string(100, 'b'));
  EXPECT_TRUE(t.overlong());
  EXPECT_EQ(draw_bytes(t, "work", 1000), "");
  t.feed("more");
  EXPECT_TRUE(t.overlong());
  t.feed("end\nnew");
  EXPECT_FALSE(t.overlong());
  EXPECT_EQ(t.text(), "new");
}

TEST(ProgressDraw, OnAnEmptyLineAndAfterAPrompt) {
  LineTail t;
  EXPECT_EQ(draw_bytes(t, "reading", 80), "\r\033[Kreading");
  EXPECT_EQ(erase_bytes(t), "\r\033[K");
  t.feed("\nname: ");
  // The prompt is rewritten before the line, so erasing leaves the prompt as it was.
  EXPECT_EQ(draw_bytes(t, "reading", 80), "\rname: \033[K reading");
  EXPECT_EQ(erase_bytes(t), "\rname: \033[K");
}

TEST(ProgressDraw, CutToTheTerminalWidthOrLeftOut) {
  LineTail t;
  // 20 columns: 19 usable, the last one left free.
  EXPECT_EQ(draw_bytes(t, "0123456789abcdefghijklmn", 20), "\r\033[K0123456789abcdefghi");
  t.feed("%\tX");  // column 9, one blank after it: 9 columns left on a 20-column terminal
  EXPECT_EQ(draw_bytes(t, "0123456789abcdefghijklmn", 20), "\r%\tX\033[K 012345678");
  t.feed("YZ");  // 7 columns left: no room for a useful line
  EXPECT_EQ(draw_bytes(t, "0123456789", 20), "");
  EXPECT_EQ(draw_bytes(t, "0123456789", 0), "");
}
