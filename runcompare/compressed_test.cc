// Compressed tables, end to end: a result table given on the command line or typed at the
// prompt, in each gzip layout, gives the console output and out.txt of the plain table;
// damaged data and another compressor's format end the run with a message naming the file,
// after the records read before, which stay whole in out.txt.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "runcompare/zenthar_fixture.h"
#include "textio/test_gzip.h"

namespace runcompare {
namespace {

using textio::test_gzip::Bgzf;
using textio::test_gzip::Member;

// The ways a table can be compressed, and the end of the message it gives, if any.
struct Layout {
  const char* name;
  std::function<std::string(const std::string&)> compress;
  const char* message;
};

std::string thirds(const std::string& text) {
  const size_t third = text.size() / 3;
  return Member(text.substr(0, third)) + Member(text.substr(third, third)) +
         Member(text.substr(2 * third));
}

const Layout kLayouts[] = {
    {"one member", [](const std::string& t) { return Member(t); }, ""},
    {"several members", thirds, ""},
    {"BGZF blocks", [](const std::string& t) { return Bgzf(t, 40); }, ""},
    {"empty members", [](const std::string& t) { return Member("") + Member(t) + Member(""); }, ""},
    {"truncated", [](const std::string& t) { return Member(t).substr(0, Member(t).size() - 5); },
     "damaged compressed data in file a: the data ends inside member 1.\n"},
    {"CRC damaged",
     [](const std::string& t) {
       std::string member = Member(t);
       member[member.size() - 6] ^= 1;
       return member;
     },
     "damaged compressed data in file a: CRC mismatch in member 1.\n"},
    {"zstd", [](const std::string& t) { return std::string("\x28\xb5\x2f\xfd", 4) + t; },
     "file a is zstd-compressed data: only gzip-compressed files can be read.\n"},
};

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
    const std::vector<std::string> plain_out = lines_of(OutTxt());
    for (const Layout& layout : kLayouts) {
      SCOPED_TRACE(way.args[0] + ", " + layout.name);
      Write("a", layout.compress(a));
      unlink(dir_.File("out.txt").c_str());
      const testsupport::RunResult run = Run(way.args, way.typed);
      if (*layout.message == '\0') {
        EXPECT_EQ(run.out, plain.out);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(lines_of(OutTxt()), plain_out);
        continue;
      }
      // The plain run's output up to the failure, then the message; out.txt holds the lines
      // of the records printed.
      const std::string message = "\nError: " + std::string(layout.message);
      ASSERT_GE(run.out.size(), message.size());
      const std::string before = run.out.substr(0, run.out.size() - message.size());
      EXPECT_EQ(run.out, before + message);
      EXPECT_EQ(plain.out.compare(0, before.size(), before), 0);
      std::size_t records = 0;
      for (std::size_t at = 0; (at = before.find("\nrecord ", at)) != std::string::npos; ++at) {
        ++records;
      }
      EXPECT_EQ(lines_of(OutTxt()),
                std::vector<std::string>(plain_out.begin(), plain_out.begin() + records));
      EXPECT_EQ(run.status, 255);
    }
  }
}

}  // namespace
}  // namespace runcompare
