// Output files: exact bytes, creation failures and write failures end the run naming the file.
#include "core/out_file.h"

#include <gtest/gtest.h>

#include "console/capacity.h"
#include "core/run_exit.h"
#include "support/streams.h"

TEST(OutFile, WritesExactBytesAndEmptiesAnOldFile) {
  InTempDir here;
  here.dir().write("ctx.arff", "old content that must go");
  OutFile f = OutFile::create("ctx.arff");
  f.print("%%\t%d%\n", 3);
  f.put('x');
  f.write(std::string("\0y", 2));
  f.close();
  EXPECT_EQ(here.dir().read("ctx.arff"), std::string("%\t3%\nx\0y", 8));
}

TEST(OutFile, FileThatCannotBeCreatedEndsTheRun) {
  InTempDir here;
  auto [status, err] = ends([] { OutFile::create("no/such/folder/out.txt"); });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err.rfind("error: cannot create file \"no/such/folder/out.txt\": ", 0), 0u) << err;
  EXPECT_FALSE(OutFile::try_create("no/such/folder/out.txt").has_value());
}

TEST(OutFile, FailedWriteIsNotReportedAsSuccess) {
  auto [status, err] = ends([] {
    OutFile f = OutFile::create("/dev/full");
    f.write(std::string(3 << 20, 'A'));  // more than the buffer: the write reaches the disk
    f.close();
  });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err.rfind("error: cannot write file \"/dev/full\": ", 0), 0u) << err;

  auto [small, err2] = ends([] {
    OutFile f = OutFile::create("/dev/full");
    f.write("short");  // stays in the buffer until close
    f.close();
  });
  EXPECT_EQ(small, 1);
  EXPECT_NE(err2.find("/dev/full"), std::string::npos);
}

TEST(Capacity, RefusesOnlyAboveTheLimit) {
  auto [ok, none] = ends([] { check_capacity("sequences", 4000, 4000); });
  EXPECT_EQ(ok, -1);
  EXPECT_EQ(none, "");
  auto [status, err] = ends([] { check_capacity("class names", 101, 100); });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err, "error: too many class names: 101 found, the limit is 100\n");
}
