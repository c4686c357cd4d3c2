// Reads the console output of VarnelDrovik, SelwickBR or SelwickBEB, as saved in a file:
// the method named in the settings lines, the replicate lines and the 21-row summary table.
#ifndef SITEPLOT_CHECKER_OUTPUT_H_
#define SITEPLOT_CHECKER_OUTPUT_H_

#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace siteplot {

/// Number of rows of the summary table, one per posterior-probability class.
constexpr int kClassCount = 21;

/// A value the input does not give (written as NA).
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

/// One row of the summary table, as printed. A ratio printed as inf, -inf, nan or -nan is
/// that floating-point value; edges and counts are always finite.
struct ClassRow {
  double p_low = 0;   // the class's lower edge
  double p_high = 0;  // its upper edge
  double accuracy_bin = 0;
  double bin_count = 0;  // predicted sites in the class
  double pcut = 0;       // the cut-off: the row's lower edge again
  double accuracy_cum = 0;
  double cum_count = 0;  // predicted sites above the cut-off
  double power = 0;
  double false_pos = 0;
  // 95% intervals over replicates (a bootstrap that resamples replicates) of accuracy_cum,
  // power and false_pos; NaN where the input has no per-replicate counts.
  double accuracy_cum_low = kNoValue;
  double accuracy_cum_high = kNoValue;
  double power_low = kNoValue;
  double power_high = kNoValue;
  double false_pos_low = kNoValue;
  double false_pos_high = kNoValue;
};

/// One per-replicate line.
struct ReplicateLine {
  long replicate = 0;
  long true_sites = 0;
  long predicted_sites = 0;
  long matches = 0;
};

struct CheckerRun {
  std::string method;  // "NEB" (Naive Empirical) or "BEB" (Bayes Empirical)
  std::vector<ReplicateLine> replicates;
  std::vector<ClassRow> rows;  // kClassCount rows
};

/// A run and the name it has in the legend and the tables.
struct LabelledRun {
  std::string label;
  CheckerRun run;
};

/// Parses one checker run's whole console output, with or without the pause prompt
/// ("Hit Enter to continue.", which shares a line with what follows it) and the class line,
/// lines ending in LF or CR LF; text after the last line break is a line cut short and is
/// not read. Returns false and sets `err` when the text holds no complete
/// summary table: no table, a table cut short, a run that ended with one of the checker's
/// error messages (quoted in `err`), a header text that names no method, or several runs.
bool ParseCheckerOutput(std::string_view text, CheckerRun* run, std::string* err);

}  // namespace siteplot

#endif  // SITEPLOT_CHECKER_OUTPUT_H_
