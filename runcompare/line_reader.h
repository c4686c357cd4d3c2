// Buffered line reader over a stdio stream: large read blocks, memchr for line feeds,
// lines handed out in place.
#ifndef RUNCOMPARE_LINE_READER_H_
#define RUNCOMPARE_LINE_READER_H_

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

class LineReader {
 public:
  enum Status { kLine, kEnd, kError };

  static constexpr std::size_t kDefaultBlockSize = 256 << 10;

  /// Bytes that may be read past the end of a handed-out line (see ReadLine).
  static constexpr std::size_t kSlack = 64;

  /// Reads from `stream`, which stays the caller's to close and must not have been read
  /// from through stdio before (the reader reads its descriptor directly when it has one).
  /// `block_size` is the size of the buffer and of each read; the buffer grows when a line
  /// does not fit and keeps its size afterwards.
  explicit LineReader(FILE* stream, std::size_t block_size = kDefaultBlockSize);

  /// Hands out the next line exactly as read, its line feed included when it has one (only
  /// the last line of a stream can lack it), whatever its length. The view stays valid until
  /// the next call. kEnd at end of input (and on every later call); kError when the stream
  /// reports a read error before a whole line is read.
  ///
  /// For scanners that work a block at a time: the kSlack bytes after a handed-out line can
  /// be read (their values are unspecified), and a line without a line feed is followed by
  /// one, so a scan from any byte of a line meets a line feed at the line's end at the latest.
  Status ReadLine(std::string_view* line) {
    // Fast path: a whole line is waiting in the buffer.
    if (begin_ < end_) {
      const char* data = buf_.data();
      const void* feed = memchr(data + begin_, '\n', end_ - begin_);
      if (feed != nullptr) {
        std::size_t stop = static_cast<std::size_t>(static_cast<const char*>(feed) - data) + 1;
        *line = std::string_view(data + begin_, stop - begin_);
        begin_ = stop;
        return kLine;
      }
    }
    return ReadLineSlowly(line);
  }

  /// For callers that look for the line feed themselves, in one pass with their own scan:
  /// the unread bytes begin at Window(), and a line feed always follows them, with kSlack
  /// readable bytes after it.
  const char* Window() const { return buf_.data() + begin_; }

  /// Hands out the line from Window() through `feed`, the first line feed at or after
  /// Window(), as ReadLine would, when that line feed is one of the unread bytes. Otherwise
  /// (the line goes on past them, or the input is used up) returns false and leaves all as it
  /// was: ReadLine then reads on and hands out the line, which may have moved.
  bool TakeLine(const char* feed, std::string_view* line) {
    const char* data = buf_.data();
    const std::size_t stop = static_cast<std::size_t>(feed - data);
    if (stop >= end_) return false;
    *line = std::string_view(data + begin_, stop + 1 - begin_);
    begin_ = stop + 1;
    return true;
  }

 private:
  // Refills the buffer until a whole line (or the last one) is in it.
  Status ReadLineSlowly(std::string_view* line);
  // Reads up to `wanted` bytes to end_ and returns how many came; none at the end of input
  // (at_end_) or on an error (failed_).
  std::size_t Fill(std::size_t wanted);

  FILE* stream_;
  int descriptor_;         // the stream's descriptor, or -1 to read through stdio
  std::vector<char> buf_;  // capacity_ bytes of data, a line feed's place, kSlack of slack
  std::size_t capacity_;
  std::size_t begin_ = 0;  // first byte of the window not yet handed out
  std::size_t end_ = 0;    // one past the last valid byte in buf_
  bool at_end_ = false;
  bool failed_ = false;
};

#endif  // RUNCOMPARE_LINE_READER_H_
