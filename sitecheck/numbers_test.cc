// Tests of the checkers' two number scanners and the exact decimal conversion.
#include "sitecheck/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace sitecheck {
namespace {

TEST(NumbersTest, DecimalConversionIsCorrectlyRounded) {
  std::mt19937_64 random(7);
  const char* fixed[] = {"0.1",
                         "0.55",
                         "0.5500001",
                         "0.99",
                         "0.975",
                         "1.000",
                         "-0.0",
                         "9007199254740993",
                         "123456789012345678901234567890e-30",
                         "4.9e-324",
                         "2.2250738585072011e-308",
                         "0.30000000000000004",
                         "-1e400",
                         "1e-400"};
  for (const char* text : fixed) {
    EXPECT_EQ(DecimalToDouble(text, text + std::strlen(text)), std::strtod(text, nullptr)) << text;
  }
  for (int i = 0; i < 20000; ++i) {
    std::string text = std::to_string(random() % 100000000000000000ull);
    text.insert(random() % text.size(), ".");
    if (random() % 3 == 0) text += "e" + std::to_string(static_cast<int>(random() % 60) - 30);
    ASSERT_EQ(DecimalToDouble(text.data(), text.data() + text.size()),
              std::strtod(text.c_str(), nullptr))
        << text;
  }
}

TEST(NumbersTest, ScanIntReportsWhatItTook) {
  struct Case {
    const char* text;
    ScanStatus status;
    int32_t value;
    size_t used;
  } cases[] = {
      {"-42abc", ScanStatus::kOk, -42, 3},
      {"+x", ScanStatus::kNoNumber, 0, 1},  // the sign is taken, x left
      {"", ScanStatus::kNoNumber, 0, 0},
      {"99999999999999999999", ScanStatus::kOverflow, INT32_MAX, 20},
      {"-2147483649", ScanStatus::kOverflow, INT32_MIN, 11},
      {"-2147483648", ScanStatus::kOk, INT32_MIN, 11},
      {"2147483647", ScanStatus::kOk, INT32_MAX, 10},
      {"000000000000000000000000042", ScanStatus::kOk, 42, 27},
      {"999999999", ScanStatus::kOk, 999999999, 9},
  };
  for (const Case& c : cases) {
    const char* p = c.text;
    int32_t value = 0;
    EXPECT_EQ(ScanInt(&p, &value), c.status) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(static_cast<size_t>(p - c.text), c.used) << c.text;
  }
}

// The scanner against strtod on every beginning of decimal-looking texts: what it takes,
// where it stops and the value, bit for bit.
TEST(NumbersTest, ScanDecimalAgreesWithStrtodOnPlainDecimals) {
  std::mt19937 random(3);
  const std::string alphabet = "0123456789..-+eE q";
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int i = random() % 24; i > 0; --i) text += alphabet[random() % alphabet.size()];
    // The scanner takes a number after its white space, which strtod skips itself.
    const char* p = textio::Portable::SkipSpace(text.c_str(), text.c_str() + text.size());
    double value = -1;
    const ScanStatus status = ScanDecimal(&p, &value);
    char* end = nullptr;
    const double expected = std::strtod(text.c_str(), &end);
    if (status == ScanStatus::kOk) {
      ASSERT_EQ(p, end) << text;
      ASSERT_EQ(value, expected) << text;
    } else if (status == ScanStatus::kOverflow) {
      ASSERT_TRUE(std::isinf(expected)) << text;
    } else {
      ASSERT_EQ(end, text.c_str()) << text;  // strtod finds no number either
    }
  }
}

}  // namespace
}  // namespace sitecheck
