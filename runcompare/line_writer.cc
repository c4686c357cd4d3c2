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
void PassOver(std::size_t done, iovec** pieces, int* count) {
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

void LineWriter::AppendLongLine(std::string_view line) {
  if (line.size() + 1 <= size_) {
    Flush();
    return AppendLine(line);
  }
  // Longer than the buffer: the line goes out after what the buffer holds, with the line
  // feed it may lack, in the same write.
  char line_feed = '\n';
  iovec pieces[] = {{buffer_.get(), used_},
                    {const_cast<char*>(line.data()), line.size()},
                    {&line_feed, line.back() == '\n' ? 0u : 1u}};
  used_ = 0;
  WriteBlock(pieces, 3);
}

void LineWriter::Flush() {
  iovec block = {buffer_.get(), used_};
  used_ = 0;
  WriteBlock(&block, 1);
}

void LineWriter::WriteBlock(iovec* pieces, int count) {
  std::size_t left = 0;
  for (int i = 0; i < count; ++i) left += pieces[i].iov_len;
  if (left == 0 || Failed()) return;
  const std::size_t block = left;
  PassOver(0, &pieces, &count);
  // A fatal signal arriving during a large write cuts it short, inside a line, and ends the
  // process before the file can be cut back. The signals that end a run from outside wait
  // until the block is written whole, or cut back, and act then.
  sigset_t ending, old_mask;
  sigemptyset(&ending);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&ending, signal);
  pthread_sigmask(SIG_BLOCK, &ending, &old_mask);
  while (left > 0 && !Failed()) {
    const ssize_t written = writev(descriptor_, pieces, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      Fail(written < 0 ? errno : EIO);
      break;
    }
    // Only a full disk or a signal cuts a write short; the rest goes in the next one.
    left -= static_cast<std::size_t>(written);
    PassOver(static_cast<std::size_t>(written), &pieces, &count);
  }
  if (!Failed()) committed_ += static_cast<off_t>(block);
  pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
}

void LineWriter::Fail(int error_number) {
  error_number_ = error_number;
  // A block written in part ends inside a line: the file is cut back to the end of the last
  // whole block.
  if (ftruncate(descriptor_, committed_) != 0) {
    // A device or a pipe cannot be cut; the failure is told all the same.
  }
}

bool LineWriter::Close() {
  if (descriptor_ < 0) return !Failed();
  Flush();
  if (::close(descriptor_) != 0 && !Failed()) error_number_ = errno;
  descriptor_ = -1;
  return !Failed();
}

}  // namespace runcompare
