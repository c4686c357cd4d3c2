// Pieces of the figure drawn the same way in both panels: the plot area with its axes,
// text, markers and line paths.
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
};

/// A rectangle of the figure (in figure units) that shows data from `x` and `y`.
class PlotArea {
 public:
  PlotArea(double left, double top, double width, double height, Axis x, Axis y);
  double X(double value) const;
  double Y(double value) const;
  double left() const { return left_; }
  double top() const { return top_; }
  double bottom() const { return top_ + height_; }
  /// `<clipPath id=id>` holding the area's rectangle, for marks that may reach beyond it.
  void WriteClipPath(SvgWriter* svg, const std::string& id) const;
  /// Grid lines, the left and bottom axes with ticks, tick labels and axis titles.
  void DrawAxes(SvgWriter* svg) const;

 private:
  double left_, top_, width_, height_;
  Axis x_, y_;
};

/// A line of text with its baseline at `y`; `anchor` is start, middle or end.
void DrawText(SvgWriter* svg, double x, double y, double size, const char* anchor,
              const std::string& text, const Attributes& more = {});

/// Estimated width of `text` at `size`: about 0.6 em a character, the average of the
/// widest common sans-serif fonts, so that legend entries never run into each other.
double TextWidth(const std::string& text, double size);

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

}  // namespace siteplot

#endif  // SITEPLOT_PLOT_PARTS_H_
