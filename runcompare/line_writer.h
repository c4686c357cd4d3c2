// The writer of out.txt: whole lines gathered in a large buffer and written to a file
// descriptor in large blocks.
#ifndef RUNCOMPARE_LINE_WRITER_H_
#define RUNCOMPARE_LINE_WRITER_H_

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace runcompare {

/// Writes lines to a descriptor. The lines are gathered in a buffer, which goes out whenever
/// the next line does not fit in it, so a block written ends at a line break; a line longer
/// than the buffer goes out on its own.
class LineWriter {
 public:
  static constexpr std::size_t kDefaultBlockSize = 256 << 10;

  /// Writes to `descriptor`, which it owns, through a buffer of `block_size` bytes.
  explicit LineWriter(int descriptor, std::size_t block_size = kDefaultBlockSize);
  /// Writes what is left and closes the descriptor, unless close() did.
  ~LineWriter() { close(); }
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  /// Adds `line` (not empty), and a line feed when it does not end in one.
  void append_line(std::string_view line) {
    const bool whole = line.back() == '\n';
    if (line.size() + 1 > size_ - used_) return append_long_line(line);
    std::memcpy(buffer_.get() + used_, line.data(), line.size());
    used_ += line.size();
    if (!whole) buffer_[used_++] = '\n';
  }

  /// Writes what is left, closes the descriptor and tells whether every write and the
  /// close succeeded.
  bool close();

 private:
  // append_line when the line does not fit in what is left of the buffer.
  void append_long_line(std::string_view line);
  void flush();
  // Writes `size` bytes at `data` unless an earlier write failed.
  void write_all(const char* data, std::size_t size);

  int descriptor_;
  std::unique_ptr<char[]> buffer_;
  std::size_t size_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

}  // namespace runcompare

#endif  // RUNCOMPARE_LINE_WRITER_H_
