// The figure: layout, the three panels, the legend and the key. Figure units are 0.25 mm.
#include "siteplot/figure.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "siteplot/plot_parts.h"
#include "siteplot/svg_writer.h"
#include "siteplot/wilson.h"

namespace siteplot {

namespace {

const double kWidth = 720;  // 180 mm, a journal's full column width
const double kEdge = 16;    // blank margin of the canvas beside the title
const double kPlotWidth = 264, kPlotHeight = 216;
const double kLeftColumn = 64, kRightColumn = 432;
const double kRowGap = 80;  // from a row's plot areas to the next row's: axis titles, heading
const double kLegendLeft = 392, kLegendRight = 712;
const double kTitleSize = 14, kLegendSize = 11, kNoteSize = 10;

// Okabe-Ito colours, in the order runs take them, with wine (#882255) in place of yellow,
// which is too faint on white: every colour has a contrast of at least 2.2:1 against white,
// and no two of them come close in simulated protan, deutan or tritan vision. Black stays
// for the axes.
const char* const kColours[] = {"#0072B2", "#D55E00", "#009E73", "#CC79A7",
                                "#E69F00", "#56B4E9", "#882255"};

// Run i takes colour i and marker shape i, for every i the command line lets through.
static_assert(kMaxRuns <= static_cast<int>(std::size(kColours)), "a colour for every run");
static_assert(kMaxRuns <= kShapeCount, "a marker shape for every run");

// Marker area in panel a is the class's share of the input's predicted sites: a class
// that held them all would have radius kFullRadius. Shares below 1% get kMinRadius, so that
// every class with a site stays visible, whatever the input's size.
const double kFullRadius = 15, kMinRadius = 1.5;
const double kKeyShares[] = {0.05, 0.2, 0.5};
const char* const kKeyLabels[] = {"5%", "20%", "50%"};
const double kPointRadius = 1.8;  // markers on the lines of panels b and c
const char kBandOpacity[] = "0.2";

// The cut-off panel's three series, told apart by line style, with their intervals over
// replicates.
struct Metric {
  const char* legend;
  const char* dashes;  // stroke-dasharray; empty for a solid line
  double ClassRow::*value;
  double ClassRow::*low;
  double ClassRow::*high;
};
const Metric kMetrics[] = {
    {"AccuracyCum: share of the sites above the cut-off that are true", "", &ClassRow::accuracy_cum,
     &ClassRow::accuracy_cum_low, &ClassRow::accuracy_cum_high},
    {"Power: share of the true sites found", "6 3", &ClassRow::power, &ClassRow::power_low,
     &ClassRow::power_high},
    {"FalsePos: false-positive rate", "0.5 3", &ClassRow::false_pos, &ClassRow::false_pos_low,
     &ClassRow::false_pos_high},
};

const char kBandLegend[] = "Bands, and boxes in c: 95% intervals over replicates (bootstrap)";
const char kKeyTitle[] =
    "Marker area in a: the class's share of the input's predicted sites (under 1%: the "
    "smallest size)";
// "y = x" held together by no-break spaces (U+00A0).
const char kNote[] =
    "In a: bars are 95% Wilson intervals; dashed line y\xC2\xA0=\xC2\xA0x. In c: a point per "
    "cut-off, lower and further left as the cut-off rises.";

Attributes LineStyle(const Metric& metric) {
  Attributes style = {{"stroke-linecap", "round"}};
  if (*metric.dashes) style.push_back({"stroke-dasharray", metric.dashes});
  return style;
}

// Accuracy above a cut-off that keeps no site is 0 / 0: no point.
bool Present(const Metric& metric, const ClassRow& row) {
  return std::isfinite(row.*metric.value) &&
         (metric.value != &ClassRow::accuracy_cum || row.cum_count > 0);
}

bool HasInterval(const ClassRow& row, double ClassRow::*low, double ClassRow::*high) {
  return std::isfinite(row.*low) && std::isfinite(row.*high);
}

// Ticks 0.5 to 1 with `pad` figure units beyond them at both ends.
Axis ProbabilityAxis(double pad, const std::string& title) {
  double margin = 0.5 * pad / (kPlotWidth - 2 * pad);
  return {0.5 - margin, 1 + margin, {0.5, 0.6, 0.7, 0.8, 0.9, 1.0}, title};
}

// Ticks 0 to 1 with `pad` figure units beyond them at both ends.
Axis ShareAxis(double pad, const std::string& title) {
  double margin = pad / (kPlotHeight - 2 * pad);
  return {-margin, 1 + margin, {0, 0.2, 0.4, 0.6, 0.8, 1.0}, title};
}

// The panel's letter and what it shows, above its top left corner.
void DrawHeading(SvgWriter* svg, const PlotArea& area, const char* letter, const char* text) {
  double x = area.Left() - 50, y = area.Top() - 9;
  DrawText(svg, x, y, 12, "start", letter, {{"font-weight", "bold"}});
  DrawText(svg, x + 14, y, 12, "start", text, {{"font-weight", "bold"}});
}

double MarkerRadius(double share) { return std::max(kMinRadius, kFullRadius * std::sqrt(share)); }

void DrawCalibration(SvgWriter* svg, const PlotArea& area, const std::vector<LabelledRun>& runs) {
  area.DrawAxes(svg);
  DrawHeading(svg, area, "a", "Calibration: accuracy by class");
  svg->Element("line", {{"x1", Num(area.X(0.5))},
                        {"y1", Num(area.Y(0.5))},
                        {"x2", Num(area.X(1))},
                        {"y2", Num(area.Y(1))},
                        {"stroke", "#555555"},
                        {"stroke-width", "1"},
                        {"stroke-dasharray", "5 4"}});
  svg->Start("g", {{"clip-path", "url(#calibration-clip)"}});
  for (size_t i = 0; i < runs.size(); ++i) {
    double total = 0;
    for (const ClassRow& row : runs[i].run.rows) total += std::max(0.0, row.bin_count);
    svg->Start("g", {{"fill", kColours[i]},
                     {"fill-opacity", "0.6"},
                     {"stroke", kColours[i]},
                     {"stroke-width", "1"}});
    // Runs side by side within a class, so that equal points do not hide each other; all
    // of them within half the narrowest class.
    double step = runs.size() > 1 ? std::min(0.004, 0.005 / (runs.size() - 1)) : 0;
    double shift = (i - (runs.size() - 1) / 2.0) * step;
    for (const ClassRow& row : runs[i].run.rows) {
      if (row.bin_count <= 0 || !std::isfinite(row.accuracy_bin)) continue;
      double x = area.X((row.p_low + row.p_high) / 2 + shift);
      Interval wilson;
      if (WilsonInterval(row.accuracy_bin, row.bin_count, &wilson)) {
        svg->Element("line", {{"x1", Num(x)},
                              {"y1", Num(area.Y(wilson.low))},
                              {"x2", Num(x)},
                              {"y2", Num(area.Y(wilson.high))},
                              {"stroke-width", "1.2"}});
      }
      DrawMarker(svg, i, x, area.Y(row.accuracy_bin), MarkerRadius(row.bin_count / total));
    }
    svg->End();
  }
  svg->End();
}

// The lines of one run in a panel, in its colour, with a marker at every point.
void DrawRunLines(SvgWriter* svg, size_t run, const std::vector<std::vector<Point>>& lines,
                  const std::vector<Attributes>& styles) {
  svg->Start("g", {{"fill", "none"},
                   {"stroke", kColours[run]},
                   {"stroke-width", "1.4"},
                   {"stroke-linejoin", "round"}});
  for (size_t i = 0; i < lines.size(); ++i) DrawPolyline(svg, lines[i], styles[i]);
  svg->Start("g", {{"fill", kColours[run]}, {"stroke", "none"}});
  for (const std::vector<Point>& line : lines) {
    for (const Point& point : line) {
      if (point.present) DrawMarker(svg, run, point.x, point.y, kPointRadius);
    }
  }
  svg->End();
  svg->End();
}

void DrawCutoff(SvgWriter* svg, const PlotArea& area, const std::vector<LabelledRun>& runs) {
  area.DrawAxes(svg);
  DrawHeading(svg, area, "b", "Cut-off: accuracy, power, false positives");
  svg->Start("g", {{"clip-path", "url(#cutoff-clip)"}});
  // Every run's bands first, beneath every line.
  for (size_t i = 0; i < runs.size(); ++i) {
    for (const Metric& metric : kMetrics) {
      std::vector<Point> upper, lower;
      for (const ClassRow& row : runs[i].run.rows) {
        bool present = Present(metric, row) && HasInterval(row, metric.low, metric.high);
        upper.push_back({area.X(row.pcut), area.Y(row.*metric.high), present});
        lower.push_back({area.X(row.pcut), area.Y(row.*metric.low), present});
      }
      DrawBand(svg, upper, lower,
               {{"fill", kColours[i]}, {"fill-opacity", kBandOpacity}, {"stroke", "none"}});
    }
  }
  for (size_t i = 0; i < runs.size(); ++i) {
    std::vector<std::vector<Point>> lines;
    std::vector<Attributes> styles;
    for (const Metric& metric : kMetrics) {
      lines.emplace_back();
      for (const ClassRow& row : runs[i].run.rows) {
        lines.back().push_back({area.X(row.pcut), area.Y(row.*metric.value), Present(metric, row)});
      }
      styles.push_back(LineStyle(metric));
    }
    DrawRunLines(svg, i, lines, styles);
  }
  svg->End();
}

// Whether panel c draws the row's box of intervals.
bool Boxed(const ClassRow& row) {
  return HasInterval(row, &ClassRow::power_low, &ClassRow::power_high) &&
         HasInterval(row, &ClassRow::false_pos_low, &ClassRow::false_pos_high);
}

// The largest false-positive rate that panel c shows, boxes included.
double LargestFalsePos(const std::vector<LabelledRun>& runs) {
  double largest = 0;
  for (const LabelledRun& labelled : runs) {
    for (const ClassRow& row : labelled.run.rows) {
      if (std::isfinite(row.false_pos) && std::isfinite(row.power)) {
        largest = std::max(largest, row.false_pos);
      }
      if (Boxed(row)) largest = std::max(largest, row.false_pos_high);
    }
  }
  return largest;
}

void DrawPowerFalsePos(SvgWriter* svg, const PlotArea& area, const std::vector<LabelledRun>& runs) {
  area.DrawAxes(svg);
  DrawHeading(svg, area, "c", "Power against false-positive rate");
  svg->Start("g", {{"clip-path", "url(#power-clip)"}});
  // A box per cut-off spans both intervals; the run's boxes drawn opaque and the group
  // made translucent, so that overlapping boxes show as one band.
  for (size_t i = 0; i < runs.size(); ++i) {
    std::vector<const ClassRow*> boxed;
    for (const ClassRow& row : runs[i].run.rows) {
      if (Boxed(row)) boxed.push_back(&row);
    }
    if (boxed.empty()) continue;
    svg->Start("g", {{"fill", kColours[i]}, {"opacity", kBandOpacity}});
    for (const ClassRow* row : boxed) {
      // At least 2 units wide and high, so that an interval of one value still shows.
      double left = area.X(row->false_pos_low), right = area.X(row->false_pos_high);
      double top = area.Y(row->power_high), bottom = area.Y(row->power_low);
      double width = std::max(2.0, right - left), height = std::max(2.0, bottom - top);
      svg->Element("rect", {{"x", Num((left + right - width) / 2)},
                            {"y", Num((top + bottom - height) / 2)},
                            {"width", Num(width)},
                            {"height", Num(height)}});
    }
    svg->End();
  }
  for (size_t i = 0; i < runs.size(); ++i) {
    std::vector<Point> points;
    for (const ClassRow& row : runs[i].run.rows) {
      bool present = std::isfinite(row.false_pos) && std::isfinite(row.power);
      points.push_back(
          {area.X(present ? row.false_pos : 0), area.Y(present ? row.power : 0), present});
    }
    DrawRunLines(svg, i, {points}, {{}});
  }
  svg->End();
}

bool HasBands(const std::vector<LabelledRun>& runs) {
  for (const LabelledRun& labelled : runs) {
    for (const ClassRow& row : labelled.run.rows) {
      for (const Metric& metric : kMetrics) {
        if (HasInterval(row, metric.low, metric.high)) return true;
      }
    }
  }
  return false;
}

// Lines of `text` wrapped from `x` to the legend's right edge, the first with its baseline
// at `*y`; leaves `*y` at the baseline after the last.
void DrawWrapped(SvgWriter* svg, double x, double* y, double size, const std::string& text,
                 const Attributes& more = {}) {
  for (const std::string& line : WrapText(text, size, kLegendRight - x)) {
    DrawText(svg, x, *y, size, "start", line, more);
    *y += size + 3;
  }
}

// The legend and the key beside panel c, from the baseline `y` down. Returns the bottom of
// the last line.
double DrawLegend(SvgWriter* svg, const std::vector<LabelledRun>& runs, double y) {
  const double sample = 26, text_x = kLegendLeft + sample + 6;
  for (size_t i = 0; i < runs.size(); ++i) {
    double mid = y - 3.5;  // the middle of a lower-case letter
    svg->Start("g", {{"fill", kColours[i]}, {"stroke", kColours[i]}, {"stroke-width", "1.4"}});
    svg->Element("line", {{"x1", Num(kLegendLeft)},
                          {"y1", Num(mid)},
                          {"x2", Num(kLegendLeft + sample)},
                          {"y2", Num(mid)}});
    DrawMarker(svg, i, kLegendLeft + sample / 2, mid, 3.5);
    svg->End();
    DrawWrapped(svg, text_x, &y, kLegendSize, runs[i].label);
  }
  y += 6;
  for (const Metric& metric : kMetrics) {
    Attributes style = {
        {"x1", Num(kLegendLeft)}, {"y1", Num(y - 3.5)},  {"x2", Num(kLegendLeft + sample)},
        {"y2", Num(y - 3.5)},     {"stroke", "#000000"}, {"stroke-width", "1.4"}};
    Attributes dashes = LineStyle(metric);
    style.insert(style.end(), dashes.begin(), dashes.end());
    svg->Element("line", style);
    DrawWrapped(svg, text_x, &y, kLegendSize, metric.legend);
  }
  if (HasBands(runs)) {
    svg->Element("rect", {{"x", Num(kLegendLeft)},
                          {"y", Num(y - 8)},
                          {"width", Num(sample)},
                          {"height", "9"},
                          {"fill", "#000000"},
                          {"opacity", kBandOpacity}});
    DrawWrapped(svg, text_x, &y, kLegendSize, kBandLegend);
  }
  y += 6;
  DrawWrapped(svg, kLegendLeft, &y, kNoteSize, kKeyTitle);
  double largest = MarkerRadius(kKeyShares[std::size(kKeyShares) - 1]);
  double mid = y - kNoteSize + largest;
  // Each key marker's left edge, its label just right of it.
  std::vector<double> lefts = {kLegendLeft};
  for (size_t k = 0; k < std::size(kKeyShares); ++k) {
    lefts.push_back(lefts[k] + 2 * MarkerRadius(kKeyShares[k]) + 4 +
                    TextWidth(kKeyLabels[k], kNoteSize) + 12);
  }
  svg->Start("g", {{"fill", "#888888"}, {"fill-opacity", "0.6"}, {"stroke", "#555555"}});
  for (size_t k = 0; k < std::size(kKeyShares); ++k) {
    double radius = MarkerRadius(kKeyShares[k]);
    DrawMarker(svg, 0, lefts[k] + radius, mid, radius);
  }
  svg->End();
  for (size_t k = 0; k < std::size(kKeyShares); ++k) {
    double radius = MarkerRadius(kKeyShares[k]);
    DrawText(svg, lefts[k] + 2 * radius + 4, mid + 3.5, kNoteSize, "start", kKeyLabels[k]);
  }
  y = mid + largest + kNoteSize + 6;
  DrawWrapped(svg, kLegendLeft, &y, kNoteSize, kNote, {{"fill", "#333333"}});
  return y - kNoteSize;
}

}  // namespace

std::string DrawFigure(const std::vector<LabelledRun>& runs, const std::string& title) {
  std::vector<std::string> title_lines;
  if (!title.empty()) {
    // Bold letters are about a tenth wider than the regular ones TextWidth measures.
    title_lines = WrapText(title, kTitleSize * 1.1, kWidth - 2 * kEdge);
  }
  double line = kTitleSize + 4;
  double top = title.empty() ? 34 : 22 + line * (title_lines.size() - 1) + 36;
  // Pads in panel a keep a circle of every size within the plot area, and the clip path
  // reaches a little further, for the corners of the largest triangles.
  PlotArea calibration(kLeftColumn, top, kPlotWidth, kPlotHeight,
                       ProbabilityAxis(kFullRadius, "Posterior probability (middle of the class)"),
                       ShareAxis(kFullRadius + 1, "Accuracy in the class (AccuracyBin)"));
  PlotArea cutoff(kRightColumn, top, kPlotWidth, kPlotHeight,
                  ProbabilityAxis(5, "Cut-off Pcut (posterior probability above it)"),
                  ShareAxis(6, "Proportion"));
  double second_top = calibration.Bottom() + kRowGap;
  PlotArea power(kLeftColumn, second_top, kPlotWidth, kPlotHeight,
                 RoundedAxis(LargestFalsePos(runs), "False-positive rate (FalsePos)"),
                 ShareAxis(6, "Power"));
  SvgWriter scratch;  // the legend drawn once to measure it
  double legend_top = second_top - 9;
  double height =
      std::ceil(std::max(power.Bottom() + 48, DrawLegend(&scratch, runs, legend_top) + 12));

  SvgWriter svg;
  svg.Start("svg", {{"xmlns", "http://www.w3.org/2000/svg"},
                    {"version", "1.1"},
                    {"width", Num(kWidth / 4) + "mm"},
                    {"height", Num(height / 4) + "mm"},
                    {"viewBox", "0 0 " + Num(kWidth) + " " + Num(height)},
                    {"font-family", "sans-serif"}});
  svg.Element("title", {}, title.empty() ? "Accuracy, power and false positives" : title);
  svg.Start("defs", {});
  calibration.WriteClipPath(&svg, "calibration-clip", 8);
  cutoff.WriteClipPath(&svg, "cutoff-clip");
  power.WriteClipPath(&svg, "power-clip");
  svg.End();
  svg.Element("rect", {{"width", Num(kWidth)}, {"height", Num(height)}, {"fill", "#FFFFFF"}});
  for (size_t i = 0; i < title_lines.size(); ++i) {
    DrawText(&svg, kWidth / 2, 22 + line * i, kTitleSize, "middle", title_lines[i],
             {{"font-weight", "bold"}});
  }
  DrawCalibration(&svg, calibration, runs);
  DrawCutoff(&svg, cutoff, runs);
  DrawPowerFalsePos(&svg, power, runs);
  svg.Start("g", {{"id", "legend"}});
  DrawLegend(&svg, runs, legend_top);
  svg.End();
  svg.End();
  return svg.Document();
}

}  // namespace siteplot
