// The line window: lines are handed out from where they lie in a window that never grows
// past the longest line and its line feed.
#include "siteplot/line_reader.h"

#include <cstring>
#include <new>

namespace siteplot {

LineReader::LineReader(textio::ByteSource* source, size_t max_length)
    : source_(source), window_(max_length + 1, max_length + 1) {}

bool LineReader::Next(std::string_view* line) {
  for (;;) {
    const char* const from = window_.Begin() + scanned_;
    if (const void* found = std::memchr(from, '\n', static_cast<size_t>(window_.End() - from))) {
      const char* const stop = static_cast<const char*>(found);
      *line = std::string_view(window_.Begin(), static_cast<size_t>(stop - window_.Begin()));
      window_.Consume(stop + 1);
      scanned_ = 0;
      ++line_number_;
      return true;
    }
    scanned_ = window_.Unread();
    if (at_end_ || too_long_) return false;
    switch (window_.FillFrom(*source_)) {
      case textio::Window::kRead:
        break;
      case textio::Window::kFull:
        too_long_ = true;
        line_number_++;
        return false;
      case textio::Window::kNoMemory:
        throw std::bad_alloc();  // reported as the input's "out of memory", as elsewhere
      default:                   // the end, or a read error (the source tells)
        at_end_ = true;
        break;
    }
  }
}

}  // namespace siteplot
