// Buffered line reader over a stdio stream: large fread blocks, memchr for line feeds,
// lines handed out in place.
#ifndef RUNCOMPARE_LINE_READER_H_
#define RUNCOMPARE_LINE_READER_H_

#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

class LineReader {
 public:
  enum Status { kLine, kEnd, kError };

  static constexpr std::size_t kDefaultBlockSize = 256 << 10;

  /// Reads from `stream`, which stays the caller's to close. `block_size` is the size of
  /// the buffer and of each fread; the buffer grows when a line does not fit and keeps its
  /// size afterwards.
  explicit LineReader(FILE* stream, std::size_t block_size = kDefaultBlockSize);

  /// Hands out the next line exactly as read, its line feed included when it has one (only
  /// the last line of a stream can lack it), whatever its length. The view stays valid until
  /// the next call. kEnd at end of input (and on every later call); kError when the stream
  /// reports a read error before a whole line is read.
  Status ReadLine(std::string_view* line);

 private:
  FILE* stream_;
  std::vector<char> buf_;
  std::size_t begin_ = 0;  // first byte of the window not yet handed out
  std::size_t end_ = 0;    // one past the last valid byte in buf_
  bool at_end_ = false;
  bool failed_ = false;
};

#endif  // RUNCOMPARE_LINE_READER_H_
