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
      "accuracy_cum\tpower\tfalse_pos\tacc_low\tacc_high\n";
  for (const LabelledRun& labelled : runs) {
    const std::vector<ClassRow>& rows = labelled.run.rows;
    for (size_t i = 0; i < rows.size(); ++i) {
      const ClassRow& row = rows[i];
      Interval wilson;
      bool has_interval = WilsonInterval(row.accuracy_bin, row.bin_count, &wilson);
      const std::string fields[] = {Field(labelled.label),
                                    labelled.run.method,
                                    std::to_string(i + 1),
                                    Probability(row.p_low),
                                    Probability(row.p_high),
                                    Count(row.bin_count),
                                    Probability(row.accuracy_bin),
                                    Probability(row.pcut),
                                    Count(row.cum_count),
                                    Probability(row.accuracy_cum),
                                    Probability(row.power),
                                    Probability(row.false_pos),
                                    has_interval ? Probability(wilson.low) : "NA",
                                    has_interval ? Probability(wilson.high) : "NA"};
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
