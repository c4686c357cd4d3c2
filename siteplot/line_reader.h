// The lines of a byte source, one at a time, through a window of bounded size, so that an
// input of any size is read in constant memory.
#ifndef SITEPLOT_LINE_READER_H_
#define SITEPLOT_LINE_READER_H_

#include <cstddef>
#include <memory>
#include <string_view>

#include "textio/byte_source.h"

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
  /// window (too_long()). Text after the last line feed is not a line: see cut_short().
  bool Next(std::string_view* line);

  /// The number of the line Next gave last (the first is 1), or of the line too long.
  long line_number() const { return line_number_; }
  bool too_long() const { return too_long_; }
  /// True when the input ended in text without a line feed after it.
  bool cut_short() const { return at_end_ && begin_ < end_; }

 private:
  textio::ByteSource* source_;
  // Not filled beforehand: a small input touches only the pages it is read into.
  std::unique_ptr<char[]> window_;
  size_t size_;         // the window's bytes: the longest line and its line feed
  size_t begin_ = 0;    // the first byte not yet handed out
  size_t scanned_ = 0;  // bytes from begin_ on known to hold no line feed
  size_t end_ = 0;      // one past the last byte read
  long line_number_ = 0;
  bool at_end_ = false;
  bool too_long_ = false;
};

}  // namespace siteplot

#endif  // SITEPLOT_LINE_READER_H_
