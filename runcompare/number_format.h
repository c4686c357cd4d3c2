// The number writers of zenthar's record lines: printf's "%*.*f" and "%*lld" texts, written
// by hand for the values a record line holds, without printf's parsing of its format.
#ifndef RUNCOMPARE_NUMBER_FORMAT_H_
#define RUNCOMPARE_NUMBER_FORMAT_H_

#include <cstddef>

namespace runcompare {

/// The room WriteFixed needs for a value printed with `width` and `precision`: a double's
/// integer part has at most 309 digits, and one byte more is kept for printf's NUL.
constexpr std::size_t FixedTextRoom(int width, int precision) {
  const long long wide = width < 0 ? -static_cast<long long>(width) : width;
  const long long longest = 320LL + (precision > 0 ? precision : 6);
  return static_cast<std::size_t>(wide > longest ? wide : longest) + 1;
}

/// The room WriteInt needs for a number printed with `width`.
constexpr std::size_t IntTextRoom(int width) {
  const long long wide = width < 0 ? -static_cast<long long>(width) : width;
  return static_cast<std::size_t>(wide > 32 ? wide : 32) + 1;
}

/// Writes `value` at `out` exactly as printf's "%*.*f" writes it with `width` and
/// `precision` (right-aligned, "-0.000" for small negative values, "inf" and "nan" as printf
/// spells them; no terminating NUL) and returns the end of the text. `out` must have room
/// for FixedTextRoom(width, precision) bytes, some of which may be written past the end
/// of the text. Finite values below 2^53, with a width of at least 0 and a precision of at
/// most 3, are converted with integer arithmetic; the rest with printf.
char* WriteFixed(char* out, double value, int width, int precision);

/// Writes `value` at `out` exactly as printf's "%*lld" writes it with `width` (no NUL) and
/// returns the end of the text; `out` must have room for IntTextRoom(width) bytes, some
/// of which may be written past the end of the text.
char* WriteInt(char* out, long long value, int width);

}  // namespace runcompare

#endif  // RUNCOMPARE_NUMBER_FORMAT_H_
