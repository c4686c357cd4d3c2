// Reader of the analysis report: finds each replicate's list of predicted sites and reads
// its entries.
#ifndef SITECHECK_REPORT_H_
#define SITECHECK_REPORT_H_

#include <cstdint>
#include <string_view>

#include "sitecheck/reader.h"

namespace sitecheck {

/// Moves the report past the next line piece holding `headerText` and the three lines
/// after it. False when the report ends before such a piece.
bool findReportBlock(Reader& report, std::string_view headerText);

/// One entry of a list of predicted sites.
struct PredictedSite {
  int32_t site = 0;
  char residue = 0;
  double probability = 0.0;
};

/// Reads one entry as "%d %c%lf" would (an integer, white space, any one character, a plain
/// decimal), then the rest of its line as a piece, which is discarded. False, with the list
/// ended, as soon as an item cannot be read: what the items before it consumed is gone, and
/// the character at which reading failed is left for the next header search.
bool readPredictedSite(Reader& report, PredictedSite* entry);

}  // namespace sitecheck

#endif  // SITECHECK_REPORT_H_
