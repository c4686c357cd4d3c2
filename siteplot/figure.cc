// The figure: layout, the two panels and the legend. Figure units are 0.25 mm.
#include "siteplot/figure.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "siteplot/plot_parts.h"
#include "siteplot/svg_writer.h"
#include "siteplot/wilson.h"

namespace siteplot {

namespace {

const double kWidth = 720;  // 180 mm, a journal's full column width
const double kPlotWidth = 264, kPlotHeight = 216;
const double kCalibrationLeft = 64, kCutoffLeft = 432;
const double kLegendRow = 18;
const double kLegendRight = 696;

// Okabe-Ito colours, in the order runs take them; black stays for the axes.
const char* const kColours[] = {"#0072B2", "#D55E00", "#009E73", "#CC79A7",
                                "#E69F00", "#56B4E9", "#F0E442"};

// Run i takes colour i and marker shape i, for every i the command line lets through.
static_assert(kMaxRuns <= static_cast<int>(std::size(kColours)), "a colour for every run");
static_assert(kMaxRuns <= kShapeCount, "a marker shape for every run");

// The cut-off panel's three series, told apart by line style.
struct Metric {
  const char* legend;
  const char* dashes;  // stroke-dasharray; empty for a solid line
  double ClassRow::*value;
};
const Metric kMetrics[] = {
    {"AccuracyCum: share of the sites above the cut-off that are true", "",
     &ClassRow::accuracy_cum},
    {"Power: share of the true sites found", "6 3", &ClassRow::power},
    {"FalsePos: false-positive rate", "0.5 3", &ClassRow::false_pos},
};

const char kNote[] =
    "In a: marker area grows with the sites in the class; bars are 95% Wilson intervals; "
    "dashed line y = x.";

Attributes LineStyle(const Metric& metric) {
  Attributes style = {{"stroke-linecap", "round"}};
  if (*metric.dashes) style.push_back({"stroke-dasharray", metric.dashes});
  return style;
}

Axis ProbabilityAxis(const std::string& title) {
  return {0.49, 1.01, {0.5, 0.6, 0.7, 0.8, 0.9, 1.0}, title};
}

Axis ShareAxis(const std::string& title) {
  return {-0.03, 1.03, {0, 0.2, 0.4, 0.6, 0.8, 1.0}, title};
}

// The panel's letter and what it shows, above its top left corner.
void DrawHeading(SvgWriter* svg, const PlotArea& area, const char* letter, const char* text) {
  double x = area.left() - 50, y = area.top() - 9;
  DrawText(svg, x, y, 12, "start", letter, {{"font-weight", "bold"}});
  DrawText(svg, x + 14, y, 12, "start", text, {{"font-weight", "bold"}});
}

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
  double largest = 0;
  for (const LabelledRun& labelled : runs) {
    for (const ClassRow& row : labelled.run.rows) largest = std::max(largest, row.bin_count);
  }
  svg->Start("g", {{"clip-path", "url(#calibration-clip)"}});
  for (size_t i = 0; i < runs.size(); ++i) {
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
      double radius = std::max(1.5, 8 * std::sqrt(row.bin_count / largest));
      DrawMarker(svg, i, x, area.Y(row.accuracy_bin), radius);
    }
    svg->End();
  }
  svg->End();
}

void DrawCutoff(SvgWriter* svg, const PlotArea& area, const std::vector<LabelledRun>& runs) {
  area.DrawAxes(svg);
  DrawHeading(svg, area, "b", "Cut-off: accuracy, power, false positives");
  svg->Start("g", {{"clip-path", "url(#cutoff-clip)"}});
  for (size_t i = 0; i < runs.size(); ++i) {
    svg->Start("g", {{"fill", "none"},
                     {"stroke", kColours[i]},
                     {"stroke-width", "1.4"},
                     {"stroke-linejoin", "round"}});
    std::vector<Point> markers;
    for (const Metric& metric : kMetrics) {
      std::vector<Point> points;
      for (const ClassRow& row : runs[i].run.rows) {
        double value = row.*metric.value;
        // Accuracy above a cut-off that keeps no site is 0 / 0: no point.
        bool present =
            std::isfinite(value) && (metric.value != &ClassRow::accuracy_cum || row.cum_count > 0);
        points.push_back({area.X(row.pcut), area.Y(value), present});
        if (present) markers.push_back(points.back());
      }
      DrawPolyline(svg, points, LineStyle(metric));
    }
    svg->Start("g", {{"fill", kColours[i]}, {"stroke", "none"}});
    for (const Point& point : markers) DrawMarker(svg, i, point.x, point.y, 1.8);
    svg->End();
    svg->End();
  }
  svg->End();
}

// One legend entry: a run (colour and marker), a metric (line style) or the note.
struct LegendEntry {
  std::string text;
  int run = -1;
  int metric = -1;
  double x = 0, y = 0;  // the sample's left end and the text's baseline
};

// The entries in rows from `top` down: runs, then metrics, then the note, each group on new
// rows, wrapped at the right edge. Returns the bottom of the last row.
double LayOutLegend(const std::vector<LabelledRun>& runs, double top,
                    std::vector<LegendEntry>* entries) {
  for (size_t i = 0; i < runs.size(); ++i) entries->push_back({runs[i].label, int(i)});
  for (size_t m = 0; m < std::size(kMetrics); ++m) {
    entries->push_back({kMetrics[m].legend, -1, int(m)});
  }
  entries->push_back({kNote});
  double x = kCalibrationLeft, y = top + 12;
  int group = 0;  // 0 runs, 1 metrics, 2 the note
  for (LegendEntry& entry : *entries) {
    int entry_group = entry.run >= 0 ? 0 : entry.metric >= 0 ? 1 : 2;
    double size = entry_group == 2 ? 10 : 11;
    double width = (entry_group == 2 ? 0 : 32) + TextWidth(entry.text, size);
    bool new_group = entry_group != group;
    if (x > kCalibrationLeft && (new_group || x + width > kLegendRight)) {
      x = kCalibrationLeft;
      y += kLegendRow;
    }
    group = entry_group;
    entry.x = x;
    entry.y = y;
    x += width + 18;
  }
  return y + 6;
}

void DrawLegend(SvgWriter* svg, const std::vector<LegendEntry>& entries) {
  for (const LegendEntry& entry : entries) {
    double mid = entry.y - 3.5;  // the middle of a lower-case letter
    if (entry.run >= 0) {
      const char* colour = kColours[entry.run];
      svg->Start("g", {{"fill", colour}, {"stroke", colour}, {"stroke-width", "1.4"}});
      svg->Element(
          "line",
          {{"x1", Num(entry.x)}, {"y1", Num(mid)}, {"x2", Num(entry.x + 26)}, {"y2", Num(mid)}});
      DrawMarker(svg, entry.run, entry.x + 13, mid, 3.5);
      svg->End();
    } else if (entry.metric >= 0) {
      Attributes style = {{"x1", Num(entry.x)}, {"y1", Num(mid)},      {"x2", Num(entry.x + 26)},
                          {"y2", Num(mid)},     {"stroke", "#000000"}, {"stroke-width", "1.4"}};
      Attributes dashes = LineStyle(kMetrics[entry.metric]);
      style.insert(style.end(), dashes.begin(), dashes.end());
      svg->Element("line", style);
    }
    bool note = entry.run < 0 && entry.metric < 0;
    DrawText(svg, entry.x + (note ? 0 : 32), entry.y, note ? 10 : 11, "start", entry.text,
             note ? Attributes{{"fill", "#333333"}} : Attributes{});
  }
}

}  // namespace

std::string DrawFigure(const std::vector<LabelledRun>& runs, const std::string& title) {
  double top = title.empty() ? 34 : 58;
  PlotArea calibration(kCalibrationLeft, top, kPlotWidth, kPlotHeight,
                       ProbabilityAxis("Posterior probability (middle of the class)"),
                       ShareAxis("Accuracy in the class (AccuracyBin)"));
  PlotArea cutoff(kCutoffLeft, top, kPlotWidth, kPlotHeight,
                  ProbabilityAxis("Cut-off Pcut (posterior probability above it)"),
                  ShareAxis("Proportion"));
  std::vector<LegendEntry> legend;
  double height = std::ceil(LayOutLegend(runs, calibration.bottom() + 48, &legend) + 8);

  SvgWriter svg;
  svg.Start("svg", {{"xmlns", "http://www.w3.org/2000/svg"},
                    {"version", "1.1"},
                    {"width", Num(kWidth / 4) + "mm"},
                    {"height", Num(height / 4) + "mm"},
                    {"viewBox", "0 0 " + Num(kWidth) + " " + Num(height)},
                    {"font-family", "sans-serif"}});
  svg.Element("title", {}, title.empty() ? "Accuracy, power and false positives" : title);
  svg.Start("defs", {});
  calibration.WriteClipPath(&svg, "calibration-clip");
  cutoff.WriteClipPath(&svg, "cutoff-clip");
  svg.End();
  svg.Element("rect", {{"width", Num(kWidth)}, {"height", Num(height)}, {"fill", "#FFFFFF"}});
  if (!title.empty()) {
    DrawText(&svg, kWidth / 2, 22, 14, "middle", title, {{"font-weight", "bold"}});
  }
  DrawCalibration(&svg, calibration, runs);
  DrawCutoff(&svg, cutoff, runs);
  DrawLegend(&svg, legend);
  svg.End();
  return svg.Document();
}

}  // namespace siteplot
