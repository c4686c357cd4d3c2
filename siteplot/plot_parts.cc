// The plot area, text, markers and line paths of the figure.
#include "siteplot/plot_parts.h"

#include <cmath>
#include <cstdio>
#include <iterator>

namespace siteplot {

namespace {

const double kTickLength = 4;
const double kTickLabelSize = 10;
const double kAxisTitleSize = 11;
const char kGridColour[] = "#E5E5E5";
const double kPi = 3.14159265358979323846;

std::string TickLabel(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

void Line(SvgWriter* svg, double x1, double y1, double x2, double y2) {
  svg->Element("line", {{"x1", Num(x1)}, {"y1", Num(y1)}, {"x2", Num(x2)}, {"y2", Num(y2)}});
}

}  // namespace

PlotArea::PlotArea(double left, double top, double width, double height, Axis x, Axis y)
    : left_(left), top_(top), width_(width), height_(height), x_(std::move(x)), y_(std::move(y)) {}

double PlotArea::X(double value) const {
  return left_ + (value - x_.low) / (x_.high - x_.low) * width_;
}

double PlotArea::Y(double value) const {
  return bottom() - (value - y_.low) / (y_.high - y_.low) * height_;
}

void PlotArea::WriteClipPath(SvgWriter* svg, const std::string& id) const {
  svg->Start("clipPath", {{"id", id}});
  svg->Element(
      "rect",
      {{"x", Num(left_)}, {"y", Num(top_)}, {"width", Num(width_)}, {"height", Num(height_)}});
  svg->End();
}

void PlotArea::DrawAxes(SvgWriter* svg) const {
  double right = left_ + width_;
  svg->Start("g", {{"stroke", kGridColour}, {"stroke-width", "0.6"}});
  for (double tick : x_.ticks) Line(svg, X(tick), top_, X(tick), bottom());
  for (double tick : y_.ticks) Line(svg, left_, Y(tick), right, Y(tick));
  svg->End();
  svg->Start("g", {{"stroke", "#000000"}, {"stroke-width", "1"}, {"stroke-linecap", "square"}});
  Line(svg, left_, top_, left_, bottom());
  Line(svg, left_, bottom(), right, bottom());
  for (double tick : x_.ticks) Line(svg, X(tick), bottom(), X(tick), bottom() + kTickLength);
  for (double tick : y_.ticks) Line(svg, left_ - kTickLength, Y(tick), left_, Y(tick));
  svg->End();
  for (double tick : x_.ticks) {
    DrawText(svg, X(tick), bottom() + kTickLength + 11, kTickLabelSize, "middle", TickLabel(tick));
  }
  for (double tick : y_.ticks) {
    DrawText(svg, left_ - kTickLength - 3, Y(tick) + 3.5, kTickLabelSize, "end", TickLabel(tick));
  }
  DrawText(svg, left_ + width_ / 2, bottom() + 34, kAxisTitleSize, "middle", x_.title);
  double title_x = left_ - 34, title_y = top_ + height_ / 2;
  DrawText(svg, title_x, title_y, kAxisTitleSize, "middle", y_.title,
           {{"transform", "rotate(-90 " + Num(title_x) + " " + Num(title_y) + ")"}});
}

void DrawText(SvgWriter* svg, double x, double y, double size, const char* anchor,
              const std::string& text, const Attributes& more) {
  Attributes attributes = {{"x", Num(x)}, {"y", Num(y)}, {"font-size", Num(size)}};
  if (std::string(anchor) != "start") attributes.push_back({"text-anchor", anchor});
  attributes.insert(attributes.end(), more.begin(), more.end());
  svg->Element("text", attributes, text);
}

double TextWidth(const std::string& text, double size) {
  int characters = 0;
  for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return characters * 0.6 * size;
}

void DrawMarker(SvgWriter* svg, int shape, double x, double y, double radius) {
  if (shape == 0) {
    svg->Element("circle", {{"cx", Num(x)}, {"cy", Num(y)}, {"r", Num(radius)}});
    return;
  }
  // Corners and turn of each polygon: square, triangle up, diamond, triangle down,
  // pentagon, hexagon.
  static const int kCorners[] = {0, 4, 3, 4, 3, 5, 6};
  static const double kTurn[] = {0, 45, -90, 0, 90, -90, 0};
  static_assert(std::size(kCorners) == kShapeCount && std::size(kTurn) == kShapeCount);
  int corners = kCorners[shape];
  // The circumradius that gives the polygon the circle's area.
  double outer = radius * std::sqrt(2 * kPi / (corners * std::sin(2 * kPi / corners)));
  std::string path;
  for (int i = 0; i < corners; ++i) {
    double angle = (kTurn[shape] + 360.0 * i / corners) * kPi / 180;
    path += (i == 0 ? "M" : "L") + Num(x + outer * std::cos(angle)) + "," +
            Num(y + outer * std::sin(angle));
  }
  svg->Element("path", {{"d", path + "Z"}});
}

void DrawPolyline(SvgWriter* svg, const std::vector<Point>& points, const Attributes& style) {
  std::string path;
  bool drawing = false;
  for (const Point& point : points) {
    if (!point.present) {
      drawing = false;
      continue;
    }
    path += (drawing ? "L" : "M") + Num(point.x) + "," + Num(point.y);
    drawing = true;
  }
  if (path.empty()) return;
  Attributes attributes = {{"d", path}};
  attributes.insert(attributes.end(), style.begin(), style.end());
  svg->Element("path", attributes);
}

}  // namespace siteplot
