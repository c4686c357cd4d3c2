// Number syntax of the site checkers: decimal integers as "%d" reads them and plain
// decimals as "%lf" reads them, without inf, nan or hexadecimal. The readers of the site
// file and the report, the header count and the command line all read numbers through
// these two scanners.
#ifndef SITECHECK_NUMBERS_H_
#define SITECHECK_NUMBERS_H_

#include <cmath>
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

/// Powers of ten from 1e0 to 1e22: all exact as doubles.
extern const double kExactPowersOfTen[23];

/// The double nearest to [begin, end), a plain decimal already checked by ScanDecimal
/// (optional '-', digits with an optional point, optional exponent), for the decimals that
/// ScanDecimal's short path leaves; infinity when it is too large.
double DecimalToDouble(const char* begin, const char* end);

/// The value of the digits [digits, end) with its sign, for ScanInt's runs of more than nine
/// digits: kOverflow, with the nearest 32-bit value, beyond the 32-bit range.
ScanStatus LongInt(const char* digits, const char* end, bool negative, int32_t* value);

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
  uint32_t magnitude = static_cast<uint32_t>(*p++ - '0');  // exact for up to nine digits
  while (textio::IsDigit(*p)) magnitude = magnitude * 10 + static_cast<uint32_t>(*p++ - '0');
  *text = p;
  if (p - digits > 9) return LongInt(digits, p, negative, value);
  *value = negative ? -static_cast<int32_t>(magnitude) : static_cast<int32_t>(magnitude);
  return ScanStatus::kOk;
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
  uint64_t mantissa = 0;  // exact while there are at most 15 digits
  const char* const whole = p;
  while (textio::IsDigit(*p)) mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
  const char* const point = p;
  ptrdiff_t decimals = 0;
  if (*p == '.') {
    for (++p; textio::IsDigit(*p);) mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
    decimals = p - point - 1;
  }
  const ptrdiff_t digits = (point - whole) + decimals;
  if (digits == 0) {
    *text = p;
    return ScanStatus::kNoNumber;
  }
  bool exponent = false;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1 + (p[1] == '+' || p[1] == '-');
    if (textio::IsDigit(*q)) {
      exponent = true;
      for (p = q; textio::IsDigit(*p);) ++p;
    }
  }
  *text = p;
  double result;
  if (!exponent && digits <= 15) {
    // Both numbers are exact doubles, so one division rounds correctly.
    result = static_cast<double>(mantissa) / kExactPowersOfTen[decimals];
    if (negative) result = -result;
  } else {
    result = DecimalToDouble(negative ? start : whole, p);  // from_chars takes no plus
  }
  if (std::isinf(result)) return ScanStatus::kOverflow;
  *value = result;
  return ScanStatus::kOk;
}

}  // namespace sitecheck

#endif  // SITECHECK_NUMBERS_H_
