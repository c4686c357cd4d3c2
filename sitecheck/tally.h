// Probability classes of predicted sites, the run's counters, and the summary table.
#ifndef SITECHECK_TALLY_H_
#define SITECHECK_TALLY_H_

#include <cstdint>
#include <cstdio>

namespace sitecheck {

constexpr int kClasses = 21;

/// Upper edges of the probability classes, inclusive. The last one is only printed.
extern const double classBounds[kClasses];

/// The class of a posterior probability: the first class whose upper edge is not below it,
/// looking at the edges up to 0.99; everything above 0.99, and NaN, is class 20. It counts
/// the edges that p is not at most, two at a time with SSE2: a plain search made a whole
/// VarnelDrovik run 4 to 6% slower (bench/run.sh big). ClassifyScalar counts one edge at a
/// time, with the same results: the form without SSE2, and the tests' reference.
int classify(double p);
int ClassifyScalar(double p);

/// Counters over all replicates of a run. The counts by cut (class i or higher) are sums
/// of these and are formed when the table is printed.
struct SiteTally {
  double binCount[kClasses] = {};    // predicted sites in class i
  double binMatches[kClasses] = {};  // of those, true sites
  double trueSitesTotal = 0;         // true sites announced by the site file
};

/// Counts one predicted site of class `site_class` (0..20).
inline void tallySite(SiteTally* tally, int site_class, bool isTrue) {
  tally->binCount[site_class] += 1;
  if (isTrue) tally->binMatches[site_class] += 1;
}

/// `ls` x `nrepl` as 32-bit two's-complement arithmetic gives it (wrapping on overflow).
int32_t WrappedProduct(int32_t ls, int32_t nrepl);

/// Prints the table header and its 21 rows.
void printSummary(FILE* out, const SiteTally& tally, int32_t ls, int32_t nrepl);

}  // namespace sitecheck

#endif  // SITECHECK_TALLY_H_
