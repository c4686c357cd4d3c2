// Compressed tables, end to end: a result table given on the command line or typed at the
// prompt, in each gzip layout, gives the console output and out.txt of the plain table;
// damaged data and another compressor's format end the run with a message naming the file,
// after the records read before, which stay whole in out.txt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/test_gzip.h"
#include "testsupport/zenthar_fixture.h"

namespace runcompare {
namespace {

using textio::test_gzip::Layout;

class ZentharCompressedTest : public ZentharTest {};

TEST_F(ZentharCompressedTest, EveryLayoutGivenAndTyped) {
  std::string a, b;
  for (int k = 1; k <= 50; ++k) {
    a += std::to_string(k) + " a -" + std::to_string(k % 7) + ".25\n";
    b += std::to_string(k) + " b -" + std::to_string(k % 5) + ".5\n";
  }
  Write("b", b);
  const struct {
    std::vector<std::string> args;
    const char* typed;
  } ways[] = {{{"a", "b", "3"}, ""}, {{"m", "b", "3"}, "a\n"}};
  for (const auto& way : ways) {
    Write("a", a);
    const testsupport::RunResult plain = Run(way.args, way.typed);
    ASSERT_EQ(plain.status, 0);
    const std::vector<std::string> plain_out = LinesOf(OutTxt());
    for (const Layout& layout : textio::test_gzip::Layouts()) {
      SCOPED_TRACE(way.args[0] + ", " + layout.name);
      Write("a", layout.write(a));
      unlink(dir_.File("out.txt").c_str());
      const testsupport::RunResult run = Run(way.args, way.typed);
      if (*layout.damage == '\0' && *layout.other_format == '\0') {
        EXPECT_EQ(run.out, plain.out);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(LinesOf(OutTxt()), plain_out);
        continue;
      }
      // The plain run's output up to the failure, then the message; out.txt holds the lines
      // of the records printed.
      const std::string message =
          *layout.damage != '\0'
              ? "\nError: damaged compressed data in file a: " + std::string(layout.damage) + ".\n"
              : "\nError: file a is " + std::string(layout.other_format) +
                    "-compressed data: only gzip-compressed files can be read.\n";
      ASSERT_GE(run.out.size(), message.size());
      const std::string before = run.out.substr(0, run.out.size() - message.size());
      EXPECT_EQ(run.out, before + message);
      EXPECT_EQ(plain.out.compare(0, before.size(), before), 0);
      std::size_t records = 0;
      for (std::size_t at = 0; (at = before.find("\nrecord ", at)) != std::string::npos; ++at) {
        ++records;
      }
      EXPECT_EQ(LinesOf(OutTxt()),
                std::vector<std::string>(plain_out.begin(), plain_out.begin() + records));
      EXPECT_EQ(run.status, 255);
    }
  }
}

}  // namespace
}  // namespace runcompare
