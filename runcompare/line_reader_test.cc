// The line reader at its window's edges: lines ending at the edge, lines longer than the
// window, no final line feed, empty input, reads that end anywhere, with or without the
// first block read at the start, lines longer than the longest taken, read errors.
#include "runcompare/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/files.h"
#include "testsupport/string_source.h"

namespace runcompare {
namespace {

using Lines = std::vector<std::string>;

// Takes the next line as the record loop does: looks for the line feed from Window() on, a
// byte at a time, and takes the line that ends there, scanning again after kMore.
LineReader::Status NextLine(LineReader* reader, std::string_view* line) {
  LineReader::Status status;
  do {
    const char* feed = reader->Window();
    while (*feed != '\n') ++feed;
    status = reader->TakeLine(feed, line);
  } while (status == LineReader::kMore);
  return status;
}

// Reads all of `source` with NextLine, after the first block when `first_block`. Every
// line handed out is followed by a line feed, its own or the padding's.
Lines ReadAll(std::unique_ptr<textio::ByteSource> source, std::size_t block_size,
              bool first_block) {
  LineReader reader(std::move(source), block_size);
  EXPECT_TRUE(!first_block || reader.ReadFirstBlock());
  Lines lines;
  for (;;) {
    std::string_view line;
    const LineReader::Status status = NextLine(&reader, &line);
    if (status != LineReader::kLine) {
      EXPECT_EQ(status, LineReader::kEnd);
      EXPECT_EQ(reader.TakeLine(reader.Window(), &line), LineReader::kEnd);  // it stays so
      return lines;
    }
    EXPECT_EQ(line.data()[line.size() - (line.back() == '\n' ? 1 : 0)], '\n');
    lines.emplace_back(line);
  }
}

// Reads `text` at every block size, from a file and from memory in reads of 1, 3 and any
// number of bytes, and expects its lines.
void ExpectLines(const std::string& text, const Lines& expected) {
  testsupport::TempDir dir;
  dir.Write("text", text);
  for (std::size_t block : {1, 2, 3, 4, 5, 7, 8, 64, 4096, 256 << 10}) {
    textio::OpenError error;
    for (bool first_block : {false, true}) {
      EXPECT_EQ(ReadAll(textio::OpenFile(dir.File("text"), &error), block, first_block), expected)
          << block;
      for (std::size_t chunk : {std::size_t{1}, std::size_t{3}, static_cast<std::size_t>(-1)}) {
        EXPECT_EQ(ReadAll(std::make_unique<textio::StringSource>(text, chunk), block, first_block),
                  expected)
            << "block " << block << " chunk " << chunk << " first block " << first_block;
      }
    }
  }
}

TEST(LineReaderTest, HandsOutLinesAsRead) {
  static const std::string kOdd("\x80\0z\n", 4);  // NUL and high bytes travel like any other
  ExpectLines("a\nbb\r\n\n  ccc \n" + kOdd + "dd", {"a\n", "bb\r\n", "\n", "  ccc \n", kOdd, "dd"});
  ExpectLines("", {});
  ExpectLines("\n", {"\n"});
  // Lines that end exactly at the window's edge.
  ExpectLines("abc\ndefg\nhij\n", {"abc\n", "defg\n", "hij\n"});
  ExpectLines("abcdefg\n", {"abcdefg\n"});
  // Lines longer than the window are whole.
  static const std::string kLong(5000, 'x');
  ExpectLines("1\n" + kLong + "\n2\n" + kLong, {"1\n", kLong + "\n", "2\n", kLong});
  static const std::string kLonger(300000, 'y');
  ExpectLines(kLonger + "\n" + kLonger, {kLonger + "\n", kLonger});
}

// A line longer than the reader's longest is refused once that much is read, whatever the
// window and the reads; one of exactly that length is handed out, also as the last line.
TEST(LineReaderTest, LineLongerThanTheLongestIsRefused) {
  static const std::string kTen(10, 'x');
  const struct {
    std::string text;
    std::size_t lines;  // handed out before the end, or before the refusal
    LineReader::Status last;
  } cases[] = {
      {"ab\n" + kTen + "\n" + kTen, 3, LineReader::kEnd},
      {"ab\n" + kTen + "y\nab\n", 1, LineReader::kTooLong},
      {"ab\n" + kTen + "y", 1, LineReader::kTooLong},
      {kTen + kTen + kTen + "\n", 0, LineReader::kTooLong},
  };
  for (const auto& c : cases) {
    for (std::size_t block : {1, 3, 4, 11, 64}) {
      for (std::size_t chunk : {std::size_t{1}, std::size_t{5}, static_cast<std::size_t>(-1)}) {
        LineReader reader(std::make_unique<textio::StringSource>(c.text, chunk), block, 10);
        std::size_t lines = 0;
        std::string_view line;
        LineReader::Status status;
        do {
          status = NextLine(&reader, &line);
          lines += status == LineReader::kLine ? 1 : 0;
        } while (status == LineReader::kLine);
        EXPECT_EQ(lines, c.lines) << c.text << " block " << block << " chunk " << chunk;
        EXPECT_EQ(status, c.last) << c.text << " block " << block << " chunk " << chunk;
      }
    }
  }
}

TEST(LineReaderTest, ReadErrorIsNotEndOfInput) {
  textio::OpenError error;
  // Reading this process's memory from offset 0 fails even for root.
  LineReader reader(textio::OpenFile("/proc/self/mem", &error));
  std::string_view line;
  EXPECT_EQ(reader.TakeLine(reader.Window(), &line), LineReader::kMore);
  EXPECT_EQ(reader.TakeLine(reader.Window(), &line), LineReader::kError);
  EXPECT_EQ(reader.TakeLine(reader.Window(), &line), LineReader::kError);
  // Read when it is opened, it fails at once.
  LineReader first(textio::OpenFile("/proc/self/mem", &error));
  EXPECT_FALSE(first.ReadFirstBlock());
  EXPECT_EQ(first.TakeLine(first.Window(), &line), LineReader::kError);
}

}  // namespace
}  // namespace runcompare
