// The parts of the number scanners that long numbers take: integers of more than nine
// digits, and the decimals that the short path of ScanDecimal leaves, both read by
// std::from_chars.
#include "sitecheck/numbers.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

namespace sitecheck {

const double kExactPowersOfTen[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool ScanLeadingInt(const char* text, int32_t* value) {
  int32_t parsed = 0;
  text = textio::Portable::SkipSpace(text, text + std::strlen(text));
  const ScanStatus status = ScanInt(&text, &parsed);
  if (status != ScanStatus::kOk && status != ScanStatus::kOverflow) return false;
  *value = parsed;
  return true;
}

ScanStatus LongInt(const char* digits, const char* end, bool negative, int32_t* value) {
  // from_chars takes the '-' before the digits, and leaves the value alone out of range.
  if (std::from_chars(digits - negative, end, *value).ec == std::errc()) return ScanStatus::kOk;
  *value = negative ? INT32_MIN : INT32_MAX;
  return ScanStatus::kOverflow;
}

double DecimalToDouble(const char* begin, const char* end) {
  double value;
  if (std::from_chars(begin, end, value).ec == std::errc()) return value;
  // Too large or too small for a double, which from_chars leaves alone: strtod gives the
  // infinity, or the zero or subnormal that "%lf" rounds to.
  return std::strtod(std::string(begin, end).c_str(), nullptr);
}

}  // namespace sitecheck
