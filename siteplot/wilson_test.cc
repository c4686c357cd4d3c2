// The Wilson interval against values worked out by hand from the score formula, and the
// cases without an interval.
#include "siteplot/wilson.h"

#include <gtest/gtest.h>

#include <cmath>

namespace siteplot {
namespace {

TEST(WilsonIntervalTest, HandComputedBounds) {
  struct Case {
    double accuracy, trials, low, high;
  };
  static const Case kCases[] = {
      {0.0, 4, 0.0, 0.4899},                                     // none true: the low bound is 0
      {1.0, 5, 0.5655, 1.0},                                     // all true: the high bound is 1
      {1.0, 1, 0.2065, 1.0},       {0.5, 16, 0.2800, 0.7200},    // symmetric about 1/2
      {0.364, 11, 0.1517, 0.6462}, {0.267, 15, 0.1090, 0.5195},  // 0.267 x 15 = 4.005: 4 true sites
  };
  for (const Case& c : kCases) {
    Interval interval;
    ASSERT_TRUE(WilsonInterval(c.accuracy, c.trials, &interval)) << c.accuracy << " " << c.trials;
    EXPECT_NEAR(interval.low, c.low, 5e-5) << c.accuracy << " of " << c.trials;
    EXPECT_NEAR(interval.high, c.high, 5e-5) << c.accuracy << " of " << c.trials;
  }
}

TEST(WilsonIntervalTest, NoIntervalWithoutSitesOrNumbers) {
  Interval interval{-1, -1};
  EXPECT_FALSE(WilsonInterval(0, 0, &interval));
  EXPECT_FALSE(WilsonInterval(0.5, -3, &interval));
  EXPECT_FALSE(WilsonInterval(NAN, 10, &interval));
  EXPECT_FALSE(WilsonInterval(0.5, INFINITY, &interval));
  EXPECT_EQ(interval.low, -1);
  EXPECT_EQ(interval.high, -1);
}

}  // namespace
}  // namespace siteplot
