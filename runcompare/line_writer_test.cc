// The writer of out.txt: every line whole, with its line feed, whatever the buffer's size;
// every write a block that ends at a line break; a failed write told at once.
#include "runcompare/line_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "testsupport/files.h"

namespace runcompare {
namespace {

const std::vector<std::string> kLines = {
    "a\n", "bc", "\n", "defg\r\n", std::string(40, 'x'), std::string(9, 'y') + "\n", "z"};

std::string Expected() {
  std::string text;
  for (const std::string& line : kLines) text += line.back() == '\n' ? line : line + "\n";
  return text;
}

TEST(LineWriterTest, WritesEveryLineWithALineFeed) {
  testsupport::TempDir dir;
  for (std::size_t block : {1, 2, 3, 5, 10, 11, 64, 256 << 10}) {
    LineWriter writer(open(dir.File("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), block);
    for (const std::string& line : kLines) writer.AppendLine(line);
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(dir.Read("out"), Expected()) << "block " << block;
  }
  LineWriter full(open("/dev/full", O_WRONLY), 8);
  full.AppendLine("1 -2\n");
  EXPECT_FALSE(full.Failed());
  full.AppendLine("2 -2\n");  // the first line goes out, and fails
  EXPECT_TRUE(full.Failed());
  EXPECT_EQ(full.ErrorNumber(), ENOSPC);
  EXPECT_FALSE(full.Close());
}

// A socket of packets keeps writes apart: each packet is one write, which must end at a
// line break, lines longer than the buffer and the line feeds added to lines included.
TEST(LineWriterTest, EveryWriteEndsAtALineBreak) {
  for (std::size_t block : {2, 5, 11, 64}) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, ends), 0);
    LineWriter writer(ends[0], block);
    for (const std::string& line : kLines) writer.AppendLine(line);
    EXPECT_TRUE(writer.Close());
    std::string all;
    char packet[256];
    for (ssize_t got; (got = recv(ends[1], packet, sizeof packet, 0)) > 0;) {
      EXPECT_EQ(packet[got - 1], '\n') << "block " << block;
      all.append(packet, static_cast<std::size_t>(got));
    }
    EXPECT_EQ(all, Expected()) << "block " << block;
    close(ends[1]);
  }
}

}  // namespace
}  // namespace runcompare
