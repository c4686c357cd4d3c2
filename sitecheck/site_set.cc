// The true sites of one replicate, as a set.
#include "sitecheck/site_set.h"

#include <algorithm>
#include <cstring>

namespace sitecheck {

TrueSiteSet::TrueSiteSet(int32_t ls) {
  if (ls <= 0) return;
  // calloc leaves the zeroed pages unmapped until a site touches them.
  stamps_.reset(static_cast<uint32_t*>(std::calloc(static_cast<size_t>(ls) + 1, sizeof(uint32_t))));
  if (stamps_) limit_ = ls;
}

void TrueSiteSet::Assign(int32_t* sites, int32_t n) {
  if (n < 0) n = 0;
  if (++generation_ == 0) {
    // After 2^32 replicates the stamps start over.
    if (stamps_)
      std::memset(stamps_.get(), 0, (static_cast<size_t>(limit_) + 1) * sizeof(uint32_t));
    generation_ = 1;
  }
  const int32_t limit = limit_;
  int32_t* middle =
      std::partition(sites, sites + n, [limit](int32_t site) { return site < 1 || site > limit; });
  others_ = sites;
  others_count_ = static_cast<int32_t>(middle - sites);
  std::sort(sites, middle);
  for (const int32_t* site = middle; site != sites + n; ++site) stamps_[*site] = generation_;
}

}  // namespace sitecheck
