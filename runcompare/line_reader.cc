// Buffered line reader: the window of unread bytes is refilled only when it holds no
// complete line, after moving the partial line to the front of the buffer.
#include "runcompare/line_reader.h"

#include <cstring>

LineReader::LineReader(FILE* stream, std::size_t block_size)
    : stream_(stream), buf_(block_size > 0 ? block_size : 1) {}

LineReader::Status LineReader::ReadLine(std::string_view* line) {
  std::size_t scan_from = begin_;  // bytes before this are known to hold no line feed
  for (;;) {
    if (scan_from < end_) {
      const char* data = buf_.data();
      const void* feed = memchr(data + scan_from, '\n', end_ - scan_from);
      if (feed != nullptr) {
        std::size_t stop = static_cast<const char*>(feed) - data + 1;
        *line = std::string_view(data + begin_, stop - begin_);
        begin_ = stop;
        return kLine;
      }
      scan_from = end_;
    }
    if (failed_) return kError;
    if (at_end_) {
      if (begin_ == end_) return kEnd;
      *line = std::string_view(buf_.data() + begin_, end_ - begin_);
      begin_ = end_;
      return kLine;
    }
    // No complete line in the window: keep the partial line, move it to the front, and make
    // room for more (doubling the buffer when the partial line fills it).
    if (begin_ > 0) {
      memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
      end_ -= begin_;
      scan_from -= begin_;
      begin_ = 0;
    }
    if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);
    std::size_t wanted = buf_.size() - end_;
    std::size_t got = fread(buf_.data() + end_, 1, wanted, stream_);
    end_ += got;
    // fread comes back short only at end of input or on an error.
    if (got < wanted) {
      if (ferror(stream_)) {
        failed_ = true;
      } else {
        at_end_ = true;
      }
    }
  }
}
