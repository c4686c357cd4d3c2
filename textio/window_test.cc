// The reading window against a plain model, the text itself, at the refill boundary, as it
// grows, at its limit, and at the end of the input or a read error.
#include "textio/window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "testsupport/string_source.h"

namespace textio {
namespace {

TEST(WindowTest, FillsAsThePlainModelReads) {
  constexpr size_t kAny = Window::kNoLimit;
  // Text length, the most a read gives, whether it fails after the text, block, limit, bytes
  // consumed after each fill; then the last fill, the unread bytes and capacity after it.
  static const size_t kRows[][9] = {
      {0, kAny, 0, 4, kAny, 1, Window::kEnd, 0, 4},
      {10, kAny, 0, 4, kAny, 3, Window::kEnd, 1, 4},
      {8, kAny, 0, 4, kAny, 4, Window::kEnd, 0, 4},
      {10, 1, 0, 4, kAny, 3, Window::kEnd, 0, 4},
      {40, kAny, 0, 4, kAny, 0, Window::kEnd, 40, 45},
      {1000, kAny, 0, 64, kAny, 0, Window::kEnd, 1000, 1037},
      {40, kAny, 0, 4, 10, 0, Window::kFull, 10, 10},
      {9, kAny, 0, 4, 10, 0, Window::kEnd, 9, 10},
      {10, 3, 1, 4, kAny, 3, Window::kError, 0, 4},
      {0, 3, 1, 4, kAny, 1, Window::kError, 0, 4},
  };
  for (const auto& row : kRows) {
    std::string text;
    for (size_t i = 0; i < row[0]; ++i) text += static_cast<char>('a' + i % 26);
    std::unique_ptr<StringSource> source(row[2] ? new FailingSource(text, row[1])
                                                : new StringSource(text, row[1]));
    Window window(row[3], row[4]);
    Window::Fill fill;
    while ((fill = window.FillFrom(*source)) == Window::kRead) {
      ASSERT_EQ(
          std::string(window.Begin(), window.End() + kPadding),
          text.substr(window.Offset(), window.Unread()) + '\n' + std::string(kPadding - 1, '\0'));
      window.Consume(window.Begin() + std::min(row[5], window.Unread()));
    }
    EXPECT_EQ(fill, row[6]) << row[0] << " " << row[3] << " " << row[5];
    EXPECT_EQ(window.FillFrom(*source), row[6]);  // it stays so
    EXPECT_EQ(std::vector<size_t>(
                  {window.Unread(), window.Capacity(), window.Offset() + window.Unread()}),
              std::vector<size_t>({row[7], row[8], row[6] == Window::kFull ? 10 : row[0]}));
  }
}

}  // namespace
}  // namespace textio
