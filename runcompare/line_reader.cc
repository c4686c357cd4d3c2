// The line reader: the window is read on only when it holds no whole line, after moving the
// unfinished line to its front.
#include "runcompare/line_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "textio/bytes.h"

namespace runcompare {

LineReader::LineReader(std::unique_ptr<textio::ByteSource> source, std::size_t block_size,
                       std::size_t max_line)
    : source_(std::move(source)),
      block_size_(std::max<std::size_t>(1, std::min(block_size, max_line + 1))),
      max_line_(max_line),
      // No larger than the longest line and its line feed, so a line found in the window is
      // never too long.
      window_(std::make_unique<textio::PaddedBuffer>(block_size_)) {}

bool LineReader::read_first_block() {
  const std::size_t got = source_->Read(window_->data(), window_->capacity());
  end_ = got;
  at_end_ = got == 0 && !source_->failed();
  window_->PadAt(end_);
  return !source_->failed();
}

LineReader::Status LineReader::read_on(std::string_view* line) {
  if (source_->failed()) return kError;
  if (at_end_) {
    if (begin_ == end_) return kEnd;
    *line = std::string_view(window(), end_ - begin_);
    begin_ = end_;
    return kLine;
  }
  if (begin_ > 0) {
    std::memmove(window_->data(), window_->data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    window_->PadAt(end_);
  }
  return read_line_feed();
}

LineReader::Status LineReader::read_line_feed() {
  // Reads until a line feed comes, or the input ends or fails, so that the caller scans the
  // line once more, not once for every read.
  for (;;) {
    if (end_ == window_->capacity()) {
      if (end_ > max_line_) return kTooLong;
      const std::size_t more = std::max(block_size_, window_->capacity() / 8);
      if (!window_->Grow(std::min(window_->capacity() + more, max_line_ + 1))) return kNoMemory;
    }
    const std::size_t room = std::min(block_size_, window_->capacity() - end_);
    const std::size_t got = source_->Read(window_->data() + end_, room);
    if (got == 0) {
      at_end_ = !source_->failed();
      return kMore;
    }
    const char* fresh = window_->data() + end_;
    end_ += got;
    window_->PadAt(end_);
    if (textio::Fast::FindLineFeed(fresh, window_->data() + end_) != nullptr) return kMore;
  }
}

}  // namespace runcompare
