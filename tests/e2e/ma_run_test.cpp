// Whole ma runs from the menu, answers on standard input: console texts, "Report.out" and the
// motif list byte for byte (the seconds line masked), and the failures the run reports.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <regex>

#include "support/console_texts.h"
#include "support/run_program.h"

namespace {
const std::string kMenu = "\n Choix de l'algo : \nM\xc3\xa9thode Motif Actif par defaut\n";
const std::string kStart = "      0 motifs found" + std::string(20, '\b');

const std::string kFour = ">a\nAB\nCD\n>b\n>c\nab\n>d\nB C*D\n";
const std::string kClasses = "#classes number\n2\n#classes\nx\ny\n#data\nx\ny\nx\ny\n";

std::string progress(char spin, int ct) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%c%6d\b\b\b\b\b\b\b", spin, ct);
  return buf;
}

const std::string kColumns = "  Occurrence number     Motif\n  -----------------     -----\n";

std::string report_header(const std::string& seq, int occ, int tot, const std::string& cls) {
  std::string h =
      "Minimum length = 3\nMinimum occurrence number = " + std::to_string(occ) +
      "\nNumber of mutations allowed = 0\nTotal number of sequences = " + std::to_string(tot) +
      "\nInput file name = " + seq + "\n";
  if (!cls.empty()) h += "Classification file name = " + cls + "\n\n\n";
  return h;
}

std::string report_head(const std::string& seq, int occ, int tot, const std::string& cls) {
  return report_header(seq, occ, tot, cls) + kColumns;
}

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
}  // namespace

TEST(MaRun, WholeRunWithClassificationFile) {
  TempDir dir;
  dir.write("seq.fa", kFour);
  dir.write("classes.txt", kClasses);
  ProgramResult r = run_program(dir, {}, "ma\nseq.fa\nclasses.txt\nmotifs.txt\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(mask_seconds(r.out), kMenu + kSeqPrompt + kOptClassPrompt + kContextPrompt + "seq.fa" +
                                     "\n ===>   4 sequences found in file <seq.fa>\n" + kStart +
                                     progress('-', 1) + progress('-', 2) + progress('-', 3) +
                                     " \n      3 motifs checked\n\n%\tT seconds\n" +
                                     kEncodingComplete);
  EXPECT_EQ(dir.read("Report.out"), report_head("seq.fa", 1, 4, "classes.txt") +
                                        "\t  1\t\t*ABC*\n\t  1\t\t*ABCD*\n\t  2\t\t*BCD*\n"
                                        "\n\n     3 motifs found\n     3 motifs checked");
  EXPECT_EQ(dir.read("motifs.txt"), "ABC\nABCD\nBCD\n");
}

TEST(MaRun, WithoutClassificationFileAndDefaultNames) {
  TempDir dir;
  dir.write("Sample.txt", ">one\nQQQWQQQ\n>two\nqqqw\n>three\nWQQ\n");
  // An empty answer takes Sample.txt; a class file that cannot be opened is asked again, an
  // empty answer means none; an empty context answer takes Context.txt.
  ProgramResult r = run_program(dir, {}, "ma\n\nmissing.txt\n\n\n");
  ASSERT_EQ(r.status, 0) << r.err;
  // Three sequences: Minocc 0, Minsam 1; the 14 distinct words of 3 or more of QQQWQQQ
  // (the others add none) are all motifs.
  std::string shown;
  for (int ct = 1; ct <= 14; ++ct) shown += progress('-', ct);
  EXPECT_EQ(mask_seconds(r.out),
            kMenu + kSeqPrompt + kOptClassPrompt + kOptClassPrompt + kContextPrompt +
                "Sample.txt\n ===>   3 sequences found in file <Sample.txt>\n" + kStart + shown +
                " \n     14 motifs checked\n\n%\tT seconds\n" + kEncodingComplete);
  const std::string report = dir.read("Report.out");
  EXPECT_EQ(report.substr(0, report.find("\t ")), report_head("Sample.txt", 0, 3, ""));
  EXPECT_NE(report.find("\t  2\t\t*QQQW*\n"), std::string::npos) << report;
  EXPECT_NE(report.find("\t  2\t\t*WQQ*\n"), std::string::npos) << report;
  EXPECT_TRUE(ends_with(report, "\n\n    14 motifs found\n    14 motifs checked")) << report;
  const std::string list = dir.read("Context.txt");
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 14);
  EXPECT_NE(list.find("QQQWQQQ\n"), std::string::npos);
}

TEST(MaRun, FileWithoutSequences) {
  TempDir dir;
  dir.write("none.fa", "no header line here\n");
  ProgramResult r = run_program(dir, {}, "ma\nnone.fa\n\nlist.txt\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(
      mask_seconds(r.out).find("none.fa\n ===>   0 sequences found in file <none.fa>\n" + kStart +
                               " \n      0 motifs checked\n\n%\tT seconds\n" + kEncodingComplete),
      std::string::npos)
      << r.out;
  EXPECT_EQ(dir.read("Report.out"),
            report_head("none.fa", 0, 0, "") + "\n\n     0 motifs found\n     0 motifs checked");
  EXPECT_TRUE(dir.exists("list.txt"));
  EXPECT_EQ(dir.read("list.txt"), "");
}

TEST(MaRun, SampleOfFourThousandAndTheRest) {
  // 4500 copies of one sequence: 4000 are sampled, 500 tested after; every candidate occurs
  // everywhere, so the counts show both passes, whatever the draw.
  std::string seqs;
  for (int i = 0; i < 4500; ++i) seqs += ">s\nACDEFG\n";
  TempDir dir;
  dir.write("big.fa", seqs);
  ProgramResult r = run_program(dir, {}, "ma\nbig.fa\n\nlist.txt\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("big.fa\tErr: Too many sequences\n\n ===>   4500 sequences found"),
            std::string::npos);
  EXPECT_NE(r.out.find(" \n     10 motifs checked\n"), std::string::npos);
  EXPECT_EQ(
      dir.read("Report.out"),
      report_head("big.fa", 1125, 4500, "") +
          "\t4500\t\t*ACD*\n\t4500\t\t*ACDE*\n\t4500\t\t*ACDEF*\n\t4500\t\t*ACDEFG*\n"
          "\t4500\t\t*CDE*\n\t4500\t\t*CDEF*\n\t4500\t\t*CDEFG*\n\t4500\t\t*DEF*\n"
          "\t4500\t\t*DEFG*\n\t4500\t\t*EFG*\n\n\n    10 motifs found\n    10 motifs checked");
  EXPECT_EQ(dir.read("list.txt"), "ACD\nACDE\nACDEF\nACDEFG\nCDE\nCDEF\nCDEFG\nDEF\nDEFG\nEFG\n");
}

TEST(MaRun, ReportOrContextFileThatCannotBeCreated) {
  TempDir dir;
  dir.write("seq.fa", kFour);
  ProgramResult r = run_program(dir, {}, "ma\nseq.fa\n\nno/such/folder.txt\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no/such/folder.txt"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find(kEncodingComplete), std::string::npos);
  // The report was complete before the list was written.
  const std::string report = dir.read("Report.out");
  EXPECT_TRUE(ends_with(report, "\n\n     3 motifs found\n     3 motifs checked")) << report;

  std::filesystem::remove(dir.path() / "Report.out");
  std::filesystem::create_directory(dir.path() / "Report.out");
  ProgramResult noReport = run_program(dir, {}, "ma\nseq.fa\n\nctx.txt\n");
  EXPECT_EQ(noReport.status, 1);
  EXPECT_NE(noReport.err.find("Report.out"), std::string::npos) << noReport.err;
  EXPECT_FALSE(dir.exists("ctx.txt"));
}

TEST(MaRun, EndOfInputAtThePrompts) {
  TempDir dir;
  dir.write("seq.fa", kFour);
  for (const std::string input : {"ma\n", "ma\nmissing.fa\n", "ma\nseq.fa\n", "ma\nseq.fa\n\n"}) {
    ProgramResult r = run_program(dir, {}, input);
    EXPECT_EQ(r.status, 1) << input;
    EXPECT_EQ(r.err, "error: unexpected end of input\n") << input;
    EXPECT_FALSE(dir.exists("Report.out")) << input;
  }
}

TEST(MaRun, ExhaustedMemoryWhileBuilding) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "an address-space limit cannot hold the sanitizer's shadow memory";
#else
  // 4000 sequences of 5000 residues are read in about 45 MB, but their index needs some 200 MB:
  // far more than 100 MB of address space.
  std::string seqs;
  uint32_t x = 1;
  for (int i = 0; i < 4000; ++i) {
    seqs += ">s\n";
    for (int j = 0; j < 5000; ++j) {
      x = x * 1103515245u + 12345u;
      seqs += static_cast<char>('A' + (x >> 16) % 20);
    }
    seqs += '\n';
  }
  TempDir dir;
  dir.write("big.fa", seqs);
  dir.write("in.txt", "ma\nbig.fa\n\nctx.txt\n");
  const std::string cmd = "cd '" + dir.path().string() + "' && ulimit -v 100000 && '" +
                          std::string(PROTFEAT_BINARY) + "' < in.txt > out.txt 2> err.txt";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::string report = dir.read("Report.out");
  // The header is written before the index is built; the message follows it.
  EXPECT_EQ(report, report_header("big.fa", 1000, 4000, "") + "\tErr:no enough memory\n");
  EXPECT_NE(dir.read("err.txt").find("error: "), std::string::npos);
  EXPECT_FALSE(dir.exists("ctx.txt"));
#endif
}
