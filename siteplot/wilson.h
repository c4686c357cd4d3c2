// The Wilson score interval of a proportion, the error bar of a class's accuracy.
#ifndef SITEPLOT_WILSON_H_
#define SITEPLOT_WILSON_H_

namespace siteplot {

struct Interval {
  double low = 0;
  double high = 0;
};

/// The 95% Wilson score interval of `successes` out of `trials`. The checkers print a
/// class's accuracy rounded to three decimals, not its count of true sites, so
/// `accuracy` x `trials` is rounded to the nearest whole number first (exact for classes of
/// fewer than 1000 sites). Returns false, and leaves `interval` alone, when `trials` is not
/// above 0 or either value is not finite.
bool WilsonInterval(double accuracy, double trials, Interval* interval);

/// The interval of `successes` (a whole number from 0 to `trials`) out of `trials`; false,
/// as above, when `trials` is not above 0 or either value is not finite.
bool WilsonScore(double successes, double trials, Interval* interval);

}  // namespace siteplot

#endif  // SITEPLOT_WILSON_H_
