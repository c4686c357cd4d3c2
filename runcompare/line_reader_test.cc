// Tests of the line reader at its buffer edges: lines ending at the edge, lines longer than
// the buffer, no final line feed, empty input, read errors.
#include "runcompare/line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "testsupport/run_program.h"

namespace {

using Lines = std::vector<std::string>;

// Reads all of `text` with blocks of `block_size` bytes.
Lines ReadAll(const std::string& text, std::size_t block_size) {
  FILE* stream = tmpfile();
  fwrite(text.data(), 1, text.size(), stream);
  rewind(stream);
  LineReader reader(stream, block_size);
  Lines lines;
  std::string_view line;
  LineReader::Status status;
  while ((status = reader.ReadLine(&line)) == LineReader::kLine) lines.emplace_back(line);
  EXPECT_EQ(status, LineReader::kEnd);
  EXPECT_EQ(reader.ReadLine(&line), LineReader::kEnd);  // and it stays at the end
  fclose(stream);
  return lines;
}

// A stream over a string that has no descriptor, read a few bytes at a time.
struct TextSource {
  std::string text;
  std::size_t at = 0;
};

ssize_t ReadText(void* cookie, char* buffer, std::size_t size) {
  TextSource* source = static_cast<TextSource*>(cookie);
  const std::size_t n = std::min<std::size_t>({size, source->text.size() - source->at, 3});
  memcpy(buffer, source->text.data() + source->at, n);
  source->at += n;
  return static_cast<ssize_t>(n);
}

// Reads all of `text` the way the record loop does: it looks for the line feed itself from
// Window() on, takes the line when the line feed lies in the unread bytes, and otherwise
// lets ReadLine read on. Every line handed out is followed by a line feed, its own or one
// put after a last line without it. `through_stdio` reads a stream without a descriptor.
Lines ReadAllThroughTheWindow(const std::string& text, std::size_t block_size, bool through_stdio) {
  TextSource source{text};
  FILE* stream = nullptr;
  if (through_stdio) {
    stream = fopencookie(&source, "r", {ReadText, nullptr, nullptr, nullptr});
  } else {
    stream = tmpfile();
    fwrite(text.data(), 1, text.size(), stream);
    rewind(stream);
  }
  EXPECT_NE(stream, nullptr);
  LineReader reader(stream, block_size);
  Lines lines;
  for (;;) {
    const char* feed = reader.Window();
    while (*feed != '\n') ++feed;
    std::string_view line;
    if (!reader.TakeLine(feed, &line)) {
      LineReader::Status status = reader.ReadLine(&line);
      if (status != LineReader::kLine) {
        EXPECT_EQ(status, LineReader::kEnd);
        break;
      }
    }
    EXPECT_EQ(line.data()[line.size() - (line.back() == '\n' ? 1 : 0)], '\n');
    lines.emplace_back(line);
  }
  fclose(stream);
  return lines;
}

TEST(LineReaderTest, HandsOutLinesAsReadAtEveryBlockSize) {
  const std::string kOdd("\x80\0z\n", 4);  // NUL and high bytes travel like any other
  const Lines kExpected = {"a\n", "bb\r\n", "\n", "  ccc \n", kOdd, "dd"};
  const std::string kText = "a\nbb\r\n\n  ccc \n" + kOdd + "dd";
  for (std::size_t block : {1, 2, 3, 4, 5, 7, 8, 64, 256 << 10}) {
    EXPECT_EQ(ReadAll(kText, block), kExpected) << "block " << block;
  }
}

TEST(LineReaderTest, WindowAndTakeLineHandOutTheSameLines) {
  const std::string kOdd("\x80\0z\n", 4);
  const std::string kLong(5000, 'x');
  for (const std::string& text :
       {std::string(), std::string("\n"), "a\nbb\r\n\n  ccc \n" + kOdd + "dd",
        "1\n" + kLong + "\n2\n" + kLong, std::string("abc\ndefg\nhij\n")}) {
    for (std::size_t block : {1, 2, 3, 4, 5, 7, 8, 64, 4096, 256 << 10}) {
      const Lines expected = ReadAll(text, block);
      EXPECT_EQ(ReadAllThroughTheWindow(text, block, false), expected) << "block " << block;
      EXPECT_EQ(ReadAllThroughTheWindow(text, block, true), expected) << "block " << block;
    }
  }
}

TEST(LineReaderTest, EmptyInputAndLoneLineFeed) {
  EXPECT_TRUE(ReadAll("", 4).empty());
  EXPECT_EQ(ReadAll("\n", 4), (Lines{"\n"}));
  EXPECT_EQ(ReadAll("\n", 1), (Lines{"\n"}));
}

TEST(LineReaderTest, LineEndingExactlyAtTheBufferEdge) {
  EXPECT_EQ(ReadAll("abc\ndefg\nhij\n", 4), (Lines{"abc\n", "defg\n", "hij\n"}));
  EXPECT_EQ(ReadAll("abcdefg\n", 8), (Lines{"abcdefg\n"}));
}

TEST(LineReaderTest, LinesLongerThanTheBufferAreWhole) {
  const std::string kLong(100000, 'x');
  EXPECT_EQ(ReadAll("1\n" + kLong + "\n2\n" + kLong, 16),
            (Lines{"1\n", kLong + "\n", "2\n", kLong}));
  EXPECT_EQ(ReadAll(kLong + "\n", 64000), (Lines{kLong + "\n"}));
}

TEST(LineReaderTest, ReadErrorIsNotEndOfInput) {
  testsupport::TempDir dir;
  FILE* folder = fopen(dir.path().c_str(), "r");  // opens, but reading it fails
  ASSERT_NE(folder, nullptr);
  LineReader reader(folder);
  std::string_view line;
  EXPECT_EQ(reader.ReadLine(&line), LineReader::kError);
  EXPECT_EQ(reader.ReadLine(&line), LineReader::kError);
  fclose(folder);
}

}  // namespace
