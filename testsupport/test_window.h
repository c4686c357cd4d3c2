// For the scanners' tests: a text in a padded window, as a line reader holds what it read.
// The window is allocated to size, so a read past its padding is an address fault under the
// sanitizers.
#ifndef TESTSUPPORT_TEST_WINDOW_H_
#define TESTSUPPORT_TEST_WINDOW_H_

#include <cstring>
#include <string_view>

#include "textio/padded_buffer.h"

namespace runcompare {

class TestWindow {
 public:
  explicit TestWindow(std::string_view text) : buffer_(text.size()) {
    if (!text.empty()) std::memcpy(buffer_.Data(), text.data(), text.size());
    buffer_.PadAt(text.size());
  }
  const char* Data() const { return buffer_.Data(); }

 private:
  textio::PaddedBuffer buffer_;
};

}  // namespace runcompare

#endif  // TESTSUPPORT_TEST_WINDOW_H_
