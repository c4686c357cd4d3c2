// The reading window against a plain model, the text itself: after every fill the unread
// bytes are the text from offset() on, padded; at the refill boundary, as it grows, at its
// limit, and at the end of the input or a read error.
#include "textio/window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace textio {
namespace {

// The text in reads of at most `chunk` bytes, then a read error when `fails`.
class TextSource : public ByteSource {
 public:
  TextSource(std::string text, size_t chunk, bool fails)
      : text_(std::move(text)), chunk_(chunk), fails_(fails) {}
  size_t Read(char* into, size_t size) override {
    const size_t count = std::min({size, chunk_, text_.size() - at_});
    if (count == 0 && fails_) Fail(EIO);
    text_.copy(into, count, at_);
    at_ += count;
    return count;
  }

 private:
  std::string text_;
  size_t chunk_;
  bool fails_;
  size_t at_ = 0;
};

struct Row {
  size_t length;  // of the text
  size_t chunk;   // the most a read of the source gives
  bool fails;     // the source fails after the text
  size_t block;
  size_t limit;
  size_t step;  // bytes consumed after each fill (0: none)
  Window::Fill last;
  size_t unread;    // left at the last fill
  size_t capacity;  // at the last fill
};

TEST(WindowTest, FillsAsThePlainModelReads) {
  constexpr size_t kAny = Window::kNoLimit;
  const Row kRows[] = {
      {0, kAny, false, 4, kAny, 1, Window::kEnd, 0, 4},
      {10, kAny, false, 4, kAny, 3, Window::kEnd, 1, 4},    // refills across the boundary
      {8, kAny, false, 4, kAny, 4, Window::kEnd, 0, 4},     // consumed exactly at it
      {10, 1, false, 4, kAny, 3, Window::kEnd, 0, 4},       // one byte a read
      {40, kAny, false, 4, kAny, 0, Window::kEnd, 40, 45},  // grows by a block
      {100, kAny, false, 64, kAny, 0, Window::kEnd, 100, 128},
      {1000, kAny, false, 64, kAny, 0, Window::kEnd, 1000, 1037},  // then by an eighth
      {40, kAny, false, 4, 10, 0, Window::kFull, 10, 10},          // stops at the limit
      {9, kAny, false, 4, 10, 0, Window::kEnd, 9, 10},             // reaches it without passing
      {40, kAny, false, 4, 10, 3, Window::kEnd, 1, 4},             // consumed, never grows
      {10, 3, true, 4, kAny, 3, Window::kError, 0, 4},             // a read error is no end
      {0, 3, true, 4, kAny, 1, Window::kError, 0, 4},
  };
  for (const Row& row : kRows) {
    std::string text;
    for (size_t i = 0; i < row.length; ++i) text += static_cast<char>('a' + i % 26);
    TextSource source(text, row.chunk, row.fails);
    Window window(row.block, row.limit);
    Window::Fill fill;
    const std::string where = "length " + std::to_string(row.length) + " block " +
                              std::to_string(row.block) + " step " + std::to_string(row.step);
    while ((fill = window.FillFrom(source)) == Window::kRead) {
      ASSERT_EQ(std::string(window.begin(), window.end()),
                text.substr(window.offset(), window.unread()))
          << where;
      ASSERT_EQ(std::string(window.end(), kPadding), '\n' + std::string(kPadding - 1, '\0'))
          << where;
      ASSERT_LE(window.capacity(), row.limit) << where;
      window.Consume(window.begin() + std::min(row.step, window.unread()));
    }
    EXPECT_EQ(fill, row.last) << where;
    EXPECT_EQ(window.FillFrom(source), row.last) << where;  // it stays so
    EXPECT_EQ(window.unread(), row.unread) << where;
    EXPECT_EQ(window.capacity(), row.capacity) << where;
    EXPECT_EQ(std::string(window.begin(), window.end()),
              text.substr(window.offset(), window.unread()))
        << where;
    if (row.last != Window::kFull) {
      EXPECT_EQ(window.offset() + window.unread(), row.length) << where;
    }
  }
}

}  // namespace
}  // namespace textio
