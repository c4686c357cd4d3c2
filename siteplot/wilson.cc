// The Wilson score interval.
#include "siteplot/wilson.h"

#include <algorithm>
#include <cmath>

namespace siteplot {

namespace {

const double kZ = 1.959963984540054;  // the 97.5% point of the standard normal distribution

}  // namespace

bool WilsonInterval(double accuracy, double trials, Interval* interval) {
  if (!std::isfinite(accuracy) || !std::isfinite(trials) || trials <= 0) return false;
  return WilsonScore(std::clamp(std::round(accuracy * trials), 0.0, trials), trials, interval);
}

bool WilsonScore(double successes, double trials, Interval* interval) {
  if (!std::isfinite(successes) || !std::isfinite(trials) || trials <= 0) return false;
  double p = successes / trials;
  double z2 = kZ * kZ;
  double denominator = 1 + z2 / trials;
  double centre = (p + z2 / (2 * trials)) / denominator;
  double half = kZ / denominator * std::sqrt(p * (1 - p) / trials + z2 / (4 * trials * trials));
  interval->low = std::max(0.0, centre - half);
  interval->high = std::min(1.0, centre + half);
  return true;
}

}  // namespace siteplot
