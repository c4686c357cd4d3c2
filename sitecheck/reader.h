// Buffered reader shared by every parser of the site checkers: line pieces, integers,
// single characters and plain decimal numbers, all taken from one window over the file.
#ifndef SITECHECK_READER_H_
#define SITECHECK_READER_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <memory>
#include <string>
#include <string_view>

namespace sitecheck {

/// Outcome of reading one number.
enum class ScanStatus {
  kOk,        // a number was read
  kNoNumber,  // the text at the read position is not a number
  kEnd,       // only white space (or nothing) was left before the end of the input
  kOverflow,  // a number was read but does not fit the type; it counts as unreadable
};

/// The longest line piece a line read hands out: a longer physical line comes in pieces.
constexpr size_t kMaxPiece = 999;

/// True for the six white-space characters of the C locale.
inline bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline bool IsDigit(int c) { return c >= '0' && c <= '9'; }

/// The first character at or after `p` (and before `end`) that is not white space. Runs of
/// blanks, common in aligned columns, are passed over eight at a time.
inline const char* SkipWhiteSpace(const char* p, const char* end) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  while (end - p >= 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    const uint64_t notBlank = word ^ 0x2020202020202020ull;
    if (notBlank != 0) {
      p += __builtin_ctzll(notBlank) >> 3;  // blanks before the first other byte
      break;
    }
    p += 8;
  }
#endif
  while (p < end && IsSpace(*p)) ++p;
  return p;
}

/// Powers of ten from 1e0 to 1e22: all exact as doubles.
extern const double kExactPowersOfTen[23];

/// Reads a plain decimal of at most 15 digits with an optional point and no exponent,
/// advancing `*p` past it: then one division of two exact values gives the correctly
/// rounded double. False, with `*p` unchanged, for anything else, which the general scanner
/// then handles. At least 21 characters must follow `*p`.
inline bool ScanShortDecimal(const char** p, double* value) {
  const char* q = *p + (**p == '-' || **p == '+');
  uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  for (; digits < 16 && IsDigit(*q); ++digits) mantissa = mantissa * 10 + (*q++ - '0');
  if (*q == '.') {
    for (++q; digits < 16 && IsDigit(*q); ++digits, ++decimals)
      mantissa = mantissa * 10 + (*q++ - '0');
  }
  if (digits == 0 || digits > 15 || IsDigit(*q) || *q == 'e' || *q == 'E' || *q == '.') {
    return false;
  }
  const double result = static_cast<double>(mantissa) / kExactPowersOfTen[decimals];
  *value = **p == '-' ? -result : result;
  *p = q;
  return true;
}

/// The first line feed in `text[0, size)`, or null. Most lines looked for are short, so
/// the first 32 bytes are tried in two 16-byte steps before the library search.
inline const char* FindNewline(const char* text, size_t size) {
#if defined(__SSE2__)
  if (size >= 32) {
    const __m128i newline = _mm_set1_epi8('\n');
    for (size_t at = 0; at < 32; at += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
      const int found = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, newline));
      if (found != 0) return text + at + __builtin_ctz(found);
    }
    return static_cast<const char*>(std::memchr(text + 32, '\n', size - 32));
  }
#endif
  return static_cast<const char*>(std::memchr(text, '\n', size));
}

/// Reads an integer of at most nine digits (after an optional sign) that ends before `end`,
/// advancing `*p` past it. False, with `*p` unchanged, for anything else, which the general
/// scanner then handles. At least 12 characters must follow `*p`.
inline bool ScanShortInt(const char** p, int32_t* value) {
  const char* q = *p + (**p == '-' || **p == '+');
  if (!IsDigit(*q)) return false;
  uint32_t magnitude = *q++ - '0';
  for (int digits = 1; digits < 9 && IsDigit(*q); ++digits)
    magnitude = magnitude * 10 + (*q++ - '0');
  if (IsDigit(*q)) return false;
  *value = **p == '-' ? -static_cast<int32_t>(magnitude) : static_cast<int32_t>(magnitude);
  *p = q;
  return true;
}

/// Reads a decimal integer from the start of `text`: white space skipped, optional sign,
/// digits. `*used` is the number of characters taken, white space and sign included, even
/// when no digit follows. Values beyond the 32-bit range give kOverflow with `*value` set to
/// the nearest 32-bit value.
ScanStatus ScanIntText(std::string_view text, int32_t* value, size_t* used);

/// Converts plain decimal text (optional sign, digits with an optional point, optional
/// exponent; already checked to have that form) to the nearest double. Values too large for
/// a double give infinity.
double DecimalToDouble(std::string_view text);

/// Reads one file forward through a large buffer. Carriage returns that stand right before
/// a line feed are dropped, so files with CR LF line ends read exactly like files with LF.
/// Every read takes from the same position, so line reads and number reads interleave.
class Reader {
 public:
  /// `file` stays owned by the caller; the reader only reads from it.
  explicit Reader(FILE* file, size_t buffer_size = 256 << 10);
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  /// Reads the next line piece: up to and including the next line feed, but at most
  /// `max_len` (1..kMaxPiece) characters. False, with `*piece` untouched, when the input is
  /// at its end. The view stays valid until the next call on this reader.
  bool ReadPiece(size_t max_len, std::string_view* piece) {
    size_t avail = end_ - pos_;
    if (avail < max_len && (avail = Ensure(max_len)) == 0) return false;
    size_t len = avail < max_len ? avail : max_len;
    const char* start = buf_.get() + pos_;
    const char* newline = FindNewline(start, len);
    if (newline != nullptr) len = newline - start + 1;
    *piece = std::string_view(start, len);
    pos_ += len;
    return true;
  }

  /// Like "%d" of scanf: skips white space (line breaks included), then reads an optional
  /// sign and digits. On kNoNumber the sign, if any, is consumed and the offending character
  /// is left unread; on kOverflow all the digits are consumed and `*value` is set to the
  /// nearest 32-bit value.
  ScanStatus ScanInt(int32_t* value) {
    const char* p = SkipWhiteSpace(buf_.get() + pos_, buf_.get() + end_);
    pos_ = p - buf_.get();
    if (buf_.get() + end_ - p > 12 && ScanShortInt(&p, value)) {
      pos_ = p - buf_.get();
      return ScanStatus::kOk;
    }
    return ScanIntSlow(value);
  }

  /// Reads `count` integers as ScanInt does, handing each to `take(i, value)`, i from 0.
  /// Returns how many were read; when fewer than `count`, `*status` tells why.
  template <typename Take>
  int32_t ScanInts(int32_t count, Take take, ScanStatus* status) {
    int32_t i = 0;
    while (i < count) {
      // Well inside the window the position stays in a register from number to number.
      const char* p = buf_.get() + pos_;
      const char* const end = buf_.get() + end_;
      int32_t value;
      while (i < count && end - p > 12) {
        // Values are mostly one blank apart: a plain loop beats the word-wise skip here.
        const char* q = p;
        while (q < end && IsSpace(*q)) ++q;
        if (end - q <= 12 || !ScanShortInt(&q, &value)) break;
        take(i++, value);
        p = q;
      }
      pos_ = p - buf_.get();
      if (i == count) break;
      ScanStatus one = ScanInt(&value);
      if (one != ScanStatus::kOk) {
        *status = one;
        return i;
      }
      take(i++, value);
    }
    *status = ScanStatus::kOk;
    return i;
  }

  /// Skips white space, line breaks included.
  void SkipSpace() {
    pos_ = SkipWhiteSpace(buf_.get() + pos_, buf_.get() + end_) - buf_.get();
    if (pos_ == end_) SkipSpaceSlow();
  }

  /// Reads one character, whatever it is. False at end of input.
  bool ReadChar(char* c) {
    if (pos_ == end_ && Ensure(1) == 0) return false;
    *c = buf_[pos_++];
    return true;
  }

  /// Like "%lf" of scanf, but plain decimal only: skips white space, then reads the longest
  /// beginning that forms a decimal number (no inf, nan or hexadecimal). On kNoNumber the
  /// characters that could still have begun a number (sign, point) are consumed and the
  /// first one that could not is left unread. A value too large for a double is kOverflow.
  ScanStatus ScanDouble(double* value) {
    const char* p = SkipWhiteSpace(buf_.get() + pos_, buf_.get() + end_);
    pos_ = p - buf_.get();
    if (buf_.get() + end_ - p > 20 && ScanShortDecimal(&p, value)) {
      pos_ = p - buf_.get();
      return ScanStatus::kOk;
    }
    return ScanDoubleSlow(value);
  }

  /// Reads one entry of a list of predicted sites as "%d %c%lf" would (an integer, white
  /// space, any one character, a plain decimal number), then the rest of its line as a
  /// piece, which is discarded. False as soon as an item cannot be read; what the items
  /// before it consumed is gone, and the character at which reading failed stays unread.
  bool ScanEntry(int32_t* site, char* residue, double* probability) {
    // Fast path: everything, up to the end of the rest of the line, well inside the window.
    const char* const end = buf_.get() + end_;
    const char* p = SkipWhiteSpace(buf_.get() + pos_, end);
    if (end - p > 12 && ScanShortInt(&p, site)) {
      p = SkipWhiteSpace(p, end);
      if (end - p > 1) {
        const char* q = SkipWhiteSpace(p + 1, end);
        if (end - q > 20 && ScanShortDecimal(&q, probability) &&
            static_cast<size_t>(end - q) >= kMaxPiece) {
          *residue = *p;
          const char* newline = FindNewline(q, kMaxPiece);
          pos_ = (newline != nullptr ? newline + 1 : q + kMaxPiece) - buf_.get();
          return true;
        }
      }
    }
    // Near the end of the window or of the file, or anything unusual: item by item.
    if (ScanInt(site) != ScanStatus::kOk) return false;
    SkipSpace();
    if (!ReadChar(residue)) return false;
    if (ScanDouble(probability) != ScanStatus::kOk) return false;
    std::string_view rest;
    ReadPiece(kMaxPiece, &rest);
    return true;
  }

  /// Moves past every line piece up to and including the first one that contains `text`,
  /// exactly as repeated ReadPiece(kMaxPiece) calls followed by a search of each piece
  /// would. Returns that piece, or false when the input ends first.
  bool SkipToPieceWith(std::string_view text, std::string_view* piece);

  /// True once reading the file failed (a read error, not the end of the file).
  bool failed() const { return failed_; }

 private:
  void SkipSpaceSlow();
  ScanStatus ScanIntSlow(int32_t* value);
  ScanStatus ScanDoubleSlow(double* value);

  // Makes at least `want` unread bytes available in the window unless the input ends
  // first. Returns the number available.
  size_t Ensure(size_t want);
  // Moves the unread bytes to the front and reads more. False when nothing more came.
  bool Fill();
  // Drops each CR that precedes an LF in buf_[from, end_), holding back a final CR
  // whose follower has not been read yet.
  void FoldCrLf(size_t from);

  FILE* file_;
  size_t capacity_;
  std::unique_ptr<char[]> buf_;
  size_t pos_ = 0;        // First unread byte in buf_.
  size_t end_ = 0;        // One past the last valid byte in buf_.
  bool held_cr_ = false;  // A CR read from the file waits at buf_[end_] for its follower.
  bool eof_ = false;
  bool failed_ = false;
  std::string number_;  // Text of the number being scanned, reused.
};

}  // namespace sitecheck

#endif  // SITECHECK_READER_H_
