// The console: whole-line answers, the end of input, words, discarding a line, the key read,
// and the shared prompts built on them.
#include "console/console.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "console/prompts.h"
#include "core/run_exit.h"
#include "support/console_texts.h"
#include "support/streams.h"

namespace {

const std::string kEndOfInput = "error: unexpected end of input\n";
}  // namespace

TEST(Console, AnswersAreWholeLines) {
  TestArea t("first answer\n\nA\r\nlast");
  EXPECT_EQ(t.wa.con.read_answer(), "first answer");
  EXPECT_EQ(t.wa.con.read_answer(), "");
  EXPECT_EQ(t.wa.con.read_answer(), "A\r");
  EXPECT_EQ(t.wa.con.read_answer(), "last");  // no line end: still an answer
  auto [status, err] = ends([&] { t.wa.con.read_answer(); });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err, kEndOfInput);
}

TEST(Console, EndOfInputAtOnceEndsTheRun) {
  TestArea t("");
  auto [status, err] = ends([&] { t.wa.con.read_answer(); });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err, kEndOfInput);
}

TEST(Console, WordsLeaveTheRestOfTheLinePending) {
  TestArea t("  \n\tdd  rest of line\nnext\nDD");
  EXPECT_EQ(t.wa.con.read_word(), std::optional<std::string>("dd"));
  EXPECT_EQ(t.wa.con.getch(), ' ');  // the blank after the word is still there
  t.wa.con.discard_rest_of_line();
  EXPECT_EQ(t.wa.con.read_answer(), "next");
  EXPECT_EQ(t.wa.con.read_word(), std::optional<std::string>("DD"));
  EXPECT_EQ(t.wa.con.read_word(), std::nullopt);
  EXPECT_EQ(t.wa.con.getch(), EOF);
  t.wa.con.discard_rest_of_line();  // at the end of input it returns at once
}

TEST(Console, KeyReadTakesThePendingLineEnd) {
  TestArea t("XY\nZ");
  EXPECT_EQ(t.wa.con.read_word(), std::optional<std::string>("XY"));
  EXPECT_EQ(t.wa.con.getch(), '\n');
  EXPECT_EQ(t.wa.con.getch(), 'Z');
}

TEST(Console, PrintKeepsTheProgramTexts) {
  TestArea t;
  t.wa.con.print("%%\tEnter %d%\n", 5);
  t.wa.con.write(std::string("a\0b", 3));
  EXPECT_EQ(t.printed(), std::string("%\tEnter 5%\na\0b", 14));
}

TEST(Console, KeyReadOnATerminalTakesOneKeyWithoutEnterOrEcho) {
  int master = -1, slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  FILE* in = fdopen(slave, "r");
  OutputCapture out;
  Console con(out.get(), in);
  std::atomic<bool> done{false};
  bool rescued = false;
  // The key is typed once the terminal has left line mode (master and slave share their
  // attributes); if the read still waited for a line end after 5 s, one is typed to free it.
  std::thread typist([&] {
    termios t{};
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < limit && tcgetattr(master, &t) == 0 &&
           (t.c_lflag & ICANON))
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(::write(master, "x", 1), 1);
    while (!done && std::chrono::steady_clock::now() < limit + std::chrono::seconds(5))
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!done) {
      rescued = true;
      ASSERT_EQ(::write(master, "\n", 1), 1);
    }
  });
  const int c = con.getch();
  done = true;
  typist.join();
  EXPECT_EQ(c, 'x');
  EXPECT_FALSE(rescued);
  termios after{};
  ASSERT_EQ(tcgetattr(slave, &after), 0);
  EXPECT_TRUE(after.c_lflag & ICANON);  // the attributes are restored after the read
  EXPECT_TRUE(after.c_lflag & ECHO);
  pollfd p{master, POLLIN, 0};
  EXPECT_EQ(poll(&p, 1, 100), 0);  // nothing was echoed
  std::fclose(in);
  close(master);
}

TEST(Prompts, SequenceFileIsAskedUntilItOpensAndEmptyMeansSample) {
  InTempDir here;
  here.dir().write("Sample.txt", ">a\nAC\n");
  TestArea t("missing.fa\n\n");
  std::string name;
  InFile f = ask_sequence_file(t.wa.con, name);
  EXPECT_TRUE(f);
  EXPECT_EQ(name, "Sample.txt");
  EXPECT_EQ(t.printed(), kSeqPrompt + kSeqPrompt);

  // A folder opens on this system but cannot be read: it is asked again like a missing file.
  TestArea folder(".\nSample.txt\n");
  ask_sequence_file(folder.wa.con, name);
  EXPECT_EQ(folder.printed(), kSeqPrompt + kSeqPrompt);

  TestArea given("");
  name = "Sample.txt";
  EXPECT_TRUE(open_or_ask_sequence_file(given.wa.con, name));
  EXPECT_EQ(given.printed(), "");  // the given name opens: no prompt

  TestArea eof("nope\n");
  name = "";
  auto [status, err] = ends([&] { open_or_ask_sequence_file(eof.wa.con, name); });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err, kEndOfInput);
  EXPECT_EQ(eof.printed(), kSeqPrompt + kSeqPrompt);
}

TEST(Prompts, ClassificationFileHasNoDefault) {
  InTempDir here;
  here.dir().write("classes.txt", "#\n0\n#\n#\n");
  TestArea t("\nclasses.txt\n");
  std::string name = "classes.txt";
  EXPECT_TRUE(ask_classification_file(t.wa.con, name, true));
  EXPECT_EQ(t.printed(),
            "\n%\tEnter the classification file: \n%\tEnter the classification file: ");

  TestArea given("");
  name = "classes.txt";
  EXPECT_TRUE(ask_classification_file(given.wa.con, name, false));
  EXPECT_EQ(given.printed(), "");
}

TEST(Prompts, OptionalClassificationFileAndContextFileOfTheNgramAndMotifRuns) {
  InTempDir here;
  here.dir().write("classes.txt", "#\n0\n#\n#\n");
  TestArea none("\n");
  std::string name = "x";
  EXPECT_FALSE(ask_optional_classification_file(none.wa.con, name));
  EXPECT_EQ(name, "");
  EXPECT_EQ(none.printed(), kOptClassPrompt);

  TestArea retry("nope.txt\nclasses.txt\n");
  EXPECT_TRUE(ask_optional_classification_file(retry.wa.con, name));
  EXPECT_EQ(name, "classes.txt");
  EXPECT_EQ(retry.printed(), kOptClassPrompt + kOptClassPrompt);

  const std::string contextPrompt = "\n%\tEnter the context file name [Context.txt]: ";
  TestArea context("\nmine.txt\n");
  EXPECT_EQ(ask_context_file(context.wa.con), "Context.txt");
  EXPECT_EQ(ask_context_file(context.wa.con), "mine.txt");
  EXPECT_EQ(context.printed(), contextPrompt + contextPrompt);
}

TEST(Prompts, ThresholdsAreReadAsNumbersAndEmptyMeansZero) {
  TestArea t("0.7\nabc\n\n1\n");
  ask_thresholds(t.wa.con, t.wa.settings);
  EXPECT_EQ(t.wa.settings.ALPHA, 0.7f);
  EXPECT_EQ(t.wa.settings.BETA, 0.0f);
  ask_thresholds(t.wa.con, t.wa.settings);
  EXPECT_EQ(t.wa.settings.ALPHA, 0.0f);
  EXPECT_EQ(t.wa.settings.BETA, 1.0f);
  const std::string round =
      "\n%\tEnter ALPHA and BETA values ( 0 <= ALPHA,BETA <= 1 )\n  \tdefault values[0][0]: \n"
      "  \tALPHA [0]=   \tBETA [0]= ";
  EXPECT_EQ(t.printed(), round + round);
  EXPECT_TRUE(thresholds_in_range(0, 1));
  EXPECT_TRUE(thresholds_in_range(1, 0));
  EXPECT_FALSE(thresholds_in_range(2, 0.5f));
  EXPECT_FALSE(thresholds_in_range(0.5f, -0.1f));
  EXPECT_FALSE(thresholds_in_range(std::nanf(""), 0.5f));
}
