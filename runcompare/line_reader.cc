// Buffered line reader: the window of unread bytes is refilled only when it holds no
// complete line, after moving the partial line to the front of the buffer.
#include "runcompare/line_reader.h"

#include <unistd.h>

#include <cerrno>

LineReader::LineReader(FILE* stream, std::size_t block_size)
    : stream_(stream),
      descriptor_(fileno(stream)),
      buf_((block_size > 0 ? block_size : 1) + 1 + kSlack),
      capacity_(block_size > 0 ? block_size : 1) {
  buf_[0] = '\n';  // the line feed that ends an empty window
}

std::size_t LineReader::Fill(std::size_t wanted) {
  char* into = buf_.data() + end_;
  if (descriptor_ < 0) {
    std::size_t got = fread(into, 1, wanted, stream_);
    // fread comes back short only at end of input or on an error.
    if (got < wanted) (ferror(stream_) ? failed_ : at_end_) = true;
    return got;
  }
  for (;;) {
    ssize_t got = read(descriptor_, into, wanted);
    if (got > 0) return static_cast<std::size_t>(got);
    if (got == 0) {
      at_end_ = true;
      return 0;
    }
    if (errno != EINTR) {
      failed_ = true;
      return 0;
    }
  }
}

LineReader::Status LineReader::ReadLineSlowly(std::string_view* line) {
  std::size_t scan_from = end_;  // the fast path found no line feed before end_
  for (;;) {
    if (scan_from < end_) {
      const char* data = buf_.data();
      const void* feed = memchr(data + scan_from, '\n', end_ - scan_from);
      if (feed != nullptr) {
        std::size_t stop = static_cast<std::size_t>(static_cast<const char*>(feed) - data) + 1;
        *line = std::string_view(data + begin_, stop - begin_);
        begin_ = stop;
        return kLine;
      }
      scan_from = end_;
    }
    if (failed_) return kError;
    if (at_end_) {
      if (begin_ == end_) return kEnd;
      // The last line has no line feed; one follows it in the slack.
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
    if (end_ == capacity_) {
      buf_.resize(2 * capacity_ + 1 + kSlack);
      capacity_ *= 2;
    }
    end_ += Fill(capacity_ - end_);
    buf_[end_] = '\n';
  }
}
