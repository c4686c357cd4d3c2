// The line window: lines are handed out from where they lie; a refill first moves the
// unread tail to the front, so the window never holds more than one line and a read.
#include "siteplot/line_reader.h"

#include <cstring>

namespace siteplot {

LineReader::LineReader(textio::ByteSource* source, size_t max_length)
    : source_(source), window_(new char[max_length + 1]), size_(max_length + 1) {}

bool LineReader::Next(std::string_view* line) {
  char* const window = window_.get();
  for (;;) {
    const size_t from = begin_ + scanned_;
    if (const void* found = std::memchr(window + from, '\n', end_ - from)) {
      const size_t stop = static_cast<size_t>(static_cast<const char*>(found) - window);
      *line = std::string_view(window + begin_, stop - begin_);
      begin_ = stop + 1;
      scanned_ = 0;
      ++line_number_;
      return true;
    }
    scanned_ = end_ - begin_;
    if (at_end_ || too_long_) return false;
    if (begin_ > 0) {
      std::memmove(window, window + begin_, end_ - begin_);
      end_ -= begin_;
      begin_ = 0;
    }
    if (end_ == size_) {
      too_long_ = true;
      line_number_++;
      return false;
    }
    const size_t got = source_->Read(window + end_, size_ - end_);
    if (got == 0) at_end_ = true;
    end_ += got;
  }
}

}  // namespace siteplot
