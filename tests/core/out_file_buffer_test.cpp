#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/uio.h>

#include <optional>
#include <vector>

#include "core/out_file.h"
#include "core/run_exit.h"
#include "support/run_program.h"

namespace {
long size_on_disk(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}
}  // namespace

// Contexts reach hundreds of megabytes: they must leave in large blocks, not in the file
// system's 4 KiB blocks (the C library drops a buffer size given without a buffer).
TEST(OutFile, KeepsUpToOneMebibyteBeforeWriting) {
  TempDir dir;
  const std::string path = (dir.path() / "big").string();
  OutFile f = OutFile::create(path);
  const std::string block(100000, 'x');
  for (int i = 0; i < 10; ++i) f.write(block);
  EXPECT_EQ(size_on_disk(path), 0);  // 1,000,000 bytes still in the buffer
  f.write(block);
  EXPECT_EQ(size_on_disk(path) % (1 << 20), 0);
  EXPECT_GE(size_on_disk(path), 1 << 20);
  // A moved file keeps its buffer and its contents.
  OutFile g = std::move(f);
  g.write("end");
  g.close();
  EXPECT_EQ(size_on_disk(path), 1100003);
  EXPECT_EQ(dir.read("big").substr(1100000), "end");
}

TEST(OutFile, PiecesFollowWhatIsBufferedAndFailuresAreReportedAtClose) {
  TempDir dir;
  const std::string path = (dir.path() / "pieces").string();
  OutFile f = OutFile::create(path);
  f.write("head;");
  // More pieces than one system call takes, some of them empty.
  std::vector<std::string> texts;
  for (int i = 0; i < 3000; ++i) texts.push_back(i % 3 == 0 ? "" : std::to_string(i) + ",");
  std::vector<iovec> pieces;
  std::string expected = "head;";
  for (const std::string& t : texts) {
    pieces.push_back(iovec{const_cast<char*>(t.data()), t.size()});
    expected += t;
  }
  f.write_pieces(pieces.data(), static_cast<int>(pieces.size()));
  f.write(";tail");
  f.close();
  EXPECT_EQ(dir.read("pieces"), expected + ";tail");

  std::optional<OutFile> full = OutFile::try_create("/dev/full");
  if (!full) GTEST_SKIP() << "no /dev/full";
  const std::string block(4096, 'x');
  iovec one{const_cast<char*>(block.data()), block.size()};
  full->write_pieces(&one, 1);
  try {
    full->close();
    FAIL() << "a failed write was not reported";
  } catch (const RunExit& e) {
    EXPECT_EQ(e.status, 1);
  }
}
