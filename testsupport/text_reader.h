// A checkers' reader over a text held in memory, for the tests: a small window and short
// reads put every window edge and refill where a test wants it.
#ifndef TESTSUPPORT_TEXT_READER_H_
#define TESTSUPPORT_TEXT_READER_H_

#include <string>
#include <utility>

#include "sitecheck/reader.h"
#include "testsupport/string_source.h"

namespace sitecheck {

struct TextReader {
  explicit TextReader(std::string text, size_t capacity = 256 << 10,
                      size_t chunk = static_cast<size_t>(-1))
      : source(std::move(text), chunk), reader(source, capacity) {}
  Reader& operator*() { return reader; }
  Reader* operator->() { return &reader; }

  textio::StringSource source;
  Reader reader;
};

}  // namespace sitecheck

#endif  // TESTSUPPORT_TEXT_READER_H_
