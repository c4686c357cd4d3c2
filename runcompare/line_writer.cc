// The writer of out.txt.
#include "runcompare/line_writer.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>

namespace runcompare {

namespace {

// Passes over the first `done` bytes of the `*count` pieces at `*pieces`, and over the
// pieces then empty, up to the last piece.
void pass_over(std::size_t done, iovec** pieces, int* count) {
  for (;;) {
    iovec& piece = **pieces;
    const std::size_t here = std::min(done, piece.iov_len);
    piece.iov_base = static_cast<char*>(piece.iov_base) + here;
    piece.iov_len -= here;
    done -= here;
    if (piece.iov_len > 0 || *count == 1) return;
    ++*pieces;
    --*count;
  }
}

}  // namespace

LineWriter::LineWriter(int descriptor, std::size_t block_size)
    : descriptor_(descriptor),
      buffer_(new char[block_size > 1 ? block_size : 2]),
      size_(block_size > 1 ? block_size : 2) {}

void LineWriter::append_long_line(std::string_view line) {
  if (line.size() + 1 <= size_) {
    flush();
    return append_line(line);
  }
  // Longer than the buffer: the line goes out after what the buffer holds, with the line
  // feed it may lack, in the same write.
  char line_feed = '\n';
  iovec pieces[] = {{buffer_.get(), used_},
                    {const_cast<char*>(line.data()), line.size()},
                    {&line_feed, line.back() == '\n' ? 0u : 1u}};
  used_ = 0;
  write_block(pieces, 3);
}

void LineWriter::flush() {
  iovec block = {buffer_.get(), used_};
  used_ = 0;
  write_block(&block, 1);
}

void LineWriter::write_block(iovec* pieces, int count) {
  std::size_t left = 0;
  for (int i = 0; i < count; ++i) left += pieces[i].iov_len;
  if (left == 0 || failed()) return;
  const std::size_t block = left;
  pass_over(0, &pieces, &count);
  // A fatal signal arriving during a large write cuts it short, inside a line, and ends the
  // process before the file can be cut back. The signals that end a run from outside wait
  // until the block is written whole, or cut back, and act then.
  sigset_t ending, old_mask;
  sigemptyset(&ending);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&ending, signal);
  pthread_sigmask(SIG_BLOCK, &ending, &old_mask);
  while (left > 0 && !failed()) {
    const ssize_t written = writev(descriptor_, pieces, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      fail(written < 0 ? errno : EIO);
      break;
    }
    // Only a full disk or a signal cuts a write short; the rest goes in the next one.
    left -= static_cast<std::size_t>(written);
    pass_over(static_cast<std::size_t>(written), &pieces, &count);
  }
  if (!failed()) committed_ += static_cast<off_t>(block);
  pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
}

void LineWriter::fail(int error_number) {
  error_number_ = error_number;
  // A block written in part ends inside a line: the file is cut back to the end of the last
  // whole block.
  if (ftruncate(descriptor_, committed_) != 0) {
    // A device or a pipe cannot be cut; the failure is told all the same.
  }
}

bool LineWriter::close() {
  if (descriptor_ < 0) return !failed();
  flush();
  if (::close(descriptor_) != 0 && !failed()) error_number_ = errno;
  descriptor_ = -1;
  return !failed();
}

}  // namespace runcompare
