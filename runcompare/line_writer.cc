// The writer of out.txt.
#include "runcompare/line_writer.h"

#include <unistd.h>

#include <cerrno>

namespace runcompare {

LineWriter::LineWriter(int descriptor, std::size_t block_size)
    : descriptor_(descriptor),
      buffer_(new char[block_size > 1 ? block_size : 2]),
      size_(block_size > 1 ? block_size : 2) {}

void LineWriter::append_long_line(std::string_view line) {
  flush();
  if (line.size() + 1 <= size_) return append_line(line);
  write_all(line.data(), line.size());
  if (line.back() != '\n') write_all("\n", 1);
}

void LineWriter::flush() {
  write_all(buffer_.get(), used_);
  used_ = 0;
}

void LineWriter::write_all(const char* data, std::size_t size) {
  while (size > 0 && !failed_) {
    const ssize_t written = write(descriptor_, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      failed_ = true;
      return;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

bool LineWriter::close() {
  if (descriptor_ < 0) return !failed_;
  flush();
  if (::close(descriptor_) != 0) failed_ = true;
  descriptor_ = -1;
  return !failed_;
}

}  // namespace runcompare
