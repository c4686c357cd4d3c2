// Probability classes, counters and the summary table.
#include "sitecheck/tally.h"

#include "textio/bytes.h"

namespace sitecheck {

const double classBounds[kClasses] = {0.525, 0.55,  0.575, 0.60,  0.625, 0.65,  0.675,
                                      0.70,  0.725, 0.75,  0.775, 0.80,  0.825, 0.85,
                                      0.875, 0.90,  0.925, 0.95,  0.975, 0.99,  1.00};

int classify(double p) {
  // The class is the number of edges up to 0.99 that p exceeds (the edges increase).
  return textio::Fast::EdgesBelow(p, classBounds, kClasses - 1);
}

int32_t wrappedProduct(int32_t ls, int32_t nrepl) {
  // Unsigned arithmetic wraps without undefined behaviour; the conversion back is
  // two's complement.
  return static_cast<int32_t>(static_cast<uint32_t>(ls) * static_cast<uint32_t>(nrepl));
}

void printSummary(FILE* out, const SiteTally& tally, int32_t ls, int32_t nrepl) {
  std::fprintf(out, "\n\n%6s%22s%10s%17s%10s%10s\n\n", "P", "AccuracyBin", "Pcut", "AccuracyCum",
               "Power", "FalsePos");
  const double sites = static_cast<double>(wrappedProduct(ls, nrepl));
  // Predicted sites of class i or higher, and the true ones among them. The counts are
  // whole numbers far below 2^53, so these sums are exact.
  double cumCount[kClasses], cumMatches[kClasses];
  double count = 0, matches = 0;
  for (int i = kClasses - 1; i >= 0; --i) {
    cumCount[i] = count += tally.binCount[i];
    cumMatches[i] = matches += tally.binMatches[i];
  }
  for (int i = 0; i < kClasses; ++i) {
    const double binCount = tally.binCount[i], binMatches = tally.binMatches[i];
    const double cutCount = cumCount[i], cutMatches = cumMatches[i];
    const double falseSites = cutCount - cutMatches;
    // Each quotient is guarded by its numerator only, as zero counts print as 0.
    const double accuracyBin = binMatches != 0.0 ? binMatches / binCount : 0.0;
    const double accuracyCum = cutMatches != 0.0 ? cutMatches / cutCount : 0.0;
    const double power = cutMatches != 0.0 ? cutMatches / tally.trueSitesTotal : 0.0;
    const double falsePos = falseSites != 0.0 ? falseSites / (sites - tally.trueSitesTotal) : 0.0;
    const double lower = i == 0 ? 0.5 : classBounds[i - 1];
    std::fprintf(out, "%5.3f - %5.3f: %7.3f (%5.0f) ", lower, classBounds[i], accuracyBin,
                 binCount);
    std::fprintf(out, "   >%4.3f: %7.3f (%5.0f) %7.3f %7.3f\n", lower, accuracyCum, cutCount, power,
                 falsePos);
  }
}

}  // namespace sitecheck
