// Tests of the probability classes, the counters and the summary table.
#include "sitecheck/tally.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace sitecheck {
namespace {

std::string Summary(const SiteTally& tally, int32_t ls, int32_t nrepl) {
  char* text = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&text, &size);
  printSummary(out, tally, ls, nrepl);
  std::fclose(out);
  std::string result(text, size);
  std::free(text);
  return result;
}

TEST(ClassifyTest, UpperEdgesAreInclusive) {
  EXPECT_EQ(classify(-3.0), 0);
  EXPECT_EQ(classify(0.4), 0);
  EXPECT_EQ(classify(0.525), 0);
  EXPECT_EQ(classify(0.5250001), 1);
  EXPECT_EQ(classify(0.55), 1);  // the double that reading "0.55" gives
  EXPECT_EQ(classify(std::strtod("0.55", nullptr)), 1);
  EXPECT_EQ(classify(0.5500001), 2);
  EXPECT_EQ(classify(0.6), 3);
  EXPECT_EQ(classify(0.975), 18);
  EXPECT_EQ(classify(0.99), 19);
  EXPECT_EQ(classify(0.9900001), 20);
  EXPECT_EQ(classify(1.0), 20);
  EXPECT_EQ(classify(7.0), 20);
  for (int i = 0; i < kClasses - 1; ++i) EXPECT_EQ(classify(classBounds[i]), i);
}

TEST(ClassifyTest, FirstEdgeNotBelowTheProbability) {
  // The class is the first edge up to 0.99 that the probability does not exceed.
  auto first_edge = [](double p) {
    for (int i = 0; i < kClasses - 1; ++i) {
      if (p <= classBounds[i]) return i;
    }
    return kClasses - 1;
  };
  for (int (*search)(double) : {classify, ClassifyScalar}) {
    for (int i = 0; i <= 2000000; ++i) {
      double p = 0.45 + i * 0.6 / 2000000;
      ASSERT_EQ(search(p), first_edge(p)) << p;
    }
    for (int i = 0; i < kClasses; ++i) {
      const double edge = classBounds[i];
      for (double p : {edge, std::nextafter(edge, 0.0), std::nextafter(edge, 2.0),
                       -double{INFINITY}, double{INFINITY}, double{NAN}}) {
        ASSERT_EQ(search(p), std::isnan(p) ? kClasses - 1 : first_edge(p)) << p;
      }
    }
  }
}

TEST(TallyTest, ASiteCountsInItsClassAndEveryCutBelow) {
  SiteTally tally;
  tallySite(&tally, 5, false);
  tallySite(&tally, 2, true);
  for (int i = 0; i < kClasses; ++i) {
    EXPECT_EQ(tally.binCount[i], i == 5 || i == 2 ? 1 : 0) << i;
    EXPECT_EQ(tally.binMatches[i], i == 2 ? 1 : 0) << i;
  }
  // The cuts up to class 2 hold both sites, those of classes 3 to 5 the false one only.
  std::string table = Summary(tally, 100, 1);
  EXPECT_NE(table.find(">0.500:   0.500 (    2)"), std::string::npos);
  EXPECT_NE(table.find(">0.550:   0.500 (    2)"), std::string::npos);
  EXPECT_NE(table.find(">0.575:   0.000 (    1)"), std::string::npos);
  EXPECT_NE(table.find(">0.625:   0.000 (    1)"), std::string::npos);
  EXPECT_NE(table.find(">0.650:   0.000 (    0)"), std::string::npos);
  EXPECT_NE(table.find(">0.990:   0.000 (    0)"), std::string::npos);
}

TEST(SummaryTest, HeaderAndRow18OfTheWorkedExample) {
  // 10 sites in class 18 (9 true), 40 in classes 18 to 20 (38 true), 100 true sites in
  // all, 1100 sites examined.
  SiteTally tally;
  for (int i = 0; i < 10; ++i) tallySite(&tally, 18, i < 9);
  for (int i = 0; i < 30; ++i) tallySite(&tally, i < 15 ? 19 : 20, i < 29);
  tally.trueSitesTotal = 100;
  std::string table = Summary(tally, 100, 11);
  const std::string header =
      "\n\n     P           AccuracyBin      Pcut      AccuracyCum     Power  FalsePos\n\n";
  EXPECT_EQ(table.substr(0, header.size()), header);
  EXPECT_NE(table.find("\n0.950 - 0.975:   0.900 (   10)    >0.950:   0.950 (   40)   0.380   "
                       "0.002\n0.975 - 0.990:"),
            std::string::npos);
  EXPECT_EQ(table.size(), header.size() + 21 * 74);
}

TEST(SummaryTest, ZeroCountsPrintZeroRatios) {
  std::string table = Summary(SiteTally(), 100, 1);
  EXPECT_NE(table.find("\n0.500 - 0.525:   0.000 (    0)    >0.500:   0.000 (    0)   0.000   "
                       "0.000\n"),
            std::string::npos);
  // No true site at all: Power stays 0 while the false positives are counted.
  SiteTally no_true;
  tallySite(&no_true, 0, false);
  EXPECT_NE(
      Summary(no_true, 100, 1)
          .find("0.500 - 0.525:   0.000 (    1)    >0.500:   0.000 (    1)   0.000   0.010\n"),
      std::string::npos);
}

TEST(SummaryTest, SitesExaminedWrapLikeThirtyTwoBitIntegers) {
  EXPECT_EQ(WrappedProduct(65536, 65536), 0);
  EXPECT_EQ(WrappedProduct(100000, 100000), 1410065408);
  EXPECT_EQ(WrappedProduct(-1, INT32_MIN), INT32_MIN);
  EXPECT_EQ(WrappedProduct(46341, 46341), -2147479015);
  // With a wrapped product of 0 and 10 true sites, one false site is -0.1 of the rest.
  SiteTally tally;
  tally.trueSitesTotal = 10;
  tallySite(&tally, 0, false);
  EXPECT_NE(Summary(tally, 65536, 65536).find("   0.000  -0.100\n"), std::string::npos);
}

}  // namespace
}  // namespace sitecheck
