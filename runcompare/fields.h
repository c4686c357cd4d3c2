// The field finder of zenthar: where a line's first field and its log-likelihood field
// begin, and where the line ends, found in one pass over a reader's padded window.
#ifndef RUNCOMPARE_FIELDS_H_
#define RUNCOMPARE_FIELDS_H_

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "textio/bytes.h"

namespace runcompare {

/// Where the fields that a record needs are in a line, as field_starts finds them.
struct LineFields {
  const char* first;   // field 1, when count is at least 1
  const char* wanted;  // the field asked for, when count reaches it
  const char* feed;    // the line feed that ends the line
  std::size_t count;   // fields found, counting no further than the field asked for
};

/// Finds field 1, field `column` (1-based, at least 1) and the line feed that ends the line
/// that begins at `line`, in a reader's padded window: the scan ends at the first line feed,
/// the padding's at the latest. Fields are separated by the six white-space characters of
/// textio::IsSpace; NUL and the bytes 0x80 to 0xFF belong to fields. The fields after field
/// `column` are not looked at, only passed over to the line feed.
///
/// The scan takes 64 bytes at a time with the byte primitives of form `Bytes` (see
/// textio/bytes.h), reading up to 63 bytes past the line feed, which the padding allows.
template <class Bytes>
LineFields FieldStartsWith(const char* line, std::size_t column);

/// FieldStartsWith in the forms the program runs: Fast, and Avx2 where the processor has
/// it (only to be called when textio::HaveAvx2() is true).
LineFields FieldStartsFast(const char* line, std::size_t column);
#if TEXTIO_HAVE_SSE2
LineFields FieldStartsAvx2(const char* line, std::size_t column);
#endif

using FieldScan = LineFields (*)(const char* line, std::size_t column);

/// The form of the scan that suits the processor, chosen once, when the program starts.
extern const FieldScan kFieldStartsForProcessor;

/// FieldStartsWith in the form that suits the processor.
inline LineFields field_starts(const char* line, std::size_t column) {
  return kFieldStartsForProcessor(line, column);
}

/// True when the fields at `a` and `b`, each inside a padded window, are the same text
/// followed by the same white-space character. Fields of 16 or more characters are never
/// reported the same. Equal fields scan to equal numbers, so a caller can take a number
/// already scanned instead of scanning again.
inline bool SameField(const char* a, const char* b) { return textio::Fast::SameWord16(a, b); }

template <class Bytes>
LineFields FieldStartsWith(const char* line, std::size_t column) {
  // Column 0 would make the count of fields to skip below wrap around.
  assert(column >= 1);
  LineFields fields{nullptr, nullptr, nullptr, 0};
  std::uint64_t after_space = 1;  // so that a field can begin at the line's first byte
  for (const char* block = line;; block += 64) {
    const textio::BlockMasks masks = Bytes::Masks64(block);
    // Fields begin at bytes that are not white space after one that is; only those before
    // the first line feed count (all of them when there is none).
    std::uint64_t begins = ~masks.space & ((masks.space << 1) | after_space);
    begins &= (masks.feed & (0 - masks.feed)) - 1;
    if (begins != 0) {
      if (fields.count == 0) fields.first = block + __builtin_ctzll(begins);
      const std::size_t here = Bytes::CountBits(begins);
      if (fields.count + here >= column) {
        for (std::size_t skip = column - fields.count - 1; skip > 0; --skip) begins &= begins - 1;
        fields.wanted = block + __builtin_ctzll(begins);
        fields.count = column;
        // The rest of the line is passed over a block at a time, by its line feeds only.
        std::uint64_t feeds = masks.feed;
        while (feeds == 0) {
          block += 64;
          feeds = Bytes::Masks64(block).feed;
        }
        fields.feed = block + __builtin_ctzll(feeds);
        return fields;
      }
      fields.count += here;
    }
    if (masks.feed != 0) {
      fields.feed = block + __builtin_ctzll(masks.feed);
      return fields;
    }
    after_space = masks.space >> 63;
  }
}

}  // namespace runcompare

#endif  // RUNCOMPARE_FIELDS_H_
