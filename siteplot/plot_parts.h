// Pieces of the figure drawn the same way in every panel: the plot area with its axes,
// text, markers, line paths and bands.
#ifndef SITEPLOT_PLOT_PARTS_H_
#define SITEPLOT_PLOT_PARTS_H_

#include <string>
#include <utility>
#include <vector>

#include "siteplot/svg_writer.h"

namespace siteplot {

struct Axis {
  double low = 0;   // data value at the plot area's left or bottom edge
  double high = 1;  // at its right or top edge
  std::vector<double> ticks;
  std::string title;
  int decimals = 1;  // of the tick labels
};

/// An axis whose ticks run from 0 to a round number at or above `largest` in 3 to 6 steps
/// of 1, 2, 2.5 or 5 times a power of ten, with a margin of 3% at both ends. A `largest`
/// below 0.001, or not finite, counts as 0.001.
Axis RoundedAxis(double largest, const std::string& title);

/// A rectangle of the figure (in figure units) that shows data from `x` and `y`.
class PlotArea {
 public:
  PlotArea(double left, double top, double width, double height, Axis x, Axis y);
  double X(double value) const;
  double Y(double value) const;
  double Left() const { return left_; }
  double Top() const { return top_; }
  double Bottom() const { return top_ + height_; }
  /// `<clipPath id=id>` holding the area's rectangle grown by `margin` on every side, for
  /// marks that may reach beyond that.
  void WriteClipPath(SvgWriter* svg, const std::string& id, double margin = 0) const;
  /// Grid lines, the left and bottom axes with ticks, tick labels and axis titles.
  void DrawAxes(SvgWriter* svg) const;

 private:
  double left_, top_, width_, height_;
  Axis x_, y_;
};

/// A line of text with its baseline at `y`; `anchor` is start, middle or end.
void DrawText(SvgWriter* svg, double x, double y, double size, const char* anchor,
              const std::string& text, const Attributes& more = {});

/// Estimated width of `text` at `size`: each character at least as wide as in the widest
/// common sans-serif fonts (0.4 em for narrow ones such as i and the blank, 0.64 for other
/// small letters and digits, 0.8 for capitals, 1 for M, W, m, w and any letter beyond
/// ASCII), so that text measured by it never runs further than measured.
double TextWidth(const std::string& text, double size);

/// `text` in lines no wider than `width` (by TextWidth at `size`), broken at blanks; a word
/// wider than a line on its own is cut between characters. Always at least one line.
std::vector<std::string> WrapText(const std::string& text, double size, double width);

/// Number of marker shapes: circle, square, triangle up, diamond, triangle down, pentagon,
/// hexagon. Every shape of the same `radius` has the area of the circle of that radius.
/// `shape` is 0 to kShapeCount - 1.
constexpr int kShapeCount = 7;
void DrawMarker(SvgWriter* svg, int shape, double x, double y, double radius);

/// A point of a line in figure units; a point that is not `present` breaks the line.
struct Point {
  double x = 0;
  double y = 0;
  bool present = true;
};

/// One path through `points`, in pieces between the points that are not present.
void DrawPolyline(SvgWriter* svg, const std::vector<Point>& points, const Attributes& style);

/// The area between `upper` and `lower` (points of the same x, in the same order) as one
/// path of closed pieces, each over two or more neighbouring points that are present in both.
void DrawBand(SvgWriter* svg, const std::vector<Point>& upper, const std::vector<Point>& lower,
              const Attributes& style);

}  // namespace siteplot

#endif  // SITEPLOT_PLOT_PARTS_H_
