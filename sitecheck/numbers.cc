// The rare path of the decimal scanner: decimals beyond the range of a double.
#include "sitecheck/numbers.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace sitecheck {

bool ScanLeadingInt(const char* text, int32_t* value) {
  int32_t parsed = 0;
  text = textio::Portable::SkipSpace(text, text + std::strlen(text));
  const ScanStatus status = ScanInt(&text, &parsed);
  if (status != ScanStatus::kOk && status != ScanStatus::kOverflow) return false;
  *value = parsed;
  return true;
}

bool OutOfRangeDecimal(const char* begin, const char* end, double* value) {
  // from_chars leaves both the too large and the too small alone; strtod tells them apart
  // and rounds the too small to zero or a subnormal as "%lf" does.
  *value = std::strtod(std::string(begin, end).c_str(), nullptr);
  return !std::isinf(*value);
}

}  // namespace sitecheck
