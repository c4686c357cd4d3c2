// Reads the console output of VarnelDrovik, SelwickBR or SelwickBEB, as saved in a file,
// one line at a time: the method named in the settings lines, the replicate lines, the
// 21-row summary table and the closing line's totals.
#ifndef SITEPLOT_CHECKER_OUTPUT_H_
#define SITEPLOT_CHECKER_OUTPUT_H_

#include <deque>
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
  // The true sites among the class's and the cut's predicted sites: exact from per-replicate
  // counts; from a console table, the ratio times the count rounded (exact below 1000
  // sites); NaN when the ratio is not a number.
  double matches_bin = kNoValue;
  double matches_cum = kNoValue;
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
  // "NEB" (Naive Empirical) or "BEB" (Bayes Empirical); empty for per-replicate counts,
  // which do not name it.
  std::string method;
  // A deque, not a vector: an input of millions of replicate lines then needs no second
  // copy of them while they grow.
  std::deque<ReplicateLine> replicates;
  std::vector<ClassRow> rows;  // kClassCount rows
  // The true sites of all replicates and the sites examined (#sites x #repl), as the
  // closing line prints them; NaN when the input does not give them.
  double true_total = kNoValue;
  double sites_total = kNoValue;
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

/// The parser behind ParseCheckerOutput, fed one complete line at a time (without its line
/// feed), so that an input of any size needs to be held only a line at a time. What it keeps
/// is the replicate lines, the table and a few lines of settings.
class CheckerOutputParser {
 public:
  void Line(std::string_view line);
  /// The run, or false with `err` set, as ParseCheckerOutput on the lines given.
  bool Finish(CheckerRun* run, std::string* err);

 private:
  enum class Table { kNotYet, kBlanks, kRows, kDone };
  CheckerRun run_;
  int method_lines_ = 0;
  int headers_ = 0;
  std::string method_line_;  // the last line naming the header text
  // After the line naming the header text and before any table: the message of the last
  // line that is not blank, should the run have ended there with an error.
  std::string message_;
  Table table_ = Table::kNotYet;
  bool totals_ = false;  // the closing line was read
};

}  // namespace siteplot

#endif  // SITEPLOT_CHECKER_OUTPUT_H_
