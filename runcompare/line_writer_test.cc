// The writer of out.txt: every line whole, with its line feed, whatever the buffer's size,
// and a failed write told at the close.
#include "runcompare/line_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/files.h"

namespace runcompare {
namespace {

TEST(LineWriterTest, WritesEveryLineWithALineFeed) {
  const std::vector<std::string> lines = {
      "a\n", "bc", "\n", "defg\r\n", std::string(40, 'x'), std::string(9, 'y') + "\n", "z"};
  std::string expected;
  for (const std::string& line : lines) expected += line.back() == '\n' ? line : line + "\n";
  testsupport::TempDir dir;
  for (std::size_t block : {1, 2, 3, 5, 10, 11, 64, 256 << 10}) {
    LineWriter writer(open(dir.File("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), block);
    for (const std::string& line : lines) writer.append_line(line);
    EXPECT_TRUE(writer.close());
    EXPECT_EQ(dir.Read("out"), expected) << "block " << block;
  }
  LineWriter full(open("/dev/full", O_WRONLY), 4);
  full.append_line("1 -2\n");
  EXPECT_FALSE(full.close());
}

}  // namespace
}  // namespace runcompare
