// Tests of the replicate's set of true sites.
#include "sitecheck/site_set.h"

#include <gtest/gtest.h>

#include <vector>

namespace sitecheck {
namespace {

TEST(TrueSiteSetTest, SitesInAndOutsideTheTable) {
  TrueSiteSet set(10);
  std::vector<int32_t> sites = {3, 10, 0, -7, 11, 2147483647, 3};
  set.Assign(sites.data(), static_cast<int32_t>(sites.size()));
  for (int32_t site : {3, 10, 0, -7, 11, 2147483647}) EXPECT_TRUE(set.Contains(site)) << site;
  for (int32_t site : {1, 2, 4, 9, -1, 12, -2147483647 - 1})
    EXPECT_FALSE(set.Contains(site)) << site;
}

TEST(TrueSiteSetTest, EachReplicateStartsEmpty) {
  TrueSiteSet set(5);
  std::vector<int32_t> first = {1, 2, 99};
  set.Assign(first.data(), 3);
  std::vector<int32_t> second = {4};
  set.Assign(second.data(), 1);
  EXPECT_FALSE(set.Contains(1));
  EXPECT_FALSE(set.Contains(99));
  EXPECT_TRUE(set.Contains(4));
  set.Assign(second.data(), -3);  // a negative count holds no site
  EXPECT_FALSE(set.Contains(4));
}

TEST(TrueSiteSetTest, NoTableForZeroOrNegativeSites) {
  for (int32_t ls : {0, -4}) {
    TrueSiteSet set(ls);
    std::vector<int32_t> sites = {1, 5};
    set.Assign(sites.data(), 2);
    EXPECT_TRUE(set.Contains(5));
    EXPECT_FALSE(set.Contains(2));
  }
}

}  // namespace
}  // namespace sitecheck
