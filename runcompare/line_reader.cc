// The line reader: the window is read on only when it holds no whole line.
#include "runcompare/line_reader.h"

#include <algorithm>
#include <utility>

#include "textio/bytes.h"

namespace runcompare {

LineReader::LineReader(std::unique_ptr<textio::ByteSource> source, std::size_t block_size,
                       std::size_t max_line)
    : source_(std::move(source)),
      // No larger than the longest line and its line feed, so a line found in the window is
      // never too long.
      window_(std::make_unique<textio::Window>(std::min(block_size, max_line + 1), max_line + 1)) {}

bool LineReader::ReadFirstBlock() {
  at_end_ = window_->FillFrom(*source_) == textio::Window::kEnd;
  return !source_->Failed();
}

LineReader::Status LineReader::ReadOn(std::string_view* line) {
  if (source_->Failed()) return kError;
  if (at_end_) {
    if (window_->Unread() == 0) return kEnd;
    *line = std::string_view(Window(), window_->Unread());
    window_->Consume(window_->End());
    return kLine;
  }
  return ReadLineFeed();
}

LineReader::Status LineReader::ReadLineFeed() {
  // Reads until a line feed comes, or the input ends or fails, so that the caller scans the
  // line once more, not once for every read.
  for (;;) {
    const std::size_t had = window_->Unread();
    switch (window_->FillFrom(*source_)) {
      case textio::Window::kRead:
        break;
      case textio::Window::kFull:
        return kTooLong;
      case textio::Window::kNoMemory:
        return kNoMemory;
      case textio::Window::kEnd:
        at_end_ = true;
        return kMore;
      case textio::Window::kError:
        return kMore;
    }
    if (textio::Fast::FindLineFeed(Window() + had, window_->End()) != nullptr) return kMore;
  }
}

}  // namespace runcompare
