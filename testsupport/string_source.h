// Byte sources over a text held in memory, for the tests and the fuzz targets: they hand
// the text out in reads of at most `chunk` bytes, so a test can put a read's end anywhere.
#ifndef TESTSUPPORT_STRING_SOURCE_H_
#define TESTSUPPORT_STRING_SOURCE_H_

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "textio/byte_source.h"

namespace textio {

class StringSource : public ByteSource {
 public:
  explicit StringSource(std::string text, size_t chunk = static_cast<size_t>(-1))
      : text_(std::move(text)), chunk_(chunk > 0 ? chunk : 1) {}
  size_t Read(char* into, size_t size) override {
    const size_t count = std::min({size, chunk_, text_.size() - at_});
    std::memcpy(into, text_.data() + at_, count);
    at_ += count;
    return count;
  }

 private:
  std::string text_;
  size_t chunk_;
  size_t at_ = 0;
};

/// A text that ends in a read error (EIO) where it would end.
class FailingSource : public StringSource {
 public:
  using StringSource::StringSource;
  size_t Read(char* into, size_t size) override {
    const size_t count = StringSource::Read(into, size);
    if (count == 0) Fail(EIO);
    return count;
  }
};

}  // namespace textio

#endif  // TESTSUPPORT_STRING_SOURCE_H_
