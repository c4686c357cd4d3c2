// Reads the checkers' per-replicate counts (the file their --tsv option writes): after the
// header line, 21 rows for each replicate, one per class, with exact whole numbers.
#ifndef SITEPLOT_PER_REPLICATE_H_
#define SITEPLOT_PER_REPLICATE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "siteplot/bootstrap.h"
#include "siteplot/checker_output.h"

namespace siteplot {

/// The header line that tells a per-replicate file from a console output.
extern const char kPerReplicateHeader[];

class PerReplicateParser {
 public:
  /// Reads the row on line `number` of the file (its line feed and a CR before it taken
  /// off). A row is `replicate sites true_sites class p_low p_high predicted matches`,
  /// tab-separated: whole numbers, the classes 1 to 21 in order with their edges as the
  /// table prints them, the first three alike in a replicate's rows, and no more true sites
  /// than sites and no more matches than predicted sites. False, with `err` "line N: what",
  /// for any other line.
  bool Line(std::string_view line, long number, std::string* err);

  /// The run: the table summed over all rows with the checker's ratios, the totals, one
  /// replicate line per replicate, and the intervals over replicates (see
  /// BootstrapIntervals). The method is left empty. False when the file ends inside a
  /// replicate.
  bool Finish(CheckerRun* run, std::string* err);

 private:
  CheckerRun run_;
  std::vector<ReplicateCounts> replicates_;
  ReplicateCounts current_;
  int64_t bin_predicted_[kClassCount] = {};  // the current replicate's
  int64_t bin_matches_[kClassCount] = {};
  int64_t predicted_[kClassCount] = {};  // over all replicates
  int64_t matches_[kClassCount] = {};
  int64_t replicate_ = 0;  // the current replicate's number
  int classes_ = 0;        // rows of it read so far
  long line_ = 1;          // the last line read: the header to begin with
};

}  // namespace siteplot

#endif  // SITEPLOT_PER_REPLICATE_H_
