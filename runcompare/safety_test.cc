// Bad input that must cost no data and pass no failure off as success, end to end: out.txt
// named as a table, a failed write to out.txt, more tables than open files allowed, a path
// typed at the prompt longer than any path. Every case compares the whole console output, out.txt
// and the exit status.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "testsupport/zenthar_fixture.h"

namespace runcompare {
namespace {

using testsupport::RunResult;

// out.txt named as a table, by whatever path or link, given or typed at the prompt, is
// refused before out.txt is emptied: neither the table nor out.txt loses a line.
TEST_F(ZentharBadInputTest, OutTxtNamedAsATable) {
  static const std::string kOld = "1 x -1\n2 y -9\n";
  Write("a", "1 x -3\n2 y -4\n");
  ASSERT_EQ(symlink("out.txt", dir_.File("link").c_str()), 0);
  const std::string refused = "    ==>  out.txt\n\n\nError: file ";
  const std::string asked = "\nerror when opening file m\ntell me the full path-name of the file? ";
  const struct {
    std::vector<std::string> args;
    const char* typed;
    std::string console;
  } cases[] = {
      {{"a", "./out.txt", "3"}, "", "a  ./out.txt" + refused + "./out.txt"},
      {{dir_.File("out.txt"), "a", "3"},
       "",
       dir_.File("out.txt") + "  a" + refused + dir_.File("out.txt")},
      {{"a", "link", "3"}, "", "a  link" + refused + "link"},
      {{"m", "a", "3"}, "out.txt\n", asked + "out.txt  a" + refused + "out.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    Write("out.txt", kOld);
    Expect(c.args, c.console + " is out.txt, which this run writes.\n", 255, c.typed);
    EXPECT_EQ(OutTxt(), kOld);
  }
  // out.txt a link to a table: the table would be emptied.
  ASSERT_EQ(unlink(dir_.File("out.txt").c_str()), 0);
  ASSERT_EQ(symlink("a", dir_.File("out.txt").c_str()), 0);
  Expect({"a", "a", "3"}, "a  a" + refused + "a is out.txt, which this run writes.\n", 255);
  EXPECT_EQ(Read("a"), "1 x -3\n2 y -4\n");
}

// A failed write to out.txt ends the run at once with a message naming out.txt, never with
// the closing line, and out.txt keeps only whole blocks, so it ends at a line break. With
// lines of 256 bytes the first 256 KiB block goes out when the line of record 1024 no
// longer fits in it.
TEST_F(ZentharBadInputTest, FailedWritesToOutTxt) {
  std::string a, b;
  for (int k = 1; k <= 3000; ++k) {
    a += PaddedLine(k, "-" + std::to_string(k), 256);
    b += PaddedLine(k, "-" + std::to_string(k) + ".5", 256);
  }
  Write("a", a);
  Write("b", b);
  Write("a2", a.substr(0, 512));
  Write("b2", b.substr(0, 512));
  const struct {
    const char* before;  // shell commands run before zenthar
    const char* a;
    const char* b;
    int printed;       // record lines printed before the message
    std::size_t kept;  // lines that stay in out.txt, when it is a file
    const char* reason;
  } cases[] = {
      // Two records: the write fails when out.txt is closed.
      {"ln -sf /dev/full out.txt", "a2", "b2", 2, 0, "No space left on device"},
      {"ln -sf /dev/full out.txt", "a", "b", 1023, 0, "No space left on device"},
      // 512,000 bytes: the second block is cut at the limit and cut off again.
      {"rm -f out.txt; ulimit -f 1000", "a", "b", 2046, 1023, "File too large"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    std::string console = std::string(c.a) + "  " + c.b + "    ==>  out.txt\n\n";
    for (int k = 1; k <= c.printed; ++k) console += Record(k, "++", -(k + 0.5), 2, -k, 1);
    const RunResult run = RunAfter(c.before, {c.a, c.b, "2"});
    EXPECT_EQ(run.out,
              kUsage + console + "\nError: cannot write file out.txt: " + c.reason + ".\n");
    EXPECT_EQ(run.status, 255);
    if (c.kept > 0) {
      EXPECT_TRUE(OutTxt() == a.substr(0, 256 * c.kept)) << OutTxt().size() << " bytes";
    }
  }
}

// More tables than the soft limit on open files: zenthar raises it to the hard limit and
// opens them all. Beyond the hard limit, the open that fails is told with the system's
// reason, without a prompt, and out.txt is not created.
TEST_F(ZentharBadInputTest, MoreTablesThanOpenFilesAllowed) {
  rlimit limit;
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
  if (limit.rlim_max < 200) GTEST_SKIP() << "the hard limit on open files is below 200";
  std::vector<std::string> args;
  std::vector<std::string> names = {""};  // the file list up to each table
  for (int k = 1; k <= 100; ++k) {
    args.push_back("t" + std::to_string(k));
    Write(args.back(), "1 -" + std::to_string(k) + "\n");
    names.push_back(names.back() + args.back() + "  ");
  }
  args.push_back("2");
  RunResult run = RunAfter("ulimit -S -n 40", args);
  EXPECT_EQ(run.out, kUsage + names[100] + "  ==>  out.txt\n\n" +
                         Record(1, std::string(100, '+').c_str(), -100, 100, -1, 1) + Wrote(1));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(OutTxt(), "1 -1\n");
  ASSERT_EQ(unlink(dir_.File("out.txt").c_str()), 0);
  // The tables get what descriptors the process has left: about 37 of the 40. The leak
  // checker of a sanitizer build would need one more at the exit.
  run = RunAfter("ulimit -n 40; export ASAN_OPTIONS=detect_leaks=0", args);
  const std::string told = "\nError: cannot open file t";
  const std::size_t at = run.out.find(told);
  ASSERT_NE(at, std::string::npos) << run.out;
  const int opened = std::atoi(run.out.c_str() + at + told.size()) - 1;
  ASSERT_TRUE(opened >= 30 && opened <= 37) << opened;
  EXPECT_EQ(run.out, kUsage + names[opened] + told + std::to_string(opened + 1) +
                         ": Too many open files.\n");
  EXPECT_EQ(run.status, 255);
  EXPECT_FALSE(OutTxtExists());
}

// A path typed at the prompt may be as long as the system's limit on a path, 4096 bytes; a
// longer one ends the run with a message naming the file asked for, and out.txt is not
// touched.
TEST_F(ZentharBadInputTest, LongPathTypedAtThePrompt) {
  Write("a", "1 -1\n");
  Write("out.txt", "old\n");
  const std::string asked =
      "a  \nerror when opening file m\ntell me the full path-name of the file? ";
  const std::string given_up = "Can't find the file.  I give up.\n";
  const std::string too_long = "\nError: the path typed for file m is longer than 4096 bytes.\n";
  const struct {
    std::string typed;
    const std::string& end;
  } cases[] = {
      {std::string(4096, 'x'), given_up},
      {" \t" + std::string(4096, 'x') + " " + std::string(5000, 'y'), given_up},
      {std::string(4097, 'x'), too_long},
      {"\n\n" + std::string(100000, 'x') + "\n", too_long},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.size());
    Expect({"a", "m", "2"}, asked + c.end, 255, c.typed);
    EXPECT_EQ(OutTxt(), "old\n");
  }
}

}  // namespace
}  // namespace runcompare
