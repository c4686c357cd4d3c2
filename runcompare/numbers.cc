// The number syntax of zenthar: std::from_chars reads the decimals and the infinities;
// hexadecimal fields, and values beyond the range of a double, go to strtod.
#include "runcompare/numbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "textio/bytes.h"

namespace runcompare {

bool scan_field_double(const char* field, double* value) {
  // from_chars takes no '+' and no hexadecimal prefix, and reads "nan" as strtod does, so
  // the sign is taken here and a NaN refused after it. The field ends in white space.
  const bool negative = *field == '-';
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

bool scan_int(const char* text, int* value) {
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
