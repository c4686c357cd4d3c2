// Probability classes, counters and the summary table.
#include "sitecheck/tally.h"

#include "textio/bytes.h"  // TEXTIO_HAVE_SSE2 and its header

namespace sitecheck {

const double classBounds[kClasses] = {0.525, 0.55,  0.575, 0.60,  0.625, 0.65,  0.675,
                                      0.70,  0.725, 0.75,  0.775, 0.80,  0.825, 0.85,
                                      0.875, 0.90,  0.925, 0.95,  0.975, 0.99,  1.00};

int ClassifyScalar(double p) {
  int below = 0;
  for (int i = 0; i < kClasses - 1; ++i) below += !(p <= classBounds[i]);
  return below;
}

#if TEXTIO_HAVE_SSE2
int classify(double p) {
  const __m128d both = _mm_set1_pd(p);
  __m128i below = _mm_setzero_si128();
  static_assert((kClasses - 1) % 2 == 0, "the edges up to 0.99 come in pairs");
  for (int i = 0; i < kClasses - 1; i += 2) {
    // All ones (-1) in each lane where !(p <= edge).
    const __m128d above = _mm_cmpnle_pd(both, _mm_loadu_pd(classBounds + i));
    below = _mm_sub_epi64(below, _mm_castpd_si128(above));
  }
  return static_cast<int>(_mm_cvtsi128_si64(below) +
                          _mm_cvtsi128_si64(_mm_unpackhi_epi64(below, below)));
}
#else
int classify(double p) { return ClassifyScalar(p); }
#endif

int32_t WrappedProduct(int32_t ls, int32_t nrepl) {
  // Unsigned arithmetic wraps without undefined behaviour; the conversion back is
  // two's complement.
  return static_cast<int32_t>(static_cast<uint32_t>(ls) * static_cast<uint32_t>(nrepl));
}

void printSummary(FILE* out, const SiteTally& tally, int32_t ls, int32_t nrepl) {
  std::fprintf(out, "\n\n%6s%22s%10s%17s%10s%10s\n\n", "P", "AccuracyBin", "Pcut", "AccuracyCum",
               "Power", "FalsePos");
  const double sites = static_cast<double>(WrappedProduct(ls, nrepl));
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
    const double cut_count = cumCount[i], cut_matches = cumMatches[i];
    const double false_sites = cut_count - cut_matches;
    // Each quotient is guarded by its numerator only, as zero counts print as 0.
    const double accuracy_bin = binMatches != 0.0 ? binMatches / binCount : 0.0;
    const double accuracy_cum = cut_matches != 0.0 ? cut_matches / cut_count : 0.0;
    const double power = cut_matches != 0.0 ? cut_matches / tally.trueSitesTotal : 0.0;
    const double false_pos =
        false_sites != 0.0 ? false_sites / (sites - tally.trueSitesTotal) : 0.0;
    const double lower = i == 0 ? 0.5 : classBounds[i - 1];
    std::fprintf(out, "%5.3f - %5.3f: %7.3f (%5.0f) ", lower, classBounds[i], accuracy_bin,
                 binCount);
    std::fprintf(out, "   >%4.3f: %7.3f (%5.0f) %7.3f %7.3f\n", lower, accuracy_cum, cut_count,
                 power, false_pos);
  }
}

}  // namespace sitecheck
