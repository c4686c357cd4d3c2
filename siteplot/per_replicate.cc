// The per-replicate rows, checked field by field, and the table and intervals made from
// them.
#include "siteplot/per_replicate.h"

#include <cstdlib>

namespace siteplot {

const char kPerReplicateHeader[] =
    "replicate\tsites\ttrue_sites\tclass\tp_low\tp_high\tpredicted\tmatches";

namespace {

constexpr int kFields = 8;
const char* const kColumns[kFields] = {"replicate", "sites",  "true_sites", "class",
                                       "p_low",     "p_high", "predicted",  "matches"};
// The class edges as the table prints them: class i runs from kEdges[i - 1] to kEdges[i].
const char* const kEdges[kClassCount + 1] = {"0.500", "0.525", "0.550", "0.575", "0.600", "0.625",
                                             "0.650", "0.675", "0.700", "0.725", "0.750", "0.775",
                                             "0.800", "0.825", "0.850", "0.875", "0.900", "0.925",
                                             "0.950", "0.975", "0.990", "1.000"};

// A count as the checkers write it: 1 to 9 digits, so that no sum can overflow.
bool ParseCount(std::string_view field, int64_t* value) {
  if (field.empty() || field.size() > 9) return false;
  *value = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return false;
    *value = *value * 10 + (c - '0');
  }
  return true;
}

double Ratio(int64_t numerator, int64_t denominator) {
  return numerator == 0 ? 0.0 : static_cast<double>(numerator) / static_cast<double>(denominator);
}

}  // namespace

bool PerReplicateParser::Line(std::string_view line, long number, std::string* err) {
  line_ = number;
  auto fail = [&](const std::string& what) {
    *err = "line " + std::to_string(number) + ": " + what;
    return false;
  };
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::string_view fields[kFields];
  int count = 0;
  for (size_t start = 0;; ++count) {
    const size_t tab = line.find('\t', start);
    if (count < kFields) fields[count] = line.substr(start, tab - start);
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  if (++count != kFields) {
    return fail("a row has " + std::to_string(kFields) + " tab-separated fields, not " +
                std::to_string(count));
  }
  int64_t numbers[kFields] = {};
  for (int i : {0, 1, 2, 3, 6, 7}) {
    if (!ParseCount(fields[i], &numbers[i])) {
      return fail(kColumns[i] + (" '" + std::string(fields[i])) +
                  "' is not a whole number of at most 9 digits");
    }
  }
  const int64_t replicate = numbers[0], sites = numbers[1], true_sites = numbers[2];
  const int64_t predicted = numbers[6], matches = numbers[7];
  if (numbers[3] != classes_ + 1) {
    return fail("class " + std::to_string(numbers[3]) + " where class " +
                std::to_string(classes_ + 1) + " was expected");
  }
  if (fields[4] != kEdges[classes_] || fields[5] != kEdges[classes_ + 1]) {
    return fail("the edges of class " + std::to_string(classes_ + 1) + " are " + kEdges[classes_] +
                " and " + kEdges[classes_ + 1]);
  }
  if (classes_ == 0) {
    replicate_ = replicate;
    current_ = ReplicateCounts();
    current_.sites = sites;
    current_.true_sites = true_sites;
  } else if (replicate != replicate_ || sites != current_.sites ||
             true_sites != current_.true_sites) {
    return fail("replicate, sites or true_sites differ from those of class 1 above");
  }
  if (true_sites > sites || matches > predicted) {
    return fail(true_sites > sites ? "more true sites than sites"
                                   : "more matches than predicted sites");
  }
  bin_predicted_[classes_] = predicted;
  bin_matches_[classes_] = matches;
  if (++classes_ < kClassCount) return true;

  // The replicate is complete: its counts at every cut-off, and its replicate line.
  ReplicateLine summary;
  summary.replicate = replicate_;
  summary.true_sites = current_.true_sites;
  for (int i = kClassCount - 1; i >= 0; --i) {
    summary.predicted_sites += bin_predicted_[i];
    summary.matches += bin_matches_[i];
    current_.cum_count[i] = summary.predicted_sites;
    current_.cum_matches[i] = summary.matches;
    predicted_[i] += bin_predicted_[i];
    matches_[i] += bin_matches_[i];
  }
  replicates_.push_back(current_);
  run_.replicates.push_back(summary);
  classes_ = 0;
  return true;
}

bool PerReplicateParser::Finish(CheckerRun* run, std::string* err) {
  if (classes_ != 0) {
    *err = "line " + std::to_string(line_) + ": the file ends after class " +
           std::to_string(classes_) + " of replicate " + std::to_string(replicate_);
    return false;
  }
  int64_t true_total = 0, sites_total = 0, cum_count = 0, cum_matches = 0;
  for (const ReplicateCounts& r : replicates_) {
    true_total += r.true_sites;
    sites_total += r.sites;
  }
  run_.rows.assign(kClassCount, ClassRow());
  for (int i = kClassCount - 1; i >= 0; --i) {
    ClassRow& row = run_.rows[i];
    cum_count += predicted_[i];
    cum_matches += matches_[i];
    row.p_low = row.pcut = std::strtod(kEdges[i], nullptr);
    row.p_high = std::strtod(kEdges[i + 1], nullptr);
    row.bin_count = static_cast<double>(predicted_[i]);
    row.matches_bin = static_cast<double>(matches_[i]);
    row.accuracy_bin = Ratio(matches_[i], predicted_[i]);
    row.cum_count = static_cast<double>(cum_count);
    row.matches_cum = static_cast<double>(cum_matches);
    row.accuracy_cum = Ratio(cum_matches, cum_count);
    row.power = Ratio(cum_matches, true_total);
    row.false_pos = Ratio(cum_count - cum_matches, sites_total - true_total);
  }
  run_.true_total = static_cast<double>(true_total);
  run_.sites_total = static_cast<double>(sites_total);
  BootstrapIntervals(replicates_, &run_.rows);
  *run = std::move(run_);
  return true;
}

}  // namespace siteplot
