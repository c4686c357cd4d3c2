// The number writers of zenthar's record lines. std::to_chars writes the text as printf
// would in the C locale; the width's blanks are added here.
#include "runcompare/number_format.h"

#include <charconv>
#include <cstring>

namespace runcompare {

namespace {

// Aligns the text [out, end) in `width` characters as printf does: on the right, or on the
// left for a negative width; returns the new end.
char* pad(char* out, char* end, int width) {
  const long long length = end - out;
  const long long wide = width < 0 ? -static_cast<long long>(width) : width;
  if (wide <= length) return end;
  const std::size_t blanks = static_cast<std::size_t>(wide - length);
  if (width > 0) {
    std::memmove(out + blanks, out, static_cast<std::size_t>(length));
    std::memset(out, ' ', blanks);
  } else {
    std::memset(end, ' ', blanks);
  }
  return out + wide;
}

}  // namespace

char* write_fixed(char* out, double value, int width, int precision) {
  // printf takes a negative precision as none given: six decimals.
  char* const end = std::to_chars(out, out + fixed_text_room(width, precision), value,
                                  std::chars_format::fixed, precision < 0 ? 6 : precision)
                        .ptr;
  return pad(out, end, width);
}

char* write_int(char* out, long long value, int width) {
  return pad(out, std::to_chars(out, out + int_text_room(width), value).ptr, width);
}

}  // namespace runcompare
