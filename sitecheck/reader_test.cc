// Tests of the checkers' reader: line pieces, numbers, CR LF folding and the piece search,
// at window edges.
#include "sitecheck/reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "testsupport/string_source.h"
#include "testsupport/text_reader.h"

namespace sitecheck {
namespace {

std::vector<std::string> Pieces(const std::string& text, size_t buffer = 1024,
                                size_t chunk = static_cast<size_t>(-1)) {
  TextReader reader(text, buffer, chunk);
  std::vector<std::string> pieces;
  std::string_view piece;
  while (reader->ReadPiece(kMaxPiece, &piece)) pieces.emplace_back(piece);
  return pieces;
}

TEST(ReaderTest, PiecesAreLinesOfAtMost999Characters) {
  EXPECT_EQ(Pieces("a\nbc\n\nd"), (std::vector<std::string>{"a\n", "bc\n", "\n", "d"}));
  std::string long_line = std::string(2500, 'x') + "\n";
  EXPECT_EQ(Pieces(long_line),
            (std::vector<std::string>{std::string(999, 'x'), std::string(999, 'x'),
                                      std::string(502, 'x') + "\n"}));
  // A line of exactly 999 characters leaves its line break as a piece of its own.
  EXPECT_EQ(Pieces(std::string(999, 'y') + "\nz\n"),
            (std::vector<std::string>{std::string(999, 'y'), "\n", "z\n"}));
  // NUL bytes are part of a line.
  EXPECT_EQ(Pieces(std::string("a\0b\n", 4)), (std::vector<std::string>{std::string("a\0b\n", 4)}));
}

TEST(ReaderTest, PieceAtEndOfInputIsLeftUntouched) {
  TextReader reader("one\n");
  std::string_view piece;
  ASSERT_TRUE(reader->ReadPiece(kMaxPiece, &piece));
  EXPECT_FALSE(reader->ReadPiece(kMaxPiece, &piece));
  EXPECT_EQ(piece, "one\n");
}

TEST(ReaderTest, CrLfReadsAsLfEvenAcrossRefills) {
  // Lines of every length around the buffer size put the CR at and near every edge.
  std::string lf, crlf;
  for (int len = 0; len < 1100; len += 7) {
    std::string line(len, 'a' + len % 26);
    lf += line + "\n";
    crlf += line + "\r\n";
  }
  lf += "lone\rcr\r";  // a CR not followed by LF stays, at the end too
  crlf += "lone\rcr\r";
  EXPECT_EQ(Pieces(crlf, 1024), Pieces(lf, 1024));
  EXPECT_EQ(Pieces(crlf, 1500), Pieces(lf, 1500));
  // Reads of one byte bring a CR alone, which waits for its follower.
  EXPECT_EQ(Pieces(crlf, 1024, 1), Pieces(lf, 1024));
  EXPECT_EQ(Pieces(lf).back(), "lone\rcr\r");
}

TEST(ReaderTest, ScanIntLikeScanf) {
  TextReader reader("  12\n\n -7 +3 x -y 2147483647 -2147483648 2147483648 -99999999999 4");
  int32_t v = 0;
  EXPECT_EQ(reader->ReadInt(&v), ScanStatus::kOk);
  EXPECT_EQ(v, 12);
  EXPECT_EQ(reader->ReadInt(&v), ScanStatus::kOk);
  EXPECT_EQ(v, -7);
  EXPECT_EQ(reader->ReadInt(&v), ScanStatus::kOk);
  EXPECT_EQ(v, 3);
  // A letter is left unread, so it fails again; the sign before a letter is consumed.
  EXPECT_EQ(reader->ReadInt(&v), ScanStatus::kNoNumber);
  char c;
  ASSERT_TRUE(reader->ReadChar(&c));
  EXPECT_EQ(c, 'x');
  EXPECT_EQ(reader->ReadInt(&v), ScanStatus::kNoNumber);
  ASSERT_TRUE(reader->ReadChar(&c));
  EXPECT_EQ(c, 'y');
  EXPECT_EQ(reader->ReadInt(&v), ScanStatus::kOk);
  EXPECT_EQ(v, INT32_MAX);
  EXPECT_EQ(reader->ReadInt(&v), ScanStatus::kOk);
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_EQ(reader->ReadInt(&v), ScanStatus::kOverflow);
  EXPECT_EQ(v, INT32_MAX);
  EXPECT_EQ(reader->ReadInt(&v), ScanStatus::kOverflow);
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_EQ(reader->ReadInt(&v), ScanStatus::kOk);
  EXPECT_EQ(v, 4);
  EXPECT_EQ(reader->ReadInt(&v), ScanStatus::kEnd);
}

TEST(ReaderTest, NumbersAcrossRefills) {
  // Numbers straddle the 1024-byte buffer edges at every offset.
  std::string text;
  std::vector<int32_t> expected;
  for (int i = 0; text.size() < 5000; ++i) {
    int32_t value = (i * 7919) % 100000 - 50000;
    text += std::to_string(value) + (i % 5 == 0 ? "\n" : std::string(i % 3 + 1, ' '));
    expected.push_back(value);
  }
  text += std::string(3000, ' ') + "000000000000000000000000000000000000000000000000000000000042";
  expected.push_back(42);
  TextReader reader(text, 1024);
  for (int32_t want : expected) {
    int32_t v = 0;
    ASSERT_EQ(reader->ReadInt(&v), ScanStatus::kOk);
    ASSERT_EQ(v, want);
  }
  int32_t v;
  EXPECT_EQ(reader->ReadInt(&v), ScanStatus::kEnd);
}

TEST(ReaderTest, ScanDoubleTakesPlainDecimalOnly) {
  TextReader reader("0.987** .5 5. -1e2 2.5E-1x 1e 3e+ inf nan 0x1p3 - . 1e400 7");
  double d = 0;
  char c;
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kOk);
  EXPECT_EQ(d, 0.987);
  ASSERT_TRUE(reader->ReadChar(&c));  // the stars stay unread
  EXPECT_EQ(c, '*');
  ASSERT_TRUE(reader->ReadChar(&c));
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kOk);
  EXPECT_EQ(d, 0.5);
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kOk);
  EXPECT_EQ(d, 5.0);
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kOk);
  EXPECT_EQ(d, -100.0);
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kOk);
  EXPECT_EQ(d, 0.25);
  ASSERT_TRUE(reader->ReadChar(&c));
  EXPECT_EQ(c, 'x');
  // An exponent letter without digits is not part of the number.
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kOk);
  EXPECT_EQ(d, 1.0);
  ASSERT_TRUE(reader->ReadChar(&c));
  EXPECT_EQ(c, 'e');
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kOk);
  EXPECT_EQ(d, 3.0);
  ASSERT_TRUE(reader->ReadChar(&c));
  EXPECT_EQ(c, 'e');
  ASSERT_TRUE(reader->ReadChar(&c));
  EXPECT_EQ(c, '+');
  for (const char* word : {"inf", "nan"}) {
    EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kNoNumber) << word;
    for (size_t i = 0; i < std::strlen(word); ++i) ASSERT_TRUE(reader->ReadChar(&c));
  }
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kOk);  // hexadecimal: just the 0
  EXPECT_EQ(d, 0.0);
  ASSERT_TRUE(reader->ReadChar(&c));
  EXPECT_EQ(c, 'x');
  ASSERT_TRUE(reader->ReadChar(&c));
  ASSERT_TRUE(reader->ReadChar(&c));
  ASSERT_TRUE(reader->ReadChar(&c));
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kNoNumber);  // "-": sign consumed
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kNoNumber);  // ".": point consumed
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kOverflow);  // too large for a double
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kOk);
  EXPECT_EQ(d, 7.0);
  EXPECT_EQ(reader->ReadDecimal(&d), ScanStatus::kEnd);
}

// Whether a number lies inside the window or runs across its edge, it reads the same.
TEST(ReaderTest, NumbersReadTheSameAtEveryWindowEdge) {
  const std::vector<std::string> tokens = {"0.987**",
                                           "-12",
                                           "+.5e-3x",
                                           "1e",
                                           "3E+",
                                           "7.",
                                           "-.",
                                           "inf",
                                           "42",
                                           "0.55",
                                           "1e400",
                                           "--1",
                                           "123456789012345678901234567890e-29",
                                           std::string(3000, '7') + "e-2999"};
  std::string body;
  for (const std::string& token : tokens) body += token + " ";
  auto read_all = [](const std::string& text, size_t chunk = static_cast<size_t>(-1)) {
    TextReader reader(text, 1024, chunk);
    std::string log;
    for (int i = 0; i < 60; ++i) {
      double d = 0;
      int32_t v = 0;
      char c = 0;
      ScanStatus status = i % 3 == 0 ? reader->ReadInt(&v) : reader->ReadDecimal(&d);
      log += std::to_string(static_cast<int>(status)) + ":" + std::to_string(v) + ":" +
             std::to_string(d) + " ";
      if (status == ScanStatus::kEnd) break;
      if (status == ScanStatus::kNoNumber && reader->ReadChar(&c)) log += c;
    }
    return log;
  };
  const std::string expected = read_all(body);
  for (size_t pad = 900; pad < 1100; ++pad) {
    ASSERT_EQ(read_all(std::string(pad, ' ') + body), expected) << pad;
  }
  // Short reads: a number longer than the window grows it while more comes in.
  for (size_t chunk : {1, 7}) ASSERT_EQ(read_all(body, chunk), expected) << chunk;
}

// What the piece search must be the same as: read pieces, look in each.
bool NaiveSkip(Reader& reader, std::string_view text, std::string* found) {
  std::string_view piece;
  while (reader.ReadPiece(kMaxPiece, &piece)) {
    if (piece.find(text) != std::string_view::npos) {
      *found = std::string(piece);
      return true;
    }
  }
  return false;
}

TEST(ReaderTest, PieceSearchMatchesPieceByPieceReading) {
  std::mt19937 random(11);
  const std::string mark = "replicate ";
  for (int round = 0; round < 300; ++round) {
    // Lines near the piece length, with marks at random places, some across piece edges.
    std::string text;
    int lines = random() % 8 + 1;
    for (int l = 0; l < lines; ++l) {
      size_t len = random() % 3 == 0 ? random() % 30 : 990 + random() % 1050;
      std::string line(len, '.');
      for (int m = random() % 3; m > 0; --m) {
        size_t at = random() % (len + 1);
        line.insert(at, random() % 4 == 0 ? std::string("replic") : mark);
      }
      text += line + (random() % 5 == 0 ? "\r\n" : "\n");
    }
    size_t buffer = 1024 + random() % 2000;
    TextReader fast(text, buffer), slow(text, buffer);
    for (;;) {
      // Start each search at a varying point inside a line, as number reads leave it.
      int skip = random() % 5;
      for (int i = 0; i < skip; ++i) {
        char c1, c2;
        bool more1 = fast->ReadChar(&c1), more2 = slow->ReadChar(&c2);
        ASSERT_EQ(more1, more2);
      }
      std::string_view piece;
      std::string expected;
      bool found = fast->SkipToPieceWith(mark, &piece);
      ASSERT_EQ(found, NaiveSkip(*slow, mark, &expected)) << "round " << round;
      if (!found) break;
      ASSERT_EQ(std::string(piece), expected) << "round " << round;
    }
    std::string_view rest;
    EXPECT_FALSE(slow->ReadPiece(kMaxPiece, &rest));
    EXPECT_FALSE(fast->ReadPiece(kMaxPiece, &rest));
  }
}

TEST(ReaderTest, ReadErrorIsNotEndOfFile) {
  textio::FailingSource failing("");
  Reader reader(failing);
  std::string_view piece;
  EXPECT_FALSE(reader.ReadPiece(kMaxPiece, &piece));
  EXPECT_TRUE(reader.Failed());
  TextReader ok("x");
  EXPECT_TRUE(ok->ReadPiece(kMaxPiece, &piece));
  EXPECT_FALSE(ok->ReadPiece(kMaxPiece, &piece));
  EXPECT_FALSE(ok->Failed());
}

}  // namespace
}  // namespace sitecheck
