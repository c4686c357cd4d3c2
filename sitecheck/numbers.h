// Number syntax of the site checkers: decimal integers as "%d" reads them and plain
// decimals as "%lf" reads them, without inf, nan or hexadecimal. The readers of the site
// file and the report, the header count and the command line all read numbers through
// these two scanners.
#ifndef SITECHECK_NUMBERS_H_
#define SITECHECK_NUMBERS_H_

#include <charconv>
#include <cstddef>
#include <cstdint>

#include "textio/bytes.h"

namespace sitecheck {

/// Outcome of reading one number.
enum class ScanStatus {
  kOk,        // a number was read
  kNoNumber,  // the text at the read position is not a number
  kEnd,       // only white space (or nothing) was left before the end of the input
  kOverflow,  // a number was read but does not fit the type; it counts as unreadable
};

/// How many bytes past the place where a scan stopped it may have looked at: after a
/// decimal's digits, an exponent's letter, its sign and a digit. A reader trusts a scan
/// near the end of its data only when this many bytes of data follow that place.
constexpr std::ptrdiff_t kLookahead = 3;

/// The leading decimal integer of a NUL-terminated text (white space skipped, optional
/// sign), as a command-line argument or a header's count is read. False, with `*value`
/// untouched, when the text does not start with one. A value beyond the 32-bit range is
/// taken as the nearest 32-bit value.
bool ScanLeadingInt(const char* text, int32_t* value);

/// The double nearest to the plain decimal [begin, end) already checked by ScanDecimal
/// (optional '-', digits with an optional point, optional exponent), for the decimals that
/// std::from_chars finds out of range: false when it is too large for a double, else the
/// value strtod gives (zero or a subnormal for the tiny ones).
bool OutOfRangeDecimal(const char* begin, const char* end, double* value);

/// Reads a decimal integer at `*text` as "%d" does after its white space: an optional sign,
/// then digits. It stops at the first byte that cannot continue the number, so the text
/// must end in such a byte (a NUL, or a reader's padding). `*text` moves past what was
/// taken: on kNoNumber past the sign, so the offending byte is next. A value beyond the
/// 32-bit range is kOverflow, with `*value` the nearest 32-bit value.
inline ScanStatus ScanInt(const char** text, int32_t* value) {
  const char* p = *text;
  const bool negative = *p == '-';
  if (!textio::IsDigit(*p)) {  // most numbers have no sign
    p += negative || *p == '+';
    if (!textio::IsDigit(*p)) {
      *text = p;
      return ScanStatus::kNoNumber;
    }
  }
  const char* const digits = p;
  while (textio::IsDigit(*++p)) {
  }
  *text = p;
  // from_chars takes a '-' but no '+'.
  const auto result = std::from_chars(digits - negative, p, *value);
  if (result.ec == std::errc()) return ScanStatus::kOk;
  *value = negative ? INT32_MIN : INT32_MAX;
  return ScanStatus::kOverflow;
}

/// Reads a plain decimal at `*text` as "%lf" would after its white space, but without inf,
/// nan or hexadecimal: an optional sign, digits with an optional point (one digit at
/// least), then an exponent only when a digit follows its letter and sign. Like ScanInt it
/// stops at the first byte that cannot continue the number. On kNoNumber `*text` moves past
/// the characters that could still have begun a number (sign, point). A value too large
/// for a double is kOverflow.
inline ScanStatus ScanDecimal(const char** text, double* value) {
  const char* p = *text;
  const char* const start = p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  const char* const whole = p;
  while (textio::IsDigit(*p)) ++p;
  const char* const point = p;
  if (*p == '.') {
    while (textio::IsDigit(*++p)) {
    }
  }
  if (point == whole && p - point <= 1) {  // no digit on either side of the point
    *text = p;
    return ScanStatus::kNoNumber;
  }
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1 + (p[1] == '+' || p[1] == '-');
    if (textio::IsDigit(*q)) {
      for (p = q; textio::IsDigit(*p);) ++p;
    }
  }
  *text = p;
  // The syntax is checked, so from_chars (which takes a '-' but no '+') reads all of it.
  const char* const begin = negative ? start : whole;
  double result;
  if (std::from_chars(begin, p, result).ec != std::errc() &&
      !OutOfRangeDecimal(begin, p, &result)) {
    return ScanStatus::kOverflow;
  }
  *value = result;
  return ScanStatus::kOk;
}

}  // namespace sitecheck

#endif  // SITECHECK_NUMBERS_H_
