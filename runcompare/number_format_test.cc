// The number writers, held against printf's texts.
#include "runcompare/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace runcompare {
namespace {

std::string PrintfFixed(double value, int width, int precision) {
  char text[800];
  std::snprintf(text, sizeof text, "%*.*f", width, precision, value);
  return text;
}

std::string WrittenFixed(double value, int width, int precision) {
  std::string text(FixedTextRoom(width, precision), '?');
  char* end = WriteFixed(&text[0], value, width, precision);
  text.resize(static_cast<std::size_t>(end - text.data()));
  return text;
}

double FromBits(std::uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

TEST(WriteFixedTest, WritesWhatPrintfWritesAtEveryPrecision) {
  static const double kInf = std::numeric_limits<double>::infinity();
  std::vector<double> values = {0.0,
                                -0.0,
                                0.5,
                                1.5,
                                2.5,
                                -2.5,
                                0.05,
                                0.25,
                                0.125,
                                -0.0625,
                                0.0625,
                                -0.0001,
                                0.0005,
                                0.0015,
                                2.5e-4,
                                -920.0,
                                -910.25,
                                -9.75,
                                9.5,
                                9.9995,
                                -9.9995,
                                99.95,
                                999999.9995,
                                123456789.0005,
                                1e15 + 1,
                                4503599627370495.5,
                                4503599627370496.0,
                                9007199254740991.0,
                                9007199254740992.0,
                                1e16,
                                5e-324,
                                2.2250738585072014e-308,
                                1e300,
                                -2e300,
                                1.7976931348623157e308,
                                kInf,
                                -kInf,
                                NAN,
                                -NAN};
  std::mt19937_64 random(99);
  for (int i = 0; i < 6000; ++i) {
    // Exact ties and near ties: few bits after the binary point.
    values.push_back(static_cast<double>(static_cast<std::int64_t>(random() % 4000000) - 2000000) /
                     static_cast<double>(1 << (random() % 14)));
    values.push_back(
        static_cast<double>(static_cast<std::int64_t>(random() % 2000000000) - 1000000000) /
        16384.0);
    // Values of every size up to 2^53 and a little beyond.
    values.push_back(
        std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 70) - 60));
    values.push_back(FromBits(random()));
  }
  for (double value : values) {
    for (int precision = 0; precision <= 4; ++precision) {
      for (int width : {0, 8, 10, 32, -12}) {
        ASSERT_EQ(WrittenFixed(value, width, precision), PrintfFixed(value, width, precision))
            << value << " width " << width << " precision " << precision;
      }
    }
  }
}

TEST(WriteIntTest, WritesWhatPrintfWrites) {
  for (long long value :
       {0LL, 1LL, 7LL, -5LL, -7LL, 12LL, 99LL, 100LL, 999LL, 1000LL, 123456LL, 123456789LL,
        -1000000LL, 9223372036854775807LL, -9223372036854775807LL - 1}) {
    for (int width : {0, 4, 20, 32, 40, -6}) {
      std::string text(IntTextRoom(width), '?');
      text.resize(static_cast<std::size_t>(WriteInt(&text[0], value, width) - text.data()));
      char expected[64];
      std::snprintf(expected, sizeof expected, "%*lld", width, value);
      EXPECT_EQ(text, expected);
    }
  }
}

}  // namespace
}  // namespace runcompare
