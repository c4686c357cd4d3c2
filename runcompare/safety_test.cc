// Bad input that must cost no data and pass no failure off as success, end to end: a
// failed write to out.txt. Every case compares the whole console output, out.txt and the
// exit status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runcompare/zenthar_fixture.h"

namespace runcompare {
namespace {

using testsupport::RunResult;

// A table line of 256 bytes: the index, the value, then padding.
std::string line_of(int index, const std::string& value) {
  const std::string line = std::to_string(index) + " " + value + " ";
  return line + std::string(255 - line.size(), 'p') + "\n";
}

// A failed write to out.txt ends the run at once with a message naming out.txt, never with
// the closing line, and out.txt keeps only whole blocks, so it ends at a line break. With
// lines of 256 bytes the first 256 KiB block goes out when the line of record 1024 no
// longer fits in it.
TEST_F(ZentharBadInputTest, FailedWritesToOutTxt) {
  std::string a, b;
  for (int k = 1; k <= 3000; ++k) {
    a += line_of(k, "-" + std::to_string(k));
    b += line_of(k, "-" + std::to_string(k) + ".5");
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
    for (int k = 1; k <= c.printed; ++k) console += record(k, "++", -(k + 0.5), 2, -k, 1);
    const RunResult run = RunAfter(c.before, {c.a, c.b, "2"});
    EXPECT_EQ(run.out,
              kUsage + console + "\nError: cannot write file out.txt: " + c.reason + ".\n");
    EXPECT_EQ(run.status, 255);
    if (c.kept > 0) {
      EXPECT_TRUE(OutTxt() == a.substr(0, 256 * c.kept)) << OutTxt().size() << " bytes";
    }
  }
}

}  // namespace
}  // namespace runcompare
