// The reading window every reader keeps its bytes in: it is filled from a byte source,
// grows when the unread bytes fill it, keeps the padding after them, and hands them out
// in place until they are consumed.
#ifndef TEXTIO_WINDOW_H_
#define TEXTIO_WINDOW_H_

#include <cstddef>
#include <cstdint>

#include "textio/byte_source.h"
#include "textio/padded_buffer.h"

namespace textio {

class Window {
 public:
  /// What a Fill did.
  enum Fill {
    kRead,      ///< bytes came
    kEnd,       ///< the input is at its end (and so on every later fill)
    kError,     ///< reading failed: see the source (and so on every later fill)
    kFull,      ///< the unread bytes fill the window at its limit
    kNoMemory,  ///< the window could not grow
  };

  static constexpr size_t kNoLimit = static_cast<size_t>(-1) - kPadding;

  /// A window of `block` bytes (at least 1, at most `limit`), read `block` bytes at a time.
  /// When the unread bytes fill it, it grows by a block or by an eighth, whichever is more,
  /// so that it holds n unread bytes in about n plus a block; never past `limit` bytes.
  explicit Window(size_t block, size_t limit = kNoLimit);
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  /// False when the window could not be allocated: nothing can be read then.
  bool HasMemory() const { return buffer_.Data() != nullptr; }

  /// The unread bytes, from Begin() to End(), followed by kPadding readable bytes: a line
  /// feed, then NUL bytes.
  const char* Begin() const { return buffer_.Data() + begin_; }
  const char* End() const { return buffer_.Data() + end_; }
  size_t Unread() const { return end_ - begin_; }
  size_t Capacity() const { return buffer_.Capacity(); }

  /// Moves past the unread bytes before `upto` (Begin() to End()).
  void Consume(const char* upto) { begin_ = static_cast<size_t>(upto - buffer_.Data()); }

  /// Where Begin() stands in the input: the bytes consumed so far.
  uint64_t Offset() const { return dropped_ + begin_; }

  /// Reads once more from `source` after the unread bytes, which may move: they go to the
  /// front first, and the window grows when they fill it. Views into the window stay valid
  /// until a fill that returns kRead.
  Fill FillFrom(ByteSource& source);

 private:
  PaddedBuffer buffer_;
  size_t block_;
  size_t limit_;
  uint64_t dropped_ = 0;  // bytes moved out before the window's first byte
  size_t begin_ = 0;      // first unread byte
  size_t end_ = 0;        // one past the last byte read; the padding follows
  Fill last_ = kRead;     // kEnd or kError once the source has no more
};

}  // namespace textio

#endif  // TEXTIO_WINDOW_H_
