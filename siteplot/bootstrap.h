// Intervals over replicates: a bootstrap that resamples whole replicates, since the sites of
// one replicate are not independent draws.
#ifndef SITEPLOT_BOOTSTRAP_H_
#define SITEPLOT_BOOTSTRAP_H_

#include <cstdint>
#include <vector>

#include "siteplot/checker_output.h"

namespace siteplot {

/// One replicate's counts at every cut-off.
struct ReplicateCounts {
  int64_t sites = 0;
  int64_t true_sites = 0;
  int64_t cum_count[kClassCount] = {};    // its predicted sites of class i or higher
  int64_t cum_matches[kClassCount] = {};  // the true ones among them
};

/// The resamples drawn, and the seed of the generator: fixed, so that the same input always
/// gives the same intervals.
constexpr int kResamples = 2000;
constexpr uint64_t kBootstrapSeed = 20261209;

/// Sets the 95% intervals of accuracy_cum, power and false_pos in the kClassCount `rows`:
/// `resamples` times, as many replicates as there are are drawn with replacement (splitmix64
/// from `seed`, mapped to an index without bias) and the ratios computed from their summed
/// counts; an interval runs from the 2.5% to the 97.5% quantile of a ratio over the resamples
/// in which it is defined. An interval stays NaN when the ratio's count is 0 over all
/// replicates, and all of them with no replicate.
void BootstrapIntervals(const std::vector<ReplicateCounts>& replicates, std::vector<ClassRow>* rows,
                        int resamples = kResamples, uint64_t seed = kBootstrapSeed);

/// The `q` quantile (0 to 1) of `sorted` (not empty, in increasing order), linear between
/// the order statistics at (size - 1) x q, as R's quantile() computes it by default.
double Quantile(const std::vector<double>& sorted, double q);

}  // namespace siteplot

#endif  // SITEPLOT_BOOTSTRAP_H_
