// The tab-separated tables.
#include "siteplot/tsv.h"

#include <cmath>
#include <cstdio>

#include "siteplot/wilson.h"

namespace siteplot {

namespace {

// A label as one field: a tab or line break in it would start a new field or line.
std::string Field(const std::string& label) {
  std::string field = label;
  for (char& c : field) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return field;
}

// `value` in the checker's own format, or NA when it is not a number.
std::string Value(double value, const char* format) {
  if (!std::isfinite(value)) return "NA";
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Probability(double value) { return Value(value, "%.3f"); }
std::string Count(double value) { return Value(value, "%.0f"); }

}  // namespace

std::string ClassTableTsv(const std::vector<LabelledRun>& runs) {
  std::string out =
      "label\tmethod\tclass\tp_low\tp_high\tbin_count\taccuracy_bin\tpcut\tcum_count\t"
      "accuracy_cum\tpower\tfalse_pos\tacc_low\tacc_high\tmatches_bin\tmatches_cum\t"
      "true_total\tsites_total\taccuracy_cum_low\taccuracy_cum_high\tpower_low\tpower_high\t"
      "false_pos_low\tfalse_pos_high\n";
  for (const LabelledRun& labelled : runs) {
    const CheckerRun& run = labelled.run;
    // A ratio of a count of 0 is no number, whatever the checker printed for it.
    const double negatives = run.sites_total - run.true_total;
    const bool no_true_sites = run.true_total == 0, no_other_sites = negatives == 0;
    for (size_t i = 0; i < run.rows.size(); ++i) {
      const ClassRow& row = run.rows[i];
      Interval wilson;
      bool has_interval = WilsonScore(row.matches_bin, row.bin_count, &wilson);
      const std::string fields[] = {Field(labelled.label),
                                    run.method.empty() ? "NA" : run.method,
                                    std::to_string(i + 1),
                                    Probability(row.p_low),
                                    Probability(row.p_high),
                                    Count(row.bin_count),
                                    Probability(row.bin_count == 0 ? kNoValue : row.accuracy_bin),
                                    Probability(row.pcut),
                                    Count(row.cum_count),
                                    Probability(row.cum_count == 0 ? kNoValue : row.accuracy_cum),
                                    Probability(no_true_sites ? kNoValue : row.power),
                                    Probability(no_other_sites ? kNoValue : row.false_pos),
                                    has_interval ? Probability(wilson.low) : "NA",
                                    has_interval ? Probability(wilson.high) : "NA",
                                    Count(row.matches_bin),
                                    Count(row.matches_cum),
                                    Count(run.true_total),
                                    Count(run.sites_total),
                                    Probability(row.accuracy_cum_low),
                                    Probability(row.accuracy_cum_high),
                                    Probability(row.power_low),
                                    Probability(row.power_high),
                                    Probability(row.false_pos_low),
                                    Probability(row.false_pos_high)};
      for (const std::string& field : fields) out += field + '\t';
      out.back() = '\n';
    }
  }
  return out;
}

std::string ReplicatesTsv(const std::vector<LabelledRun>& runs) {
  std::string out = "label\treplicate\ttrue_sites\tpredicted_sites\tmatches\n";
  for (const LabelledRun& labelled : runs) {
    for (const ReplicateLine& line : labelled.run.replicates) {
      char numbers[128];
      std::snprintf(numbers, sizeof numbers, "\t%ld\t%ld\t%ld\t%ld\n", line.replicate,
                    line.true_sites, line.predicted_sites, line.matches);
      out += Field(labelled.label) + numbers;
    }
  }
  return out;
}

}  // namespace siteplot
