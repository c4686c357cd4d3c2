// The tab-separated tables for R or a spreadsheet: the summary table's rows and the
// replicate lines of every run, each line starting with the run's label.
#ifndef SITEPLOT_TSV_H_
#define SITEPLOT_TSV_H_

#include <string>
#include <vector>

#include "siteplot/checker_output.h"

namespace siteplot {

/// Header `label method class p_low p_high bin_count accuracy_bin pcut cum_count
/// accuracy_cum power false_pos acc_low acc_high matches_bin matches_cum true_total
/// sites_total accuracy_cum_low accuracy_cum_high power_low power_high false_pos_low
/// false_pos_high`, then one line per class (numbered 1 to 21) per run, in run order.
/// Numbers as the checker prints them (three decimals, counts whole); NA for inf, nan, a
/// value the input does not give, a method it does not name, and a ratio of a count of 0
/// (a class or cut without sites, no true sites, no other sites) with its interval.
std::string ClassTableTsv(const std::vector<LabelledRun>& runs);

/// Header `label replicate true_sites predicted_sites matches`, then every replicate line of
/// every run.
std::string ReplicatesTsv(const std::vector<LabelledRun>& runs);

}  // namespace siteplot

#endif  // SITEPLOT_TSV_H_
