// End-to-end tests of zenthar: each case runs the built program in a fresh folder on tables
// it writes there, and compares the whole console output, out.txt and the exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "testsupport/zenthar_fixture.h"

namespace runcompare {
namespace {

using testsupport::RunResult;

// "%10.3f" of a value, for values too long to write out by hand.
std::string Fixed(double value) {
  char text[400];
  snprintf(text, sizeof text, "%10.3f", value);
  return text;
}

// The two record lines given as examples of the console output.
TEST_F(ZentharTest, DocumentedRecordLines) {
  std::string a = "1 x -915.5\n", b = "1 x -910.25\n", c = "1 x -920\n";
  std::string console = "a.txt  b.txt  c.txt    ==>  out.txt\n\n";
  console += "record    1  (+++)   -920.000 (3) -   -910.250 (2) =   -9.750\n";
  std::string out = b;
  for (int k = 2; k <= 11; ++k) {
    std::string line = std::to_string(k) + " x -100\n";
    a += line;
    b += line;
    c += line;
    out += line;
    char text[100];
    snprintf(text, sizeof text, "record %4d  (+++)   -100.000 (1) -   -100.000 (1) =    0.000\n",
             k);
    console += text;
  }
  Write("a.txt", a + "12 a -900.5\n");
  Write("b.txt", b + "12 b\n");
  Write("c.txt", c + "12 c -900.5\n");
  console += "record   12  (+-+)   -900.500 (1) -   -900.500 (1) =    0.000\n";
  console += "\nwrote 12 records into out.txt\n";
  Expect({"a.txt", "b.txt", "c.txt", "3"}, console, 0);
  EXPECT_EQ(OutTxt(), out + "12 a -900.5\n");
}

// Files of different lengths, short and blank lines: a file takes part only in the records
// where its line has enough fields.
TEST_F(ZentharTest, DifferentLengthsShortAndBlankLines) {
  Write("f1", "1 -5\n2 -6\n");
  Write("f2", "1 -7\n\n3 -1\n4 -2\n");
  Write("f3", "1 -9\n2\n3 -3\n");
  Expect({"f1", "f2", "f3", "2"},
         "f1  f2  f3    ==>  out.txt\n\n"
         "record    1  (+++)     -9.000 (3) -     -5.000 (1) =   -4.000\n"
         "record    2  (+--)     -6.000 (1) -     -6.000 (1) =    0.000\n"
         "record    3  (-++)     -3.000 (3) -     -1.000 (2) =   -2.000\n"
         "record    4  (-+-)     -2.000 (2) -     -2.000 (2) =    0.000\n"
         "\nwrote 4 records into out.txt\n",
         0);
  EXPECT_EQ(OutTxt(), "1 -5\n2 -6\n3 -1\n4 -2\n");
}

TEST_F(ZentharTest, RunEndsAtFirstRecordWithoutActiveFile) {
  Write("f1", "1 -1\n\n3 -3\n");
  Write("f2", "1 -2\n \t\n3 -4\n");
  Expect({"f1", "f2", "2"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (++)     -2.000 (2) -     -1.000 (1) =   -1.000\n"
         "\nwrote 1 records into out.txt\n",
         0);
  EXPECT_EQ(OutTxt(), "1 -1\n");
}

// On equal values the earlier file keeps its place, for the lowest and the highest alike.
TEST_F(ZentharTest, TiesGoToTheEarlierFile) {
  Write("f1", "1 -5 one\n2 -7 one\n3 -1 one\n");
  Write("f2", "1 -5 two\n2 -7 two\n3 -9 two\n");
  Write("f3", "1 -8 three\n2 -7 three\n3 -9 three\n");
  Expect({"f1", "f2", "f3", "2"},
         "f1  f2  f3    ==>  out.txt\n\n"
         "record    1  (+++)     -8.000 (3) -     -5.000 (1) =   -3.000\n"
         "record    2  (+++)     -7.000 (1) -     -7.000 (1) =    0.000\n"
         "record    3  (+++)     -9.000 (2) -     -1.000 (1) =   -8.000\n"
         "\nwrote 3 records into out.txt\n",
         0);
  EXPECT_EQ(OutTxt(), "1 -5 one\n2 -7 one\n3 -1 one\n");
}

TEST_F(ZentharTest, SingleActiveFileIsLowestAndHighest) {
  Write("f1", "1 -3.25\n");
  Write("f2", "1\n");
  Expect({"f1", "f2", "2"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (+-)     -3.250 (1) -     -3.250 (1) =    0.000\n"
         "\nwrote 1 records into out.txt\n",
         0);
  EXPECT_EQ(OutTxt(), "1 -3.25\n");
}

// A non-numeric index keeps the file's earlier index; a non-numeric log-likelihood counts
// as 0.0 and the file stays active.
TEST_F(ZentharTest, NonNumericFields) {
  Write("f1", "7 -5\n7 -4\n");
  Write("f2", "7 -6\nseven n/a\n");
  Expect({"f1", "f2", "2"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (++)     -6.000 (2) -     -5.000 (1) =   -1.000\n"
         "record    2  (++)     -4.000 (1) -      0.000 (2) =   -4.000\n"
         "\nwrote 2 records into out.txt\n",
         0);
  EXPECT_EQ(OutTxt(), "7 -5\nseven n/a\n");
}

// 5 and 5.0 agree; an index of -1 leaves the reference unset for the next active file.
TEST_F(ZentharTest, IndicesThatAgree) {
  Write("f1", "5 -1\n-1 -2\n");
  Write("f2", "5.0 -3\n8 -4\n");
  Expect({"f1", "f2", "2"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (++)     -3.000 (2) -     -1.000 (1) =   -2.000\n"
         "record    2  (++)     -4.000 (2) -     -2.000 (1) =   -2.000\n"
         "\nwrote 2 records into out.txt\n",
         0);
}

TEST_F(ZentharTest, IndexMismatchKeepsEarlierRecords) {
  Write("f1", "1 -1\n2 -2\n5 -3\n4 -4\n");
  Write("f2", "1 -2\n2 -1\n5.000001 -3\n4 -4\n");
  Expect({"f1", "f2", "2"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (++)     -2.000 (2) -     -1.000 (1) =   -1.000\n"
         "record    2  (++)     -2.000 (1) -     -1.000 (2) =   -1.000\n"
         "\nError: index field different.\n",
         255);
  EXPECT_EQ(OutTxt(), "1 -1\n2 -1\n");
}

TEST_F(ZentharTest, TooFewArgumentsPrintOnlyTheUsage) {
  Write("a.txt", "1 -1\n");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{}, {"a.txt"}, {"a.txt", "2"}, {"a.txt", "a.txt"}}) {
    Expect(args, "", 1);
  }
  EXPECT_FALSE(OutTxtExists());
}

// A last argument that does not begin with an integer gives column 13 and is not opened;
// one that does is read up to its digits.
TEST_F(ZentharTest, ColumnArgument) {
  std::string fields = "1 2 3 4 5 6 7 8 9 10 11 12";
  Write("a.txt", "1 " + fields + " -8\n");
  Write("b.txt", "1 " + fields + " -9\n");
  Expect({"a.txt", "b.txt", "x"},
         "a.txt  b.txt    ==>  out.txt\n\n"
         "record    1  (++)     12.000 (1) -     12.000 (1) =    0.000\n"
         "\nwrote 1 records into out.txt\n",
         0);
  Expect({"a.txt", "b.txt", "14x"},
         "a.txt  b.txt    ==>  out.txt\n\n"
         "record    1  (++)     -9.000 (2) -     -8.000 (1) =   -1.000\n"
         "\nwrote 1 records into out.txt\n",
         0);
  Expect({"a.txt", "b.txt", "99999999999"},
         "a.txt  b.txt    ==>  out.txt\n\n\nwrote 0 records into out.txt\n", 0);
}

TEST_F(ZentharTest, ColumnBeyondEveryLineWritesNothing) {
  Write("a.txt", "1 -1\n2 -2\n");
  Write("b.txt", "1 -1\n");
  Write("out.txt", "old contents\n");
  Expect({"a.txt", "b.txt", "3"},
         "a.txt  b.txt    ==>  out.txt\n\n\nwrote 0 records into out.txt\n", 0);
  EXPECT_TRUE(OutTxtExists());
  EXPECT_EQ(OutTxt(), "");
}

TEST_F(ZentharTest, EmptyFileNameArgument) {
  Write("b.txt", "1 -1\n");
  Expect({"", "b.txt", "2"}, "\nError: file name empty..\n", 255);
}

TEST_F(ZentharTest, MissingInputWithPathTypedAtPrompt) {
  Write("a.txt", "1 -1\n");
  Write("b.txt", "1 -2\n");
  Expect({"missing.txt", "b.txt", "2"},
         "\nerror when opening file missing.txt\n"
         "tell me the full path-name of the file? a.txt  b.txt    ==>  out.txt\n\n"
         "record    1  (++)     -2.000 (2) -     -1.000 (1) =   -1.000\n"
         "\nwrote 1 records into out.txt\n",
         0, "a.txt\n");
  // Two missing files: the second prompt takes the next word of the same typed line, and a
  // name with a blank in it gives only its first word.
  Expect({"m1", "m2", "2"},
         "\nerror when opening file m1\n"
         "tell me the full path-name of the file? b.txt  "
         "\nerror when opening file m2\n"
         "tell me the full path-name of the file? a.txt    ==>  out.txt\n\n"
         "record    1  (++)     -2.000 (1) -     -1.000 (2) =   -1.000\n"
         "\nwrote 1 records into out.txt\n",
         0, "  b.txt a.txt c.txt\n");
}

TEST_F(ZentharTest, GivesUpAtPromptOnEndOfInputOrSecondFailure) {
  Write("a.txt", "1 -1\n");
  static const std::string kAsked =
      "a.txt  \nerror when opening file missing.txt\n"
      "tell me the full path-name of the file? Can't find the file.  I give up.\n";
  Expect({"a.txt", "missing.txt", "2"}, kAsked, 255, "");
  Expect({"a.txt", "missing.txt", "2"}, kAsked, 255, "also-missing.txt\n");
  EXPECT_FALSE(OutTxtExists());
}

TEST_F(ZentharTest, OutTxtCannotBeCreated) {
  Write("a.txt", "1 -1\n");
  Write("b.txt", "1 -2\n");
  ASSERT_EQ(mkdir(dir_.File("out.txt").c_str(), 0755), 0);  // tests run as root: no chmod
  Expect({"a.txt", "b.txt", "2"},
         "a.txt  b.txt    ==>  out.txt\n\n\nerror when opening file out.txt\n", 255, "b.txt\n");
}

// A folder is refused when it is opened, and asked for again, before out.txt is touched.
TEST_F(ZentharTest, UnreadableInputEndsTheRun) {
  Write("b.txt", "1 -2\n");
  ASSERT_EQ(mkdir(dir_.File("d").c_str(), 0755), 0);
  Expect({"d", "b.txt", "2"},
         "\nerror when opening file d\ntell me the full path-name of the file? Can't find the "
         "file.  I give up.\n",
         255);
  EXPECT_FALSE(OutTxtExists());
}

// Carriage returns split like blanks, so CR LF tables print what LF tables print; out.txt
// keeps every line as read.
TEST_F(ZentharTest, CarriageReturnLineFeedTables) {
  Write("f1", "1 -5\n2 -3\n");
  Write("f2", "1 -4\n2 -6\n");
  RunResult plain = Run({"f1", "f2", "2"});
  Write("f1", "1 -5\r\n2 -3\r\n");
  Write("f2", "1 -4\r\n2 -6\r\n");
  RunResult crlf = Run({"f1", "f2", "2"});
  EXPECT_EQ(crlf.out, plain.out);
  EXPECT_EQ(crlf.status, 0);
  EXPECT_EQ(OutTxt(), "1 -4\r\n2 -3\r\n");
}

// Any number of input files takes part, more than 20 among them.
TEST_F(ZentharTest, MoreThanTwentyFiles) {
  std::vector<std::string> args;
  std::string list;
  for (int k = 1; k <= 25; ++k) {
    std::string name = "f" + std::to_string(k) + ".txt";
    Write(name, k == 13 ? "\n" : "1 -" + std::to_string(30 - k) + " from" + name + "\n");
    args.push_back(name);
    list += name + "  ";
  }
  args.push_back("2");
  Expect(args,
         list +
             "  ==>  out.txt\n\n"
             "record    1  (++++++++++++-++++++++++++)    -29.000 (1) -     -5.000 (25) =  "
             "-24.000\n"
             "\nwrote 1 records into out.txt\n",
         0);
  EXPECT_EQ(OutTxt(), "1 -5 fromf25.txt\n");
}

// File names of any length are opened, on the command line and typed at the prompt.
TEST_F(ZentharTest, LongFileNames) {
  std::string folder = std::string(120, 'd') + "/" + std::string(120, 'e');
  ASSERT_EQ(mkdir(dir_.File(folder.substr(0, 120)).c_str(), 0755), 0);
  ASSERT_EQ(mkdir(dir_.File(folder).c_str(), 0755), 0);
  std::string given = folder + "/" + std::string(150, 'g');
  std::string typed = folder + "/" + std::string(150, 't');
  Write(given, "1 -1\n");
  Write(typed, "1 -2\n");
  Expect({given, "missing", "2"},
         given + "  \nerror when opening file missing\n" +
             "tell me the full path-name of the file? " + typed + "    ==>  out.txt\n\n" +
             "record    1  (++)     -2.000 (2) -     -1.000 (1) =   -1.000\n" +
             "\nwrote 1 records into out.txt\n",
         0, typed + "\n");
}

// A line may have more than 1000 fields.
TEST_F(ZentharTest, LinesWithManyFields) {
  auto line = [](const std::string& lnl) {
    std::string text = "1";
    for (int field = 2; field <= 1600; ++field) text += field == 1500 ? " " + lnl : " 0";
    return text + "\n";
  };
  Write("f1", line("-2.5"));
  Write("f2", line("-1.5"));
  Expect({"f1", "f2", "1500"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (++)     -2.500 (1) -     -1.500 (2) =   -1.000\n"
         "\nwrote 1 records into out.txt\n",
         0);
  EXPECT_EQ(OutTxt(), line("-1.5"));
}

// A column below 1 is refused once the file list is printed, before out.txt is created
// or emptied.
TEST_F(ZentharTest, ColumnBelowOneIsRefused) {
  Write("a.txt", "1 -1\n");
  Write("b.txt", "1 -2\n");
  Write("out.txt", "old\n");
  Expect({"a.txt", "b.txt", "0"},
         "a.txt  b.txt    ==>  out.txt\n\n"
         "\nError: log-likelihood column must be 1 or more, not 0.\n",
         255);
  Expect({"a.txt", "b.txt", "-3"},
         "a.txt  b.txt    ==>  out.txt\n\n"
         "\nError: log-likelihood column must be 1 or more, not -3.\n",
         255);
  EXPECT_EQ(OutTxt(), "old\n");
}

// Values at or beyond plus or minus 1e300, and infinities, are chosen like any other: no
// file number is carried over from an earlier record.
TEST_F(ZentharTest, ExtremeValuesAreSelected) {
  Write("f1", "1 -5\n2 -1e300 a\n3 1e999 a\n");
  Write("f2", "1 -3\n2 -2e300 b\n3 5 b\n");
  Expect({"f1", "f2", "2"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (++)     -5.000 (1) -     -3.000 (2) =   -2.000\n"
         "record    2  (++) " +
             Fixed(-2e300) + " (2) - " + Fixed(-1e300) + " (1) = " + Fixed(-1e300) + "\n" +
             "record    3  (++)      5.000 (2) -        inf (1) =     -inf\n"
             "\nwrote 3 records into out.txt\n",
         0);
  EXPECT_EQ(OutTxt(), "1 -3\n2 -1e300 a\n3 1e999 a\n");
  // A first record whose only value is 1e300.
  Write("f1", "1 1e300\n");
  Write("f2", "1\n");
  Expect({"f1", "f2", "2"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (+-) " +
             Fixed(1e300) + " (1) - " + Fixed(1e300) + " (1) =    0.000\n" +
             "\nwrote 1 records into out.txt\n",
         0);
  EXPECT_EQ(OutTxt(), "1 1e300\n");
}

// A file without a numeric first field yet has index -1.0, which leaves the reference
// unset, so the other files' indices are not compared against an undefined value.
TEST_F(ZentharTest, IndexUnsetUntilNumeric) {
  Write("f1", "run -7\nrun -8\n");
  Write("f2", "4 -6\n5 -9\n");
  Expect({"f1", "f2", "2"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (++)     -7.000 (1) -     -6.000 (2) =   -1.000\n"
         "record    2  (++)     -9.000 (2) -     -8.000 (1) =   -1.000\n"
         "\nwrote 2 records into out.txt\n",
         0);
}

// Lines longer than 63,999 characters are read whole and all their fields found.
TEST_F(ZentharTest, LongLinesAreReadWhole) {
  std::string long_line = "1 " + std::string(70000, 'y') + " -2\n";
  Write("f1", long_line + "2 q -5\n");
  Write("f2", "1 q -3\n2 q -4\n");
  Expect({"f1", "f2", "3"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (++)     -3.000 (2) -     -2.000 (1) =   -1.000\n"
         "record    2  (++)     -5.000 (1) -     -4.000 (2) =   -1.000\n"
         "\nwrote 2 records into out.txt\n",
         0);
  EXPECT_EQ(OutTxt(), long_line + "2 q -4\n");
}

// A selected last line without a line break is written with one.
TEST_F(ZentharTest, LastLineWithoutBreakGetsOne) {
  Write("f1", "1 -1\n2 -1");
  Write("f2", "1 -2\n2 -2\n3 -2\n");
  Expect({"f1", "f2", "2"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (++)     -2.000 (2) -     -1.000 (1) =   -1.000\n"
         "record    2  (++)     -2.000 (2) -     -1.000 (1) =   -1.000\n"
         "record    3  (-+)     -2.000 (2) -     -2.000 (2) =    0.000\n"
         "\nwrote 3 records into out.txt\n",
         0);
  EXPECT_EQ(OutTxt(), "1 -1\n2 -1\n3 -2\n");
}

// A failure to write standard output or out.txt ends with status -1; out.txt's is told.
TEST_F(ZentharTest, WriteFailuresEndWithMinusOne) {
  Write("f1", "1 -1\n");
  Write("f2", "1 -2\n");
  RunResult full = Run({"f1", "f2", "2"}, "", "/dev/full");
  EXPECT_EQ(full.status, 255);
  EXPECT_EQ(OutTxt(), "1 -1\n");
  EXPECT_EQ(Run({"f1"}, "", "/dev/full").status, 255);
  ASSERT_EQ(unlink(dir_.File("out.txt").c_str()), 0);
  ASSERT_EQ(symlink("/dev/full", dir_.File("out.txt").c_str()), 0);  // out.txt cannot be written
  Expect({"f1", "f2", "2"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (++)     -2.000 (2) -     -1.000 (1) =   -1.000\n"
         "\nError: cannot write file out.txt: No space left on device.\n",
         255);
}

// out.txt left by an earlier, longer run holds nothing of it afterwards: after a complete
// run, after a failure part of the way, and when no record is written.
TEST_F(ZentharTest, OutTxtOfAnEarlierLongerRunIsReplaced) {
  static const std::string kOld(300000, 'J');
  Write("f1", "1 -1\n2 -2\n");
  Write("f2", "1 -2\n2 -1\n");
  Write("out.txt", kOld);
  Expect({"f1", "f2", "2"},
         "f1  f2    ==>  out.txt\n\n"
         "record    1  (++)     -2.000 (2) -     -1.000 (1) =   -1.000\n"
         "record    2  (++)     -2.000 (1) -     -1.000 (2) =   -1.000\n"
         "\nwrote 2 records into out.txt\n",
         0);
  EXPECT_EQ(OutTxt(), "1 -1\n2 -1\n");
  Write("f3", "1 -3\n3 -3\n");
  Write("out.txt", kOld);
  Expect({"f1", "f3", "2"},
         "f1  f3    ==>  out.txt\n\n"
         "record    1  (++)     -3.000 (2) -     -1.000 (1) =   -2.000\n"
         "\nError: index field different.\n",
         255);
  EXPECT_EQ(OutTxt(), "1 -1\n");
  Write("out.txt", kOld);
  Expect({"f1", "f2", "3"}, "f1  f2    ==>  out.txt\n\n\nwrote 0 records into out.txt\n", 0);
  EXPECT_EQ(OutTxt(), "");
  // Refused before out.txt is opened: it stays as it was.
  Write("out.txt", kOld);
  Expect({"f1", "f2", "0"},
         "f1  f2    ==>  out.txt\n\n\nError: log-likelihood column must be 1 or more, not 0.\n",
         255);
  EXPECT_TRUE(OutTxt() == kOld);
}

// out.txt named as an input table, or a hard link to it, is refused before out.txt is
// emptied, so neither loses a line.
TEST_F(ZentharTest, OutTxtAsAnInputTableIsRefused) {
  static const std::string kOld = "1 x -1\n2 y -9\n3 z -2\n";
  Write("a", "1 x -3\n2 y -4\n");
  Write("out.txt", kOld);
  Expect({"out.txt", "a", "3"},
         "out.txt  a    ==>  out.txt\n\n\nError: file out.txt is out.txt, which this run writes.\n",
         255);
  EXPECT_EQ(OutTxt(), kOld);
  ASSERT_EQ(link(dir_.File("out.txt").c_str(), dir_.File("same").c_str()), 0);
  Expect({"a", "same", "3"},
         "a  same    ==>  out.txt\n\n\nError: file same is out.txt, which this run writes.\n", 255);
  EXPECT_EQ(OutTxt(), kOld);
}

// Standard output on a pipe that nobody reads: every console write fails, and zenthar writes
// out.txt whole all the same, replacing the longer out.txt that was there before, and ends
// with status -1. It does so when started with SIGPIPE's default action, which would end it.
TEST_F(ZentharTest, BrokenStandardOutputStillCompletesOutTxt) {
  std::string a, b;
  static const std::string kPadding(300, 'p');
  for (int k = 1; k <= 3000; ++k) {
    a += std::to_string(k) + " -" + std::to_string(k % 7) + " " + kPadding + "\n";
    b += std::to_string(k) + " -" + std::to_string(k % 5) + " " + kPadding + "\n";
  }
  Write("a", a);
  Write("b", b);
  ASSERT_EQ(Run({"a", "b", "2"}).status, 0);
  const std::string whole = OutTxt();
  Write("out.txt", std::string(2 * whole.size(), 'J'));

  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  close(pipe_ends[0]);  // nobody reads
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGPIPE, SIG_DFL);
    dup2(pipe_ends[1], STDOUT_FILENO);
    if (chdir(dir_.Path().c_str()) != 0) _exit(127);
    execl(ZENTHAR_PATH, ZENTHAR_PATH, "a", "b", "2", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipe_ends[1]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 255);
  EXPECT_TRUE(OutTxt() == whole);
}

}  // namespace
}  // namespace runcompare
