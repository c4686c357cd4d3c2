// Readers of the simulator's site file (list form and class-per-site form) and of the
// analysis report's per-replicate lists of predicted sites.
#ifndef SITECHECK_FORMATS_H_
#define SITECHECK_FORMATS_H_

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
  bool at_end = false;   // kCutShort: the file ended (else a token that is not a number)
};

/// The message that ends the run for a block that could not be read, without line break.
std::string SiteErrorMessage(const SiteBlock& block, int replicate);

/// List form: finds the next line piece holding "replicate ", reads the count after the
/// first ':' of that piece, then that many site numbers into `trueSites` (room for `ls`).
/// A file that ends before the header counts as an empty header line (so kNoColon).
SiteBlock readTrueSiteList(Reader& siteFile, int32_t ls, int32_t* trueSites);

/// Class-per-site form: finds the next line piece holding "replicate ", reads `ls` class
/// values and stores, in increasing order, the 1-based positions of the sites whose class
/// is one of `positiveClasses` (sorted in increasing order).
SiteBlock readSiteClasses(Reader& siteFile, int32_t ls, const std::vector<int32_t>& positiveClasses,
                          int32_t* trueSites);

/// Moves the report past the next line piece holding `headerText` and the three lines
/// after it. False when the report ends before such a piece.
bool findReportBlock(Reader& report, std::string_view headerText);

/// One entry of a list of predicted sites.
struct PredictedSite {
  int32_t site = 0;
  char residue = 0;
  double probability = 0.0;
};

/// Reads one entry in the form "site residue probability", then discards the rest of its
/// line. False, with the list ended, when any of the three items cannot be read; the
/// character at which reading failed is left for the next header search.
bool readPredictedSite(Reader& report, PredictedSite* entry);

}  // namespace sitecheck

#endif  // SITECHECK_FORMATS_H_
