// The writer of out.txt: whole lines gathered in a large buffer and written to a file
// descriptor in large blocks, each ending at a line break.
#ifndef RUNCOMPARE_LINE_WRITER_H_
#define RUNCOMPARE_LINE_WRITER_H_

#include <sys/types.h>
#include <sys/uio.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace runcompare {

/// Writes lines to a descriptor. The lines are gathered in a buffer, which goes out whenever
/// the next line does not fit in it; a line longer than the buffer goes out with what the
/// buffer holds. Every block goes out in one write(2) and ends at a line break, so a process
/// killed between two writes leaves whole lines; SIGINT, SIGTERM, SIGHUP and SIGQUIT wait,
/// blocked on the calling thread, while a block goes out. After a failed write nothing more is
/// written, and a block written in part is cut off the file again, so that it ends at a line
/// break.
class LineWriter {
 public:
  static constexpr std::size_t kDefaultBlockSize = 256 << 10;

  /// Writes to `descriptor`, which it owns, at its start, through a buffer of `block_size`
  /// bytes.
  explicit LineWriter(int descriptor, std::size_t block_size = kDefaultBlockSize);
  /// Writes what is left and closes the descriptor, unless Close() did.
  ~LineWriter() { Close(); }
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  /// Adds `line` (not empty), and a line feed when it does not end in one.
  void AppendLine(std::string_view line) {
    if (line.size() + 1 > size_ - used_) return AppendLongLine(line);
    std::memcpy(buffer_.get() + used_, line.data(), line.size());
    used_ += line.size();
    if (line.back() != '\n') buffer_[used_++] = '\n';
  }

  /// True once a write, or the close, failed; ErrorNumber() tells why (errno).
  bool Failed() const { return error_number_ != 0; }
  int ErrorNumber() const { return error_number_; }

  /// Writes what is left, closes the descriptor and tells whether every write and the
  /// close succeeded.
  bool Close();

 private:
  // AppendLine when the line does not fit in what is left of the buffer.
  void AppendLongLine(std::string_view line);
  void Flush();
  // Writes the `count` pieces at `pieces` as one block unless an earlier write failed.
  void WriteBlock(iovec* pieces, int count);
  void Fail(int error_number);

  int descriptor_;
  std::unique_ptr<char[]> buffer_;
  std::size_t size_;
  std::size_t used_ = 0;
  off_t committed_ = 0;  // bytes of the blocks written whole: the file ends at a line break
  int error_number_ = 0;
};

}  // namespace runcompare

#endif  // RUNCOMPARE_LINE_WRITER_H_
