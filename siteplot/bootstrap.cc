// The bootstrap over replicates. Each resample sums the drawn replicates' cumulative counts,
// whole numbers, so the ratios are the same on every machine; the generator and its mapping
// to an index are written here, as the standard library's distributions differ between
// implementations.
#include "siteplot/bootstrap.h"

#include <algorithm>
#include <cmath>

namespace siteplot {

namespace {

class SplitMix64 {
 public:
  explicit SplitMix64(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15u);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
  }
  /// A number from 0 to n - 1 (n > 0), each equally likely: draws at or above the largest
  /// multiple of n are drawn again.
  uint64_t Below(uint64_t n) {
    const uint64_t limit = UINT64_MAX - UINT64_MAX % n;
    uint64_t x;
    do {
      x = Next();
    } while (x >= limit);
    return x % n;
  }

 private:
  uint64_t state_;
};

// The ratios of one metric at one cut-off over the resamples, and its interval.
void SetInterval(std::vector<double>* values, bool defined, double* low, double* high) {
  if (!defined || values->empty()) return;
  std::sort(values->begin(), values->end());
  *low = Quantile(*values, 0.025);
  *high = Quantile(*values, 0.975);
}

}  // namespace

double Quantile(const std::vector<double>& sorted, double q) {
  const double h = static_cast<double>(sorted.size() - 1) * q;
  const size_t below = static_cast<size_t>(std::floor(h));
  const size_t above = std::min(below + 1, sorted.size() - 1);
  return sorted[below] + (h - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

void BootstrapIntervals(const std::vector<ReplicateCounts>& replicates, std::vector<ClassRow>* rows,
                        int resamples, uint64_t seed) {
  if (replicates.empty()) return;
  ReplicateCounts all;
  for (const ReplicateCounts& r : replicates) {
    all.sites += r.sites;
    all.true_sites += r.true_sites;
    for (int i = 0; i < kClassCount; ++i) all.cum_count[i] += r.cum_count[i];
  }
  std::vector<double> accuracy[kClassCount], power[kClassCount], false_pos[kClassCount];
  SplitMix64 random(seed);
  for (int b = 0; b < resamples; ++b) {
    ReplicateCounts sum;
    for (size_t k = 0; k < replicates.size(); ++k) {
      const ReplicateCounts& r = replicates[random.Below(replicates.size())];
      sum.sites += r.sites;
      sum.true_sites += r.true_sites;
      for (int i = 0; i < kClassCount; ++i) {
        sum.cum_count[i] += r.cum_count[i];
        sum.cum_matches[i] += r.cum_matches[i];
      }
    }
    const double negatives = static_cast<double>(sum.sites - sum.true_sites);
    for (int i = 0; i < kClassCount; ++i) {
      const double count = static_cast<double>(sum.cum_count[i]);
      const double matches = static_cast<double>(sum.cum_matches[i]);
      if (count > 0) accuracy[i].push_back(matches / count);
      if (sum.true_sites > 0) power[i].push_back(matches / static_cast<double>(sum.true_sites));
      if (negatives > 0) false_pos[i].push_back((count - matches) / negatives);
    }
  }
  for (int i = 0; i < kClassCount; ++i) {
    ClassRow& row = (*rows)[i];
    SetInterval(&accuracy[i], all.cum_count[i] > 0, &row.accuracy_cum_low, &row.accuracy_cum_high);
    SetInterval(&power[i], all.true_sites > 0, &row.power_low, &row.power_high);
    SetInterval(&false_pos[i], all.sites > all.true_sites, &row.false_pos_low, &row.false_pos_high);
  }
}

}  // namespace siteplot
