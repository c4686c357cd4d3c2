// The parts of the number scanners that long numbers take: integers of more than nine
// digits, and the exact conversion of decimals that the short path of ScanDecimal leaves.
#include "sitecheck/numbers.h"

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
  // Saturates past the 32-bit range: further digits only need consuming.
  constexpr uint64_t kSaturated = uint64_t{1} << 32;
  uint64_t magnitude = 0;
  for (const char* p = digits; p < end; ++p) {
    magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
    if (magnitude > kSaturated) magnitude = kSaturated;
  }
  const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
  if (magnitude > limit) {
    *value = negative ? INT32_MIN : INT32_MAX;
    return ScanStatus::kOverflow;
  }
  const int64_t signed_value = static_cast<int64_t>(magnitude);
  *value = static_cast<int32_t>(negative ? -signed_value : signed_value);
  return ScanStatus::kOk;
}

double DecimalToDouble(std::string_view text) {
  // At most 15 significant digits and a power of ten that is exact as a double make the
  // result one correctly rounded multiplication or division.
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint64_t mantissa = 0;
  int significant = 0;
  int scale = 0;  // decimal exponent correction from the digits after the point
  bool after_point = false;
  for (; i < text.size() && significant <= 15; ++i) {
    const char c = text[i];
    if (c == '.') {
      after_point = true;
      continue;
    }
    if (!textio::IsDigit(c)) break;
    if (significant > 0 || c != '0') {
      mantissa = mantissa * 10 + (c - '0');
      ++significant;
    }
    if (after_point) --scale;
  }
  if (significant <= 15) {
    int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
      ++i;
      bool exponent_negative = false;
      if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        exponent_negative = text[i++] == '-';
      }
      for (; i < text.size() && exponent < 100000; ++i) exponent = exponent * 10 + (text[i] - '0');
      if (exponent_negative) exponent = -exponent;
    }
    const int64_t power = exponent + scale;
    if (i == text.size() && mantissa == 0) return negative ? -0.0 : 0.0;
    if (i == text.size() && power >= -22 && power <= 22) {
      double value = static_cast<double>(mantissa);
      value = power < 0 ? value / kExactPowersOfTen[-power] : value * kExactPowersOfTen[power];
      return negative ? -value : value;
    }
  }
  return std::strtod(std::string(text).c_str(), nullptr);
}

}  // namespace sitecheck
