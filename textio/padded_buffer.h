// The window buffer of the readers: room for the data and kPadding bytes after it, taken
// from the allocator without being filled, so a large buffer costs only the bytes read
// into it.
#ifndef TEXTIO_PADDED_BUFFER_H_
#define TEXTIO_PADDED_BUFFER_H_

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "textio/bytes.h"

namespace textio {

class PaddedBuffer {
 public:
  /// A buffer of `capacity` bytes (at least 1) plus the padding; Data() is null when the
  /// memory could not be had.
  explicit PaddedBuffer(size_t capacity);
  ~PaddedBuffer() { std::free(data_); }
  PaddedBuffer(const PaddedBuffer&) = delete;
  PaddedBuffer& operator=(const PaddedBuffer&) = delete;

  char* Data() { return data_; }
  const char* Data() const { return data_; }
  size_t Capacity() const { return capacity_; }

  /// Grows the buffer to `capacity` bytes (plus the padding), keeping its contents; the
  /// data may move. False, with the buffer as it was, when the memory cannot be had.
  bool Grow(size_t capacity);

  /// Writes the padding after the first `end` bytes: a line feed, then NUL bytes.
  void PadAt(size_t end) {
    data_[end] = '\n';
    std::memset(data_ + end + 1, 0, kPadding - 1);
  }

 private:
  char* data_;
  size_t capacity_;
};

inline PaddedBuffer::PaddedBuffer(size_t capacity)
    : data_(static_cast<char*>(std::malloc((capacity > 0 ? capacity : 1) + kPadding))),
      capacity_(data_ != nullptr ? (capacity > 0 ? capacity : 1) : 0) {
  if (data_ != nullptr) PadAt(0);
}

inline bool PaddedBuffer::Grow(size_t capacity) {
  if (capacity <= capacity_) return true;
  if (capacity > static_cast<size_t>(-1) - kPadding) return false;
  char* grown = static_cast<char*>(std::realloc(data_, capacity + kPadding));
  if (grown == nullptr) return false;
  data_ = grown;
  capacity_ = capacity;
  return true;
}

}  // namespace textio

#endif  // TEXTIO_PADDED_BUFFER_H_
