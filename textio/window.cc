// The reading window: a fill first moves the unread bytes to the front, so the window
// grows only when they fill it.
#include "textio/window.h"

#include <algorithm>
#include <cstring>

namespace textio {

Window::Window(size_t block, size_t limit)
    : buffer_(std::max<size_t>(1, std::min(block, limit))),
      block_(buffer_.Capacity() > 0 ? buffer_.Capacity() : 1),
      limit_(std::max(limit, block_)) {}

Window::Fill Window::FillFrom(ByteSource& source) {
  if (!HasMemory()) return kNoMemory;
  if (last_ != kRead) return last_;
  if (begin_ > 0) {
    char* const data = buffer_.Data();
    std::memmove(data, data + begin_, end_ - begin_);
    dropped_ += begin_;
    end_ -= begin_;
    begin_ = 0;
    buffer_.PadAt(end_);
  }
  if (end_ == buffer_.Capacity()) {
    if (end_ >= limit_) return kFull;
    const size_t more = std::max(block_, buffer_.Capacity() / 8);
    const size_t grown = limit_ - buffer_.Capacity() > more ? buffer_.Capacity() + more : limit_;
    if (!buffer_.Grow(grown)) return kNoMemory;
  }
  const size_t got = source.Read(buffer_.Data() + end_, std::min(block_, Capacity() - end_));
  if (got == 0) return last_ = source.Failed() ? kError : kEnd;
  end_ += got;
  buffer_.PadAt(end_);
  return kRead;
}

}  // namespace textio
