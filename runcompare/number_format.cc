// The number writers of zenthar's record lines. A number's text is built right-aligned in
// a scratch area pre-filled with blanks and copied out in one piece, blanks and all.
#include "runcompare/number_format.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace runcompare {

namespace {

// Two decimal digits of each number below 100.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the decimal digits of `value` so that they end just before `end`; returns their
// beginning.
char* DigitsBefore(char* end, std::uint64_t value) {
  while (value >= 100) {
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * (value % 100), 2);
    value /= 100;
  }
  if (value >= 10) {
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * value, 2);
  } else {
    *--end = static_cast<char>('0' + value);
  }
  return end;
}

// Scratch space for one number: its text is built right-aligned so that it ends at
// kTextEnd, on blanks, and then copied out in one piece of kPiece bytes.
constexpr int kPiece = 32;
constexpr int kTextEnd = 32;
struct Scratch {
  char bytes[kTextEnd + kPiece];
  Scratch() { std::memset(bytes, ' ', sizeof bytes); }
  char* End() { return bytes + kTextEnd; }
};

// Writes the text from `begin` to the scratch's end at `out`, right-aligned in `width`
// characters; `out` has room for max(width, kPiece) bytes.
char* WritePadded(char* out, Scratch* scratch, const char* begin, int width) {
  const int length = static_cast<int>(scratch->End() - begin);
  const int wide = width > length ? width : length;
  if (wide <= kTextEnd) {
    // The blanks before the text come with it, and the bytes past its end are written but
    // not counted.
    std::memcpy(out, scratch->End() - wide, kPiece);
    return out + wide;
  }
  std::memset(out, ' ', static_cast<std::size_t>(wide - length));
  std::memcpy(out + wide - length, begin, static_cast<std::size_t>(length));
  return out + wide;
}

// The digits and point of the value mantissa * 2^-shift, below 2^53 in magnitude, with
// `Precision` decimals, built before `end`; returns their beginning.
template <int Precision>
char* FixedBefore(char* end, std::uint64_t mantissa, int shift) {
  constexpr std::uint64_t kScale = Precision == 0   ? 1
                                   : Precision == 1 ? 10
                                   : Precision == 2 ? 100
                                                    : 1000;
  // The value times 10^Precision, rounded to the nearest integer and on an exact tie to the
  // even one, as printf rounds. mantissa * 1000 stays below 2^63.
  std::uint64_t scaled = 0;
  if (shift == 0) {
    scaled = mantissa * kScale;
  } else if (shift < 64) {
    const std::uint64_t product = mantissa * kScale;
    scaled = product >> shift;
    const std::uint64_t rest = product & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    if (rest > half || (rest == half && (scaled & 1) != 0)) ++scaled;
  }  // with a shift of 64 or more the product is below half of 2^shift: 0
  char* begin = end;
  if (Precision > 0) {
    std::uint64_t decimals = scaled % kScale;
    for (int i = 0; i < Precision; ++i) {
      *--begin = static_cast<char>('0' + decimals % 10);
      decimals /= 10;
    }
    *--begin = '.';
  }
  return DigitsBefore(begin, scaled / kScale);
}

// What printf writes, cut to the `room` that the caller has.
char* WriteWithPrintf(char* out, std::size_t room, int length) {
  if (length < 0) return out;
  return out + std::min(static_cast<std::size_t>(length), room - 1);
}

}  // namespace

char* WriteFixed(char* out, double value, int width, int precision) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  // Finite and below 2^53 in magnitude, so the value is m * 2^-shift with m below 2^53 and
  // a shift of at least 0 (the biased exponent at most 1075).
  if (precision < 0 || precision > 3 || biased > 1075 || width < 0) {
    const std::size_t room = FixedTextRoom(width, precision);
    return WriteWithPrintf(out, room, std::snprintf(out, room, "%*.*f", width, precision, value));
  }
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int shift = 1074;  // for subnormal numbers: value = mantissa * 2^-1074
  if (biased != 0) {
    mantissa |= std::uint64_t{1} << 52;
    shift = 1075 - biased;
  }
  Scratch scratch;
  char* begin;
  switch (precision) {
    case 0:
      begin = FixedBefore<0>(scratch.End(), mantissa, shift);
      break;
    case 1:
      begin = FixedBefore<1>(scratch.End(), mantissa, shift);
      break;
    case 2:
      begin = FixedBefore<2>(scratch.End(), mantissa, shift);
      break;
    default:
      begin = FixedBefore<3>(scratch.End(), mantissa, shift);
      break;
  }
  if ((bits >> 63) != 0) *--begin = '-';  // negative values, -0.0 among them
  return WritePadded(out, &scratch, begin, width);
}

char* WriteInt(char* out, long long value, int width) {
  if (width < 0) {  // printf's left alignment, which no record line uses
    const std::size_t room = IntTextRoom(width);
    return WriteWithPrintf(out, room, std::snprintf(out, room, "%*lld", width, value));
  }
  Scratch scratch;
  const std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char* begin = DigitsBefore(scratch.End(), magnitude);
  if (value < 0) *--begin = '-';
  return WritePadded(out, &scratch, begin, width);
}

}  // namespace runcompare
