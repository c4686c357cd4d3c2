// The line reader of zenthar: reads a byte source in large blocks into a padded window and
// hands out its lines in place, exactly as read.
#ifndef RUNCOMPARE_LINE_READER_H_
#define RUNCOMPARE_LINE_READER_H_

#include <cstddef>
#include <memory>
#include <string_view>

#include "runcompare/fields.h"
#include "textio/byte_source.h"
#include "textio/window.h"

namespace runcompare {

/// Reads lines from a byte source, each with the starts of the fields a record needs
/// (NextLine), found in the same pass that finds the line's end. The lines lie in a
/// textio::Window, so the unread bytes are always followed by a line feed (the padding's at
/// the latest) and then by readable bytes, which lets a scan run a block at a time without
/// checking its margins.
class LineReader {
 public:
  enum Status {
    kLine,      // a line is handed out
    kMore,      // the line went on past the unread bytes: more are read, scan again
    kEnd,       // end of input (and so on every later call)
    kError,     // the source could not be read (and so on every later call)
    kNoMemory,  // the window could not grow to hold a long line
    kTooLong,   // the line is longer than the reader's longest
  };

  static constexpr std::size_t kDefaultBlockSize = 256 << 10;
  static constexpr std::size_t kDefaultMaxLine = std::size_t{1} << 30;

  /// Reads `source` in reads of up to `block_size` bytes, the size of the window. When a
  /// line does not fit, the window grows by a block, or by an eighth once it is large, so
  /// that it holds a line in about the line's length plus a block; it keeps its size
  /// afterwards. A line of more than `max_line` bytes before its line feed is refused
  /// (kTooLong) once that many are read, and the window never grows past them.
  explicit LineReader(std::unique_ptr<textio::ByteSource> source,
                      std::size_t block_size = kDefaultBlockSize,
                      std::size_t max_line = kDefaultMaxLine);

  /// False when the window could not be allocated; the reader must not be used then.
  bool HasWindow() const { return window_->HasMemory(); }

  /// Reads the first block, so that a file that opens but cannot be read shows before any
  /// line is asked for. False when that read failed.
  bool ReadFirstBlock();

  /// The source, to tell how it failed.
  const textio::ByteSource& Source() const { return *source_; }

  /// Reads a checked source (compressed data) to its end, past the lines taken, so that its
  /// checks cover every byte handed out. False when that fails.
  bool ReadToEnd() { return !source_->Checked() || textio::ReadToEnd(*source_); }

  /// The first unread byte.
  const char* Window() const { return window_->Begin(); }

  /// The next line, exactly as read, valid until the next call, with field 1 and field
  /// `column` found in it by field_starts: kLine, or what TakeLine says when there is none.
  Status NextLine(std::size_t column, LineFields* fields, std::string_view* line) {
    Status status;
    do {
      *fields = field_starts(Window(), column);
      status = TakeLine(fields->feed, line);
    } while (status == kMore);
    return status;
  }

  /// Takes the line from Window() through `feed`, the first line feed at or after Window().
  /// When that line feed is one of the unread bytes, hands out the line exactly as read, its
  /// line feed included, valid until the next call, and returns kLine. When it is the
  /// padding's, the input holds more of the line or ends: kMore after reading on (the unread
  /// bytes may have moved; the caller scans again from Window()); at the end of the input
  /// the last line, which then lacks a line feed but is followed by the padding's, or kEnd
  /// when there is none; kError once the source failed.
  Status TakeLine(const char* feed, std::string_view* line) {
    const char* const begin = window_->Begin();
    if (feed >= window_->End()) return ReadOn(line);
    *line = std::string_view(begin, static_cast<std::size_t>(feed + 1 - begin));
    window_->Consume(feed + 1);
    return kLine;
  }

 private:
  // TakeLine when no line feed follows the unread bytes.
  Status ReadOn(std::string_view* line);
  // Reads on until a line feed comes, or the input ends or fails, growing the window as
  // the line needs.
  Status ReadLineFeed();

  std::unique_ptr<textio::ByteSource> source_;
  // Held through a pointer so that readers can be moved, as a vector of tables needs.
  std::unique_ptr<textio::Window> window_;
  bool at_end_ = false;  // the source has no more bytes
};

}  // namespace runcompare

#endif  // RUNCOMPARE_LINE_READER_H_
