// The true sites of one replicate, as a set that answers membership at once.
#ifndef SITECHECK_SITE_SET_H_
#define SITECHECK_SITE_SET_H_

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace sitecheck {

/// Holds one replicate's true sites. Sites 1..ls are marked in a table indexed by site
/// number; any others (a site file may hold any 32-bit number) are kept sorted and searched.
/// So matching k predicted sites against n true ones costs about n + k, not n x k.
class TrueSiteSet {
 public:
  /// Room for sites 1..`ls`. The table is left untouched until used; should it not be
  /// available at all, every site is searched instead.
  explicit TrueSiteSet(int32_t ls);

  /// Makes `sites[0..n)` the set (none when n <= 0). The array is reordered, and must stay
  /// as it is while the set is used.
  void Assign(int32_t* sites, int32_t n);

  bool Contains(int32_t site) const {
    if (site >= 1 && site <= limit_) return stamps_[site] == generation_;
    return std::binary_search(others_, others_ + others_count_, site);
  }

 private:
  struct Free {
    void operator()(uint32_t* table) const { std::free(table); }
  };
  int32_t limit_ = 0;                         // Sites 1..limit_ are looked up in stamps_.
  std::unique_ptr<uint32_t[], Free> stamps_;  // stamps_[site] == generation_: a true site
  uint32_t generation_ = 0;
  const int32_t* others_ = nullptr;  // Sorted true sites outside 1..limit_.
  int32_t others_count_ = 0;
};

}  // namespace sitecheck

#endif  // SITECHECK_SITE_SET_H_
