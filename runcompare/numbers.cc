// The number syntax of zenthar. Plain decimals of at most 19 digits are converted exactly
// by hand; std::from_chars reads the other decimals and the infinities, and strtod is left
// hexadecimal fields and values beyond the range of a double.
#include "runcompare/numbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "textio/bytes.h"

namespace runcompare {

namespace {

// Exact powers of ten: every one up to 1e22 is a double without rounding.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

constexpr std::uint64_t kPowersOfTenInt[] = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000, 10000000000};

// Reads the decimal digits at the beginning of the eight bytes at `text` (all of which must
// be readable) at once: returns how many there are (0 to 8) and their value.
inline unsigned EightDigits(const char* text, std::uint64_t* value) {
  std::uint64_t chunk;
  std::memcpy(&chunk, text, sizeof chunk);  // the first character in the lowest byte
  std::uint64_t digits = chunk - 0x3030303030303030u;
  // The high bit of a byte is set when it is below '0' or above '9'; bytes before the first
  // such byte are digits, so no borrow or carry reaches it.
  const std::uint64_t other = ((chunk + 0x4646464646464646u) | digits) & 0x8080808080808080u;
  const unsigned count = other != 0 ? static_cast<unsigned>(__builtin_ctzll(other)) >> 3 : 8;
  if (count == 0) {
    *value = 0;
    return 0;
  }
  // Keep the digits' bytes, moved to the top; the bytes below become leading zeros.
  digits <<= 64 - 8 * count;
  digits = digits * 10 + (digits >> 8);  // pairs of digits
  digits = (((digits & 0x000000FF000000FFu) * 0x000F424000000064u) +
            (((digits >> 16) & 0x000000FF000000FFu) * 0x0000271000000001u)) >>
           32;
  *value = static_cast<std::uint32_t>(digits);
  return count;
}

// The digits of a plain decimal: integer digits, and fraction digits after a point.
struct Decimal {
  std::uint64_t significand;  // all its digits as one integer, when digits is at most 19
  unsigned digits;            // integer and fraction digits; more than 19 do not fit
  unsigned fraction;          // fraction digits
  const char* end;            // the first character after them
};

// Reads a run of decimal digits at `*text`, appending them to `*significand`, and moves
// `*text` past it; returns the number of digits so far, or more than 19 once they no
// longer fit, in which case `*significand` is unspecified.
inline unsigned DigitRun(const char** text, std::uint64_t* significand, unsigned before) {
  unsigned total = before;
  for (;;) {
    std::uint64_t value;
    const unsigned count = EightDigits(*text, &value);
    *text += count;
    total += count;
    if (total > 19) return total;
    *significand = *significand * kPowersOfTenInt[count] + value;
    if (count < 8) return total;
  }
}

// The digits at `p`, however many there are on either side of the point.
Decimal ReadLongDecimal(const char* p) {
  Decimal decimal{0, 0, 0, p};
  decimal.digits = DigitRun(&p, &decimal.significand, 0);
  if (*p == '.' && decimal.digits <= 19) {
    ++p;
    const unsigned before = decimal.digits;
    decimal.digits = DigitRun(&p, &decimal.significand, before);
    decimal.fraction = decimal.digits - before;
  }
  decimal.end = p;
  return decimal;
}

// The digits at `p`. The usual case, fewer than eight digits on either side of the point,
// is read in a straight line: its significand stays below 10^14.
inline Decimal ReadDecimal(const char* p) {
  std::uint64_t integer;
  const unsigned count = EightDigits(p, &integer);
  if (count < 8) {
    if (p[count] != '.') return {integer, count, 0, p + count};
    std::uint64_t decimals;
    const unsigned fraction = EightDigits(p + count + 1, &decimals);
    if (fraction < 8) {
      return {integer * kPowersOfTenInt[fraction] + decimals, count + fraction, fraction,
              p + count + 1 + fraction};
    }
  }
  return ReadLongDecimal(p);
}

// The fields that the straight path of ScanFieldDouble leaves: exponents, hexadecimal,
// infinities, NaN, long significands, no number. Kept out of line, away from the short
// path's registers.
[[gnu::noinline]] bool ScanOtherDouble(const char* field, bool negative, double* value) {
  // from_chars takes no '+' and no hexadecimal prefix, and reads "nan" as strtod does, so
  // the sign is taken here and a NaN refused after it. The field ends in white space.
  const char* const body = field + (negative || *field == '+' ? 1 : 0);
  if (*body == '-' || *body == '+') return false;  // from_chars would take a second '-'
  const char* end = body;
  while (!textio::IsSpace(*end)) ++end;
  double magnitude;
  const std::from_chars_result result = std::from_chars(body, end, magnitude);
  const bool hexadecimal = *body == '0' && (body[1] | 0x20) == 'x';
  if (result.ec == std::errc() && !hexadecimal) {
    if (std::isnan(magnitude)) return false;
    *value = negative ? -magnitude : magnitude;
    return true;
  }
  if (result.ec == std::errc::invalid_argument) return false;
  // Hexadecimal, or beyond the range of a double (infinity, or zero and the subnormals):
  // strtod, in place, since no number goes on past white space.
  char* stop = nullptr;
  const double parsed = std::strtod(field, &stop);
  if (stop == field || std::isnan(parsed)) return false;
  *value = parsed;
  return true;
}

}  // namespace

bool ScanFieldDouble(const char* field, double* value) {
  // Sign, integer digits, fraction digits: when the significand is at most 2^53 and there
  // are at most 22 fraction digits, the significand and the power of ten are exact doubles
  // and one division rounds correctly. Reading eight bytes from any character of the field
  // stays within the white space and readable bytes that follow it.
  const bool negative = *field == '-';
  const Decimal decimal = ReadDecimal(field + (negative || *field == '+' ? 1 : 0));
  const char next = static_cast<char>(*decimal.end | 0x20);  // lower case for letters
  if (decimal.digits > 0 && decimal.digits <= 19 && next != 'e' && next != 'x' &&
      decimal.significand <= (std::uint64_t{1} << 53) && decimal.fraction <= 22) {
    double magnitude = static_cast<double>(decimal.significand);
    if (decimal.fraction > 0) magnitude /= kPowersOfTen[decimal.fraction];
    *value = negative ? -magnitude : magnitude;
    return true;
  }
  return ScanOtherDouble(field, negative, value);
}

bool ScanInt(const char* text, int* value) {
  const char* p = text;
  while (textio::IsSpace(*p)) ++p;
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  if (!textio::IsDigit(*p)) return false;
  const char* const digits = p;
  while (textio::IsDigit(*p)) ++p;
  // from_chars takes a '-' but no '+'; beyond int it leaves the value, which "%d" clamps.
  if (std::from_chars(digits - negative, p, *value).ec != std::errc()) {
    *value = negative ? INT_MIN : INT_MAX;
  }
  return true;
}

}  // namespace runcompare
