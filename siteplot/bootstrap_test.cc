// The bootstrap on two replicates, whose resamples are few enough to list by hand, and its
// quantiles.
#include "siteplot/bootstrap.h"

#include <gtest/gtest.h>

#include <cstring>

namespace siteplot {
namespace {

// Replicate a: 3 true sites of 10, its predicted sites all in class 21, 1 of 2 true; b: 1
// true site of 10, 1 predicted and true. A resample is aa, ab or bb, each drawn about 500
// times in 2000, so the 2.5% and 97.5% quantiles are the lowest and highest ratio of the three:
// accuracy 1/2 (aa), 2/3 (ab), 1 (bb); power 2/6, 2/4, 2/2; false positives 2/14, 1/16, 0.
TEST(BootstrapTest, TwoReplicatesByHand) {
  ReplicateCounts a, b;
  a.sites = b.sites = 10;
  a.true_sites = 3;
  b.true_sites = 1;
  for (int i = 0; i < kClassCount; ++i) {
    a.cum_count[i] = 2;
    a.cum_matches[i] = b.cum_count[i] = b.cum_matches[i] = 1;
  }
  std::vector<ClassRow> rows(kClassCount), again(kClassCount);
  BootstrapIntervals({a, b}, &rows);
  for (const ClassRow& row : rows) {
    EXPECT_DOUBLE_EQ(row.accuracy_cum_low, 0.5);
    EXPECT_DOUBLE_EQ(row.accuracy_cum_high, 1.0);
    EXPECT_DOUBLE_EQ(row.power_low, 2.0 / 6);
    EXPECT_DOUBLE_EQ(row.power_high, 1.0);
    EXPECT_DOUBLE_EQ(row.false_pos_low, 0.0);
    EXPECT_DOUBLE_EQ(row.false_pos_high, 2.0 / 14);
  }
  // The same replicates give the same bits.
  BootstrapIntervals({a, b}, &again);
  EXPECT_EQ(std::memcmp(rows.data(), again.data(), rows.size() * sizeof rows[0]), 0);
  EXPECT_DOUBLE_EQ(Quantile({1, 2, 3, 4}, 0.025), 1.075);
}

}  // namespace
}  // namespace siteplot
