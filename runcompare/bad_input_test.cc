// Bad input, end to end: zenthar runs on empty, random, damaged, huge, CR LF and cut-off
// tables, on folders and unreadable files, with numbers beyond 32 bits, with standard input
// at its end and with standard output on a full device. Every case compares the whole
// console output, out.txt and the exit status. A failure after some records leaves every
// earlier record complete in out.txt.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "testsupport/zenthar_fixture.h"

namespace runcompare {
namespace {

using namespace std::string_literals;
using testsupport::RandomBytes;
using testsupport::RunResult;
using testsupport::WithCrLf;

TEST_F(ZentharBadInputTest, EmptyFiles) {
  Write("a", "");
  Write("b", "");
  Write("out.txt", "old\n");
  Expect({"a", "b", "2"}, "a  b    ==>  out.txt\n\n" + Wrote(0), 0);
  EXPECT_EQ(OutTxt(), "");
  // An empty table takes part in no record.
  Write("b", "1 -3\n2 -4\n");
  Expect({"a", "b", "2"},
         "a  b    ==>  out.txt\n\n" + Record(1, "-+", -3, 2, -3, 2) +
             Record(2, "-+", -4, 2, -4, 2) + Wrote(2),
         0);
  EXPECT_EQ(OutTxt(), "1 -3\n2 -4\n");
}

// Two tables of random bytes, log-likelihoods in column 3: a line takes part when it has
// three fields; fields that are not numbers count as 0.0; the run ends at record 10, where
// neither line has three fields, although both tables go on.
TEST_F(ZentharBadInputTest, TablesOfRandomBytes) {
  const std::string r1 = RandomBytes(20240601, 4096), r2 = RandomBytes(20240602, 4096);
  Write("r1", r1);
  Write("r2", r2);
  Expect({"r1", "r2", "3"},
         "r1  r2    ==>  out.txt\n\n" + Record(1, "++", 0, 1, 7, 2) + Record(2, "-+", 0, 2, 0, 2) +
             Record(3, "+-", 0, 1, 0, 1) + Record(4, "++", 0, 1, 0, 1) +
             Record(5, "-+", 0, 2, 0, 2) + Record(6, "++", 0, 2, 4, 1) +
             Record(7, "++", 0, 1, 0, 1) + Record(8, "+-", 0, 1, 0, 1) +
             Record(9, "++", 0, 1, 0, 1) + Wrote(9),
         0);
  // out.txt holds each record's line of the table named highest, byte for byte.
  const std::vector<std::string> l1 = LinesOf(r1), l2 = LinesOf(r2);
  ASSERT_GE(l1.size(), 10u);
  ASSERT_GE(l2.size(), 10u);
  EXPECT_EQ(OutTxt(), l2[0] + l2[1] + l1[2] + l1[3] + l2[4] + l1[5] + l1[6] + l1[7] + l1[8]);
}

// NUL bytes belong to fields: a number ends at one, a field of a NUL alone is no number,
// and out.txt gets the line whole.
TEST_F(ZentharBadInputTest, NulBytesInsideLines) {
  Write("a", "1\0x -5\0\0 tail\n2 \0 -7\n3 -1\n"s);
  Write("b", "1 -6\n2 -2\0\n\0\n"s);
  Expect({"a", "b", "2"},
         "a  b    ==>  out.txt\n\n" + Record(1, "++", -6, 2, -5, 1) + Record(2, "++", -2, 2, 0, 1) +
             Record(3, "+-", -1, 1, -1, 1) + Wrote(3),
         0);
  EXPECT_EQ(OutTxt(), "1\0x -5\0\0 tail\n2 \0 -7\n3 -1\n"s);
  Expect({"a", "b", "3"},
         "a  b    ==>  out.txt\n\n" + Record(1, "+-", 0, 1, 0, 1) + Record(2, "+-", -7, 1, -7, 1) +
             Wrote(2),
         0);
  EXPECT_EQ(OutTxt(), "1\0x -5\0\0 tail\n2 \0 -7\n"s);
}

TEST_F(ZentharBadInputTest, LinesOfAMegabyte) {
  const std::string blanks(1 << 20, ' '), letters(1 << 20, 'q');
  const std::string a = "1" + blanks + "-2\n2 " + letters + " -9\n";
  Write("a", a);
  Write("b", "1 -3\n2 5\n");
  Expect({"a", "b", "2"},
         "a  b    ==>  out.txt\n\n" + Record(1, "++", -3, 2, -2, 1) + Record(2, "++", 0, 1, 5, 2) +
             Wrote(2),
         0);
  EXPECT_EQ(OutTxt(), "1" + blanks + "-2\n2 5\n");
  // The megabyte line is the highest when it is the only line.
  Write("b", "1 -3\n");
  Expect({"a", "b", "2"},
         "a  b    ==>  out.txt\n\n" + Record(1, "++", -3, 2, -2, 1) + Record(2, "+-", 0, 1, 0, 1) +
             Wrote(2),
         0);
  EXPECT_EQ(OutTxt(), a);
}

// CR LF line ends throughout print what LF line ends print, and out.txt holds the same lines
// with their CR LF ends. A CR after a trailing blank must not make a field of its own, in a
// short line and in one of 16 characters; the CR of the first table's first line falls on
// the last byte of the reader's first 256 KiB block.
TEST_F(ZentharBadInputTest, CarriageReturnLineFeedTablesThroughout) {
  const std::string a = "1 " + std::string(262141, 'x') + "\n2 a -5\n3 a \n4 a -1e2\n\n9 a -1\n";
  const std::string b = "1 b -7\n2 b -6 more\n3 b -4\n4 b" + std::string(11, ' ') + "\n\n";
  const std::string console = "a  b    ==>  out.txt\n\n" + Record(1, "-+", -7, 2, -7, 2) +
                              Record(2, "++", -6, 2, -5, 1) + Record(3, "-+", -4, 2, -4, 2) +
                              Record(4, "+-", -100, 1, -100, 1) + Wrote(4);
  Write("a", a);
  Write("b", b);
  Expect({"a", "b", "3"}, console, 0);
  EXPECT_EQ(OutTxt(), "1 b -7\n2 a -5\n3 b -4\n4 a -1e2\n");
  Write("a", WithCrLf(a));
  Write("b", WithCrLf(b));
  Expect({"a", "b", "3"}, console, 0);
  EXPECT_EQ(OutTxt(), "1 b -7\r\n2 a -5\r\n3 b -4\r\n4 a -1e2\r\n");
  // One table in each form: every line keeps its own end.
  Write("b", b);
  Expect({"a", "b", "3"}, console, 0);
  EXPECT_EQ(OutTxt(), "1 b -7\n2 a -5\r\n3 b -4\n4 a -1e2\r\n");
}

// Tables cut off in the middle of a number or a line: the characters that are there are
// read, a number cut to its sign is no number (0.0), and the cut last line gets a line break
// in out.txt.
TEST_F(ZentharBadInputTest, TablesCutOff) {
  Write("a", "1 -12.5\n2 -1");
  Write("b", "1 -13\n2 -3\n3 -2e");
  Expect({"a", "b", "2"},
         "a  b    ==>  out.txt\n\n" + Record(1, "++", -13, 2, -12.5, 1) +
             Record(2, "++", -3, 2, -1, 1) + Record(3, "-+", -2, 2, -2, 2) + Wrote(3),
         0);
  EXPECT_EQ(OutTxt(), "1 -12.5\n2 -1\n3 -2e\n");
  Write("a", "1 -12.5\n2 -");
  Write("b", "1 -13\n2 -3.\n");
  Expect({"a", "b", "2"},
         "a  b    ==>  out.txt\n\n" + Record(1, "++", -13, 2, -12.5, 1) +
             Record(2, "++", -3, 2, 0, 1) + Wrote(2),
         0);
  EXPECT_EQ(OutTxt(), "1 -12.5\n2 -\n");
  // An index cut short no longer agrees.
  Write("a", "1 -12.5\n1");
  Write("b", "1 -13\n12 -3\n");
  Expect({"a", "b", "1"},
         "a  b    ==>  out.txt\n\n" + Record(1, "++", 1, 1, 1, 1) +
             "\nError: index field different.\n",
         255);
  EXPECT_EQ(OutTxt(), "1 -12.5\n");
}

// Numbers beyond 32 bits: the column is clamped to the int range, and one below 1 is
// refused; indices and log-likelihoods are doubles, so they compare as doubles do.
TEST_F(ZentharBadInputTest, NumbersBeyondThirtyTwoBits) {
  Write("a", "4294967297 -1\n9007199254740993 -2\n1e400 -3 1e400\n");
  Write("b", "4294967297.0 -1e400\n9007199254740992 -2\n1e500 -4 -1e999\n");
  Expect({"a", "b", "2"},
         "a  b    ==>  out.txt\n\n" + Record(1, "++", -HUGE_VAL, 2, -1, 1) +
             Record(2, "++", -2, 1, -2, 1) + Record(3, "++", -4, 2, -3, 1) + Wrote(3),
         0);
  EXPECT_EQ(OutTxt(), "4294967297 -1\n9007199254740993 -2\n1e400 -3 1e400\n");
  Expect({"a", "b", "4294967299"}, "a  b    ==>  out.txt\n\n" + Wrote(0), 0);
  Expect({"a", "b", "-99999999999"},
         "a  b    ==>  out.txt\n\n"
         "\nError: log-likelihood column must be 1 or more, not -2147483648.\n",
         255);
}

// A folder where a table is expected, given or typed at the prompt, is refused when it is
// opened, as a file that cannot be opened is: zenthar asks for the path once, and out.txt
// is not touched. out.txt that is a folder cannot be opened for writing.
TEST_F(ZentharBadInputTest, FolderWhereAFileIsExpected) {
  Write("a", "1 -1\n");
  ASSERT_EQ(mkdir(dir_.File("folder").c_str(), 0755), 0);
  const std::string asked = "\nerror when opening file ";
  const std::string prompt = "\ntell me the full path-name of the file? ";
  const std::string given_up = "Can't find the file.  I give up.\n";
  const struct {
    std::vector<std::string> args;
    const char* typed;
    std::string console;
    int status;
  } cases[] = {
      {{"a", "folder", "2"}, "", "a  " + asked + "folder" + prompt + given_up, 255},
      {{"a", ".", "2"}, "", "a  " + asked + "." + prompt + given_up, 255},
      {{"a", "m", "2"}, "folder\n", "a  " + asked + "m" + prompt + given_up, 255},
      {{"folder", "a", "2"},
       "a\n",
       asked + "folder" + prompt + "a  a    ==>  out.txt\n\n" + Record(1, "++", -1, 1, -1, 1) +
           Wrote(1),
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    Write("out.txt", "old\n");
    Expect(c.args, c.console, c.status, c.typed);
    EXPECT_EQ(OutTxt(), c.status == 0 ? "1 -1\n" : "old\n");
  }
  ASSERT_EQ(unlink(dir_.File("out.txt").c_str()), 0);
  ASSERT_EQ(mkdir(dir_.File("out.txt").c_str(), 0755), 0);
  Expect({"a", "a", "2"}, "a  a    ==>  out.txt\n\n\nerror when opening file out.txt\n", 255);
}

// A file that opens but cannot be read is told when it is opened, before out.txt is
// touched. Reading /proc/self/mem from its start fails for every user, root included.
TEST_F(ZentharBadInputTest, FileThatCannotBeRead) {
  Write("a", "1 -1\n");
  Expect({"a", "/proc/self/mem", "2"}, "a  \nError: cannot read file /proc/self/mem.\n", 255);
  EXPECT_FALSE(OutTxtExists());
}

// A file without read permission cannot be opened, so zenthar asks for its path; root
// may read it all the same, so the case needs another user.
TEST_F(ZentharBadInputTest, FileWithoutReadPermission) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads files without read permission";
  Write("a", "1 -1\n");
  Write("b", "1 -2\n");
  ASSERT_EQ(chmod(dir_.File("b").c_str(), 0), 0);
  Expect({"a", "b", "2"},
         "a  \nerror when opening file b\ntell me the full path-name of the file? Can't find the "
         "file.  I give up.\n",
         255);
}

// out.txt cannot be created where its folder does not exist; here out.txt is a link into a
// missing folder, which stops root as well.
TEST_F(ZentharBadInputTest, OutTxtCannotBeCreated) {
  Write("a", "1 -1\n");
  ASSERT_EQ(symlink("missing/out.txt", dir_.File("out.txt").c_str()), 0);
  Expect({"a", "a", "2"}, "a  a    ==>  out.txt\n\n\nerror when opening file out.txt\n", 255,
         "a\n");
}

// A folder without write permission; root writes into it all the same.
TEST_F(ZentharBadInputTest, OutTxtInReadOnlyFolder) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into folders without write permission";
  Write("a", "1 -1\n");
  ASSERT_EQ(chmod(dir_.Path().c_str(), 0555), 0);
  Expect({"a", "a", "2"}, "a  a    ==>  out.txt\n\n\nerror when opening file out.txt\n", 255);
  ASSERT_EQ(chmod(dir_.Path().c_str(), 0755), 0);
  EXPECT_FALSE(OutTxtExists());
}

// Standard input is read only at the prompt for a file that cannot be opened: at its end,
// or closed, the old name is tried once more and zenthar gives up.
TEST_F(ZentharBadInputTest, StandardInputAtItsEnd) {
  Write("a", "1 -1\n");
  const std::string asked = "\nerror when opening file m\ntell me the full path-name of the file? ";
  const std::string given_up = "Can't find the file.  I give up.\n";
  Expect({"m", "a", "2"}, asked + given_up, 255, "");
  Expect({"m", "a", "2"}, asked + given_up, 255, " \n\t\n");
  // The first prompt takes the only word; the second finds standard input at its end.
  Expect({"m", "m", "2"}, asked + "a  " + asked + given_up, 255, "a\n");
  RunResult closed = testsupport::RunProgram(
      "/bin/sh", {"-c", "exec \"$0\" \"$@\" <&-", ZENTHAR_PATH, "m", "a", "2"}, dir_.Path());
  EXPECT_EQ(closed.out, kUsage + asked + given_up);
  EXPECT_EQ(closed.status, 255);
  // With every file there, standard input is never read.
  closed = testsupport::RunProgram(
      "/bin/sh", {"-c", "exec \"$0\" \"$@\" <&-", ZENTHAR_PATH, "a", "a", "2"}, dir_.Path());
  EXPECT_EQ(closed.out,
            kUsage + "a  a    ==>  out.txt\n\n" + Record(1, "++", -1, 1, -1, 1) + Wrote(1));
  EXPECT_EQ(closed.status, 0);
  EXPECT_EQ(OutTxt(), "1 -1\n");
}

// Standard output on a full device: the exit status is 255 and out.txt is still complete.
TEST_F(ZentharBadInputTest, StandardOutputOnAFullDevice) {
  Write("a", "1 -1\n2 -2\n");
  Write("b", "1 -3\n2 -1\n");
  EXPECT_EQ(Run({"a", "b", "2"}, "", "/dev/full").status, 255);
  EXPECT_EQ(OutTxt(), "1 -1\n2 -1\n");
  Write("b", "1 -3\n3 -1\n");
  EXPECT_EQ(Run({"a", "b", "2"}, "", "/dev/full").status, 255);
  EXPECT_EQ(OutTxt(), "1 -1\n");
  EXPECT_EQ(Run({"m", "b", "2"}, "", "/dev/full").status, 255);
}

// An index mismatch after many records, of which the first ones long ago left out.txt's
// buffer and the last ones are still in it: every earlier record is in out.txt, complete,
// and nothing of the failing one.
TEST_F(ZentharBadInputTest, FailureAfterManyRecordsKeepsThemAllInOutTxt) {
  std::string a, b, out, console = "a  b    ==>  out.txt\n\n";
  const std::string padding(300, 'p');
  for (int k = 1; k <= 3000; ++k) {
    a += std::to_string(k) + " " + padding + " -" + std::to_string(k) + "\n";
    b += std::to_string(k) + " " + padding + " -" + std::to_string(k + 1) + ".5\n";
    out += std::to_string(k) + " " + padding + " -" + std::to_string(k) + "\n";
    console += Record(k, "++", -(k + 1.5), 2, -k, 1);
  }
  Write("a", a + "3001 " + padding + " -1\n3002 x -1\n");
  Write("b", b + "3002 " + padding + " -1\n");
  Expect({"a", "b", "3"}, console + "\nError: index field different.\n", 255);
  EXPECT_EQ(OutTxt(), out);
  // The same with standard output on a full device.
  EXPECT_EQ(Run({"a", "b", "3"}, "", "/dev/full").status, 255);
  EXPECT_EQ(OutTxt(), out);
}

}  // namespace
}  // namespace runcompare
