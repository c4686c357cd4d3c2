// Readers of the simulator's site file, one replicate's block at a time: the list form
// (a header with the number of true sites, then the site numbers) and the class-per-site
// form (a header, then one class value per site).
#ifndef SITECHECK_SITE_FILE_H_
#define SITECHECK_SITE_FILE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sitecheck/reader.h"

namespace sitecheck {

/// The text that marks a replicate's block in the site file.
constexpr std::string_view kReplicateMark = "replicate ";

/// Outcome of reading one replicate's block of the site file.
enum class SiteStatus {
  kOk,
  kNoColon,   // list form: the header line holds no ':'
  kNoCount,   // list form: no integer after the header's ':'
  kTooMany,   // list form: the header announces more sites than ls
  kCutShort,  // the block ended before all its numbers were read
  kNoHeader,  // class-per-site form: the file ended before the replicate's header
};

/// One replicate's block of the site file, as read.
struct SiteBlock {
  SiteStatus status = SiteStatus::kOk;
  int32_t n = 0;         // true sites stored in the caller's array
  int32_t expected = 0;  // numbers the block should hold (count, or ls)
  int32_t read = 0;      // numbers read before the block ended (kCutShort)
  bool at_end = false;   // the file ended: kCutShort (else a token that is not a number),
                         // kNoColon (no header was found)
};

/// The message that ends the run for a block that could not be read, without line break.
std::string SiteErrorMessage(const SiteBlock& block, int replicate);

/// List form: finds the next line piece holding "replicate ", reads the count after the
/// first ':' of that piece, then that many site numbers into `trueSites` (room for `ls`).
/// A file that ends before the header counts as an empty header line (so kNoColon). For
/// kTooMany, `expected` is the count.
SiteBlock readTrueSiteList(Reader& siteFile, int32_t ls, int32_t* trueSites);

/// Class-per-site form: finds the next line piece holding "replicate ", reads `ls` class
/// values and stores, in increasing order, the 1-based positions of the sites whose class
/// is one of `positiveClasses` (sorted in increasing order). `seen`, when given, holds a
/// flag for each entry of `positiveClasses`: set for each class that a site of the block has.
SiteBlock readSiteClasses(Reader& siteFile, int32_t ls, const std::vector<int32_t>& positiveClasses,
                          int32_t* trueSites, std::vector<bool>* seen = nullptr);

}  // namespace sitecheck

#endif  // SITECHECK_SITE_FILE_H_
