// The three-panel figure of one or more checker runs: calibration (accuracy by probability
// class), cut-off (accuracy, power and false-positive rate by cut-off) and power against
// false-positive rate.
#ifndef SITEPLOT_FIGURE_H_
#define SITEPLOT_FIGURE_H_

#include <string>
#include <vector>

#include "siteplot/checker_output.h"

namespace siteplot {

/// Most runs one figure tells apart: one colour and one marker shape each.
constexpr int kMaxRuns = 7;

/// The figure of `runs` (1 to kMaxRuns, each with its kClassCount rows) as a self-contained
/// SVG 1.1 document 180 mm wide, with `title` above the panels when it is not empty. The
/// intervals over replicates that rows hold are drawn as bands.
std::string DrawFigure(const std::vector<LabelledRun>& runs, const std::string& title);

}  // namespace siteplot

#endif  // SITEPLOT_FIGURE_H_
