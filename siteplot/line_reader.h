// The lines of a byte source, one at a time, through a window of bounded size, so that an
// input of any size is read in constant memory.
#ifndef SITEPLOT_LINE_READER_H_
#define SITEPLOT_LINE_READER_H_

#include <cstddef>
#include <string_view>

#include "textio/byte_source.h"
#include "textio/window.h"

namespace siteplot {

/// The longest line read, line break excluded. A checker's lines are a few hundred bytes;
/// a longer line means the input is something else.
constexpr size_t kMaxLineLength = 1 << 20;

class LineReader {
 public:
  /// Reads `source`, which must outlive the reader, in lines of at most `max_length` bytes.
  explicit LineReader(textio::ByteSource* source, size_t max_length = kMaxLineLength);

  /// The next complete line, without its line feed, valid until the next call. False at the
  /// end of the input, when reading failed (see the source), or at a line longer than the
  /// window (TooLong()). Text after the last line feed is not a line: see CutShort().
  bool Next(std::string_view* line);

  /// The number of the line Next gave last (the first is 1), or of the line too long.
  long LineNumber() const { return line_number_; }
  bool TooLong() const { return too_long_; }
  /// True when the input ended in text without a line feed after it.
  bool CutShort() const { return at_end_ && window_.Unread() > 0; }

 private:
  textio::ByteSource* source_;
  // The longest line and its line feed; a small input touches only the pages it is read into.
  textio::Window window_;
  size_t scanned_ = 0;  // unread bytes known to hold no line feed
  long line_number_ = 0;
  bool at_end_ = false;
  bool too_long_ = false;
};

}  // namespace siteplot

#endif  // SITEPLOT_LINE_READER_H_
