// What the workflow commands leave when they write: an input is never replaced, a special file
// is written through and stays what it was, a regular file is replaced only by the finished
// output, and a run that fails or is ended by a signal leaves every file as it found it.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <regex>

#include "e2e/workflow_sets.h"
#include "support/run_program.h"

namespace fs = std::filesystem;

namespace {
const std::string kFasta = ">a\nACDEFGHIK\n>b\nCDEFGHKLM\n>c\nACDEFGAAA\n>d\nKLMCDEFGH\n";
const std::string kClasses = "#n\n2\n#classes\nx\ny\n#data\nx\ny\nx\ny\n";

// A folder with the sequences s.fa, their classes c.txt and the features f.tsv mined from them.
void write_inputs(const TempDir& dir) {
  dir.write("s.fa", kFasta);
  dir.write("c.txt", kClasses);
  run_ok(dir, words("mine ng -n 2 -i s.fa -l c.txt -o f.tsv"));
}

// A set large enough that a run lasts: 4 families of 100 sequences of 100 to 200 residues.
std::string generated_fasta() {
  std::mt19937 rng(11);
  return random_set(rng, 4, 100, 100, 100, 200).fasta();
}

// Waits until the folder holds a path that starts with `prefix` and ends with `suffix` (a
// temporary of the run); false when the run ends first.
bool wait_for_path(const TempDir& dir, RunningProgram& run, const std::string& prefix,
                   const std::string& suffix) {
  for (;;) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir.path(), ec); !ec && it != fs::end(it);
         it.increment(ec)) {
      const std::string name = fs::relative(it->path(), dir.path()).string();
      if (name.rfind(prefix, 0) == 0 && name.size() >= suffix.size() &&
          name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        return true;
    }
    if (run.finished()) return false;
    usleep(1000);
  }
}

const int kEndingSignals[] = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT, SIGUSR1,
                              SIGUSR2, SIGALRM, SIGPIPE, SIGXFSZ};

std::string too_large(const std::string& file) {
  return "error: cannot write file \"" + file + "\": File too large\n";
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the sanitizer's shadow memory takes more than any limit
#else
constexpr bool kSanitized = false;
#endif
}  // namespace

TEST(WorkflowOutputs, AnOutputThatIsAnInputIsRefusedBeforeAnyWork) {
  TempDir dir;
  write_inputs(dir);
  fs::create_symlink("s.fa", dir.path() / "s-link.fa");
  fs::create_hard_link(dir.path() / "s.fa", dir.path() / "s-hard.fa");
  fs::create_hard_link(dir.path() / "c.txt", dir.path() / "c-hard.txt");
  fs::create_symlink("f.tsv", dir.path() / "f-link.tsv");
  fs::create_directories(dir.path() / "sub");
  fs::create_directories(dir.path() / "out");
  fs::create_hard_link(dir.path() / "s.fa", dir.path() / "out/copy.fa");
  const std::map<std::string, std::string> before = dir.contents();

  const std::string encode = "encode -i s.fa -l c.txt -f f.tsv --format csv -o ";
  const std::string mine = "mine ng -n 2 -i s.fa -l c.txt -o ";
  const std::string folds = "folds -i s.fa -l c.txt -k 2 ng -n 2 -d ";
  const struct {
    std::string command, output, input;
  } cases[] = {
      {encode + "s.fa", "s.fa", "s.fa"},
      {encode + "s-link.fa", "s-link.fa", "s.fa"},
      {encode + "s-hard.fa", "s-hard.fa", "s.fa"},
      {encode + "sub/../s.fa", "sub/../s.fa", "s.fa"},
      {encode + "f-link.tsv", "f-link.tsv", "f.tsv"},
      {encode + "c-hard.txt", "c-hard.txt", "c.txt"},
      {mine + "c.txt", "c.txt", "c.txt"},
      {folds + "out", "out/copy.fa", "s.fa"},
  };
  for (const auto& c : cases) {
    const ProgramResult r = run_program(dir, words(c.command), "");
    EXPECT_EQ(r.status, 1) << c.command;
    EXPECT_EQ(r.err, "error: the output \"" + c.output + "\" is the same file as the input \"" +
                         c.input + "\": choose another output\n")
        << c.command;
    EXPECT_EQ(r.out, "") << c.command;
    EXPECT_EQ(dir.contents(), before) << c.command;
  }
}

TEST(WorkflowOutputs, SpecialOutputsAreWrittenThroughAndStayWhatTheyWere) {
  TempDir dir, special;
  write_inputs(dir);
  run_ok(dir, words("encode -i s.fa -l c.txt -f f.tsv -o want.csv"));
  const std::string table = dir.read("want.csv"), features = dir.read("f.tsv");
  fs::remove(dir.path() / "want.csv");
  fs::create_symlink("/proc/self/fd/1", dir.path() / "out.link");
  const std::map<std::string, std::string> before = dir.contents();

  // Standard output, however named: the table or the features file alone, nothing after it.
  const std::string encode = "encode -i s.fa -l c.txt -f f.tsv --format csv -o ";
  const struct {
    std::string command, out;
  } streamed[] = {
      {encode + "-", table},
      {encode + "/dev/stdout", table},
      {encode + "out.link", table},
      {"mine ng -n 2 -i s.fa -l c.txt -o -", features},
  };
  for (const auto& c : streamed) {
    const ProgramResult r = run_ok(dir, words(c.command));
    EXPECT_EQ(r.out, c.out) << c.command;
    EXPECT_EQ(dir.contents(), before) << c.command;
    EXPECT_TRUE(fs::is_symlink(dir.path() / "out.link"));
  }

  // A FIFO gets the table through and stays a FIFO.
  const std::string fifo = (special.path() / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(run_ok(dir, words(encode + fifo)).out, "");
  std::string got(table.size() + 1, '\0');
  const ssize_t n = read(reader, got.data(), got.size());
  close(reader);
  EXPECT_EQ(got.substr(0, static_cast<size_t>(std::max<ssize_t>(n, 0))), table);
  EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
  EXPECT_EQ(dir.contents(), before);

  // A device node (the null device's numbers), written to, stays the device.
  if (geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
  const std::string device = (special.path() / "null").string();
  ASSERT_EQ(mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  EXPECT_EQ(run_ok(dir, words(encode + device)).out, "");
  struct stat st {};
  ASSERT_EQ(lstat(device.c_str(), &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_EQ(st.st_rdev, makedev(1, 3));
  EXPECT_EQ(dir.contents(), before);
}

TEST(WorkflowOutputs, ARegularFileIsReplacedWholeKeepingItsMode) {
  TempDir dir;
  write_inputs(dir);
  run_ok(dir, words("encode -i s.fa -l c.txt -f f.tsv -o want.csv"));
  const std::string table = dir.read("want.csv");
  dir.write("old.csv", "old rows\n");
  fs::permissions(dir.path() / "old.csv", fs::perms(0640));
  dir.write("target.csv", "old target\n");
  fs::create_symlink("target.csv", dir.path() / "link.csv");
  const mode_t mask = umask(0);
  umask(mask);
  const std::string longest = std::string(251, 'n') + ".csv";  // 255 bytes, the usual limit

  const struct {
    std::string output, file;  // where the table lands
    mode_t mode;
  } cases[] = {
      {"old.csv", "old.csv", 0640},
      {"new.csv", "new.csv", 0666 & ~mask},
      {"link.csv", "target.csv", 0666 & ~mask},
      {longest, longest, 0666 & ~mask},
  };
  std::map<std::string, std::string> expected = dir.contents();
  for (const auto& c : cases) {
    run_ok(dir, words("encode -i s.fa -l c.txt -f f.tsv -o " + c.output));
    expected[c.file] = table;
    EXPECT_EQ(dir.contents(), expected) << c.output;
    EXPECT_EQ(static_cast<mode_t>(fs::status(dir.path() / c.file).permissions()), c.mode)
        << c.output;
  }
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link.csv"));
}

TEST(WorkflowOutputs, ResourceLimitsEndWithOneErrorLineAndNothingLeft) {
  TempDir dir;
  dir.write("g.fa", generated_fasta());
  run_ok(dir, words("mine ng -n 3 -i g.fa --header-labels -o f.tsv"));
  const std::map<std::string, std::string> before = dir.contents();
  const std::string encode = "encode -i g.fa --header-labels -f f.tsv -o t.arff";
  const std::pair<int, rlim_t> fileSize{RLIMIT_FSIZE, 64 << 10};

  const struct {
    std::string command;
    StartOptions start;
    int status;
    std::string err;
    bool needsPlainMemory;
  } cases[] = {
      // The table passes the file size limit: SIGXFSZ ends the run, or, ignored, the write
      // fails (EFBIG); either way the line names the table.
      {encode, {{}, {fileSize}}, 128 + SIGXFSZ, too_large("t.arff"), false},
      {encode, {{SIGXFSZ}, {fileSize}}, 1, too_large("t.arff"), false},
      {"folds -i g.fa --header-labels -k 3 -d out ng -n 3",
       {{SIGXFSZ}, {fileSize}},
       1,
       too_large("out/fold-01/train.arff"),
       false},
      // Too little address space for the stacks of 64 threads.
      {encode + " --threads 64",
       {{}, {{RLIMIT_AS, rlim_t{300000} << 10}}},
       1,
       "error: cannot start 64 worker threads: Resource temporarily unavailable; ask for fewer "
       "with --threads\n",
       true},
  };
  for (const auto& c : cases) {
    if (c.needsPlainMemory && kSanitized) continue;
    RunningProgram run(dir, words(c.command), c.start);
    const ProgramResult r = run.wait();
    EXPECT_EQ(r.status, c.status) << c.command;
    EXPECT_EQ(r.err, c.err) << c.command;
    EXPECT_EQ(dir.contents(), before) << c.command;
  }
  if (kSanitized) GTEST_SKIP() << "the address space limit is not tried under the sanitizer";
}

TEST(WorkflowOutputs, EverySignalRemovesWhatTheRunWroteAndEndsTheRunByIt) {
  TempDir dir;
  const std::string fasta = generated_fasta();
  dir.write("g.fa", fasta);
  run_ok(dir, words("mine ng -n 3 -i g.fa --header-labels -o f.tsv"));
  const std::map<std::string, std::string> before = dir.contents();
  // encode waits for more of its standard input, which stays open, once the temporary is
  // made; folds is signalled once its staged folder holds a finished fold, many folds before
  // its end.
  const struct {
    std::string command, suffix;
    bool readsInput;
    std::regex tooLarge;
  } runs[] = {
      {"encode -i - --header-labels -f f.tsv -o t.arff", "", true, std::regex(too_large("t.arff"))},
      {"folds -i g.fa --header-labels -k 20 -d out ng -n 3", "/fold-01/test.arff", false,
       std::regex(too_large("out/fold-[0-9]+/(features\\.tsv|train\\.arff|test\\.arff)"))},
  };
  for (int sig : kEndingSignals)
    for (const auto& c : runs) {
      const std::string what = c.command + " (signal " + std::to_string(sig) + ")";
      RunningProgram run(dir, words(c.command));
      if (c.readsInput) run.send_input(fasta);
      ASSERT_TRUE(wait_for_path(dir, run, ".protfeat-", c.suffix)) << what;
      run.signal(sig);
      const ProgramResult r = run.wait();
      EXPECT_EQ(r.status, 128 + sig) << what << ": " << r.err;
      if (sig == SIGXFSZ)
        EXPECT_TRUE(std::regex_match(r.err, c.tooLarge)) << what << ": " << r.err;
      else
        EXPECT_EQ(r.err, "") << what;
      EXPECT_EQ(dir.contents(), before) << what;
    }
}

TEST(WorkflowOutputs, ASignalIgnoredAtStartStaysIgnored) {
  TempDir dir;
  const std::string fasta = generated_fasta();
  dir.write("g.fa", fasta);
  run_ok(dir, words("mine ng -n 3 -i g.fa --header-labels -o f.tsv"));
  run_ok(dir, words("encode -i g.fa --header-labels -f f.tsv -o want.arff"));
  std::map<std::string, std::string> expected = dir.contents();
  expected["t.arff"] = expected["want.arff"];
  const size_t half = fasta.find('>', fasta.size() / 2);
  for (int sig : kEndingSignals) {
    RunningProgram run(dir, words("encode -i - --header-labels -f f.tsv -o t.arff"),
                       StartOptions{{sig}, {}});
    run.send_input(fasta.substr(0, half));
    ASSERT_TRUE(wait_for_path(dir, run, ".protfeat-", "")) << sig;
    run.signal(sig);
    run.send_input(fasta.substr(half));
    const ProgramResult r = run.wait();
    EXPECT_EQ(r.status, 0) << sig << ": " << r.err;
    EXPECT_EQ(r.err, "") << sig;
    EXPECT_EQ(dir.contents(), expected) << sig;
    fs::remove(dir.path() / "t.arff");
  }
}

TEST(WorkflowOutputs, TheIdsFileListsTheRowsAndIsNeverTheTableOrAnInput) {
  TempDir dir;
  write_inputs(dir);
  run_ok(dir, words("encode -i s.fa -l c.txt -f f.tsv -o t.libsvm --ids ids.txt"));
  EXPECT_EQ(dir.read("ids.txt"), "a\nb\nc\nd\n");
  const ProgramResult same =
      run_program(dir, words("encode -i s.fa -f f.tsv -o t.csv --ids ./t.csv"), "");
  EXPECT_EQ(same.status, 2);
  EXPECT_NE(same.err.find("error: --ids and -o name the same file"), std::string::npos) << same.err;
  EXPECT_FALSE(dir.exists("t.csv"));
  const ProgramResult over =
      run_program(dir, words("encode -i s.fa -f f.tsv -o t.csv --ids s.fa"), "");
  EXPECT_EQ(over.status, 1);
  EXPECT_EQ(dir.read("s.fa"), kFasta);
  EXPECT_FALSE(dir.exists("t.csv"));
}
