// The number scanners: fields read as "%lf" reads them, checked against strtod bit for bit,
// and the column argument read as "%d" reads it.
#include "runcompare/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "testsupport/test_window.h"

namespace runcompare {
namespace {

// The field at the start of `text` in a padded window, read with ScanFieldDouble.
double Scan(std::string_view text, double start = 99.0) {
  TestWindow window(text);
  double value = start;
  ScanFieldDouble(window.Data(), &value);
  return value;
}

TEST(ScanFieldDoubleTest, TakesLongestNumericBeginning) {
  EXPECT_EQ(Scan("-345.6"), -345.6);
  EXPECT_EQ(Scan("12abc"), 12.0);
  EXPECT_EQ(Scan("5.x"), 5.0);
  EXPECT_EQ(Scan(".5e-3"), 0.5e-3);
  EXPECT_EQ(Scan("+7E2"), 700.0);
  EXPECT_EQ(Scan("1e"), 1.0);
  EXPECT_EQ(Scan("1e+"), 1.0);
  EXPECT_EQ(Scan("-2.5e1x"), -25.0);
  EXPECT_EQ(Scan("3 4"), 3.0);
  EXPECT_EQ(Scan("0x10"), 16.0);
  EXPECT_EQ(Scan("inf"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(Scan("-Infinity"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(Scan("1e400"), std::numeric_limits<double>::infinity());
}

TEST(ScanFieldDoubleTest, CorrectlyRounded) {
  EXPECT_EQ(Scan("0.1"), 0.1);
  EXPECT_EQ(Scan("9007199254740993"), 9007199254740992.0);  // halfway: rounds to even
  EXPECT_EQ(Scan("2.2250738585072011e-308"), 2.2250738585072011e-308);
  EXPECT_EQ(Scan("4.9e-324"), std::numeric_limits<double>::denorm_min());
}

TEST(ScanFieldDoubleTest, NotANumberLeavesTheValue) {
  for (const char* text :
       {"", "abc", "-", "+", ".", "e5", "-.e1", "nan", "-nan", "nan(1)", "+-5", "--5"}) {
    TestWindow window(text);
    double value = 99.0;
    EXPECT_FALSE(ScanFieldDouble(window.Data(), &value)) << text;
    EXPECT_EQ(value, 99.0) << text;
  }
}

// A field that runs to the end of the window is read up to the padding and no further.
TEST(ScanFieldDoubleTest, NeverReadsPastThePadding) {
  EXPECT_EQ(Scan("123"), 123.0);
  EXPECT_EQ(Scan("12"), 12.0);
  EXPECT_EQ(Scan(std::string(399, '0') + "8"), 8.0);
  EXPECT_EQ(Scan(std::string(399, '0') + "8e0"), 8.0);
}

// What the scanner must give for `field`, followed by white space: what strtod gives on the
// field alone, with NaN taken as no number.
bool Model(const std::string& field, double* value) {
  char* end = nullptr;
  const double parsed = std::strtod(field.c_str(), &end);
  if (end == field.c_str() || std::isnan(parsed)) return false;
  *value = parsed;
  return true;
}

void ExpectLikeStrtod(const std::string& field, char after) {
  TestWindow window(field + after + "7");
  double want = 99.0, got = 99.0;
  const bool want_ok = Model(field, &want);
  EXPECT_EQ(ScanFieldDouble(window.Data(), &got), want_ok) << field;
  EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0) << field << " " << got << " " << want;
}

// Plain decimals are read without strtod when that is exact; every result must still be the
// one strtod gives, bit for bit, whatever white space ends the field.
TEST(ScanFieldDoubleTest, AgreesWithStrtodBitForBit) {
  std::vector<std::string> fields = {"0",
                                     "-0",
                                     "+0",
                                     "0.",
                                     ".0",
                                     ".",
                                     "-",
                                     "+",
                                     "-.",
                                     "5.",
                                     ".5",
                                     "-.5e1",
                                     "1e",
                                     "1e+",
                                     "1e5",
                                     "1E-5",
                                     "0x1p4",
                                     "0X10",
                                     "12x",
                                     "12abc",
                                     "inf",
                                     "-Infinity",
                                     "nan",
                                     "-nan(1)",
                                     "abc",
                                     "1.5.3",
                                     "--1",
                                     "+-1",
                                     "1-",
                                     "-13389.611",
                                     "-2448.283621",
                                     "1234567.1234567",
                                     "12345678.1",
                                     "1.12345678",
                                     "12345678901234567890",
                                     "1234567890123456789",
                                     "9007199254740993",
                                     "9007199254740992",
                                     "0.00000000000000000000001",
                                     "1.7976931348623157e308",
                                     "00000000000000000001.5",
                                     "00000000000000000000001.5",
                                     std::string("1\0"
                                                 "2",
                                                 3),
                                     "\x80",
                                     "7\xff",
                                     "0.000",
                                     "-0.0e5",
                                     "1e22",
                                     "1e23",
                                     "9.5e-22",
                                     "1e-23",
                                     "123456789012345678901",
                                     "0.30000000000000004",
                                     "-1018.239224",
                                     "1e-400",
                                     "2e308",
                                     "17E+2"};
  for (const std::string& field : fields) {
    for (char after : {' ', '\t', '\r', '\n', '\v', '\f'}) ExpectLikeStrtod(field, after);
  }
  std::mt19937 random(4321);
  static const char kChars[] = "0123456789012345678901234567890123456789.-+eExXa";
  for (int i = 0; i < 120000; ++i) {
    std::string field;
    if (i % 6 == 0) {  // digits around a point and an exponent
      field = random() % 2 ? "-" : "";
      const int digits = 1 + random() % 20;
      const int point = random() % (digits + 1);
      for (int d = 0; d < digits; ++d) {
        if (d == point) field += '.';
        field += static_cast<char>('0' + random() % 10);
      }
      if (random() % 2) field += "e" + std::to_string(static_cast<int>(random() % 61) - 30);
    } else if (i % 6 == 1) {  // any mix of number characters
      for (int k = 1 + random() % 24; k > 0; --k) field += kChars[random() % (sizeof kChars - 1)];
    } else {  // plain decimals with up to 20 digits on either side of the point
      if (random() % 2) field += "-";
      for (int k = random() % (random() % 4 == 0 ? 21 : 8); k > 0; --k) {
        field += static_cast<char>('0' + random() % 10);
      }
      if (random() % 4 != 0) {
        field += '.';
        for (int k = random() % (random() % 4 == 0 ? 21 : 8); k > 0; --k) {
          field += static_cast<char>('0' + random() % 10);
        }
      }
      if (field.empty()) field = "0";
    }
    ExpectLikeStrtod(field, " \t\n\r"[random() % 4]);
  }
}

int ScanIntOr(const char* text, int start = 13) {
  int value = start;
  ScanInt(text, &value);
  return value;
}

TEST(ScanIntTest, ReadsLikeScanfD) {
  EXPECT_EQ(ScanIntOr("3"), 3);
  EXPECT_EQ(ScanIntOr("3x"), 3);
  EXPECT_EQ(ScanIntOr(" \t7"), 7);
  EXPECT_EQ(ScanIntOr("+5"), 5);
  EXPECT_EQ(ScanIntOr("-2"), -2);
  EXPECT_EQ(ScanIntOr("0"), 0);
  EXPECT_EQ(ScanIntOr("x"), 13);
  EXPECT_EQ(ScanIntOr(""), 13);
  EXPECT_EQ(ScanIntOr("- 3"), 13);
  EXPECT_EQ(ScanIntOr("2.9"), 2);
  EXPECT_EQ(ScanIntOr("99999999999999999999"), std::numeric_limits<int>::max());
  EXPECT_EQ(ScanIntOr("-99999999999999999999"), std::numeric_limits<int>::min());
  EXPECT_EQ(ScanIntOr("-2147483648"), std::numeric_limits<int>::min());
}

}  // namespace
}  // namespace runcompare
