// The plot area, text, markers, line paths and bands of the figure.
#include "siteplot/plot_parts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string_view>

namespace siteplot {

namespace {

const double kTickLength = 4;
const double kTickLabelSize = 10;
const double kAxisTitleSize = 11;
const char kGridColour[] = "#E5E5E5";
const double kPi = 3.14159265358979323846;

std::string TickLabel(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// Bytes of the first `characters` UTF-8 characters of `text` (a stray continuation byte
// goes with the character before it).
size_t CharactersLength(const std::string& text, size_t characters) {
  size_t at = 0;
  for (size_t seen = 0; at < text.size(); ++at) {
    bool lead = (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
    if (lead && seen++ == characters) break;
  }
  return at;
}

void Line(SvgWriter* svg, double x1, double y1, double x2, double y2) {
  svg->Element("line", {{"x1", Num(x1)}, {"y1", Num(y1)}, {"x2", Num(x2)}, {"y2", Num(y2)}});
}

}  // namespace

Axis RoundedAxis(double largest, const std::string& title) {
  if (!std::isfinite(largest) || largest < 0.001) largest = 0.001;
  // The smallest step that reaches `largest` in at most 6 steps.
  int power = static_cast<int>(std::floor(std::log10(largest / 6)));
  double step = 0;
  int steps = 0, decimals = 0;
  for (int p = power; steps == 0; ++p) {
    for (double mantissa : {1.0, 2.0, 2.5, 5.0}) {
      step = mantissa * std::pow(10.0, p);
      double needed = std::ceil(largest / step - 1e-9);
      if (needed <= 6) {
        steps = static_cast<int>(needed);
        decimals = std::max(0, -p) + (mantissa == 2.5 ? 1 : 0);
        break;
      }
    }
  }
  Axis axis;
  for (int i = 0; i <= steps; ++i) axis.ticks.push_back(i * step);
  axis.low = -0.03 * steps * step;
  axis.high = 1.03 * steps * step;
  axis.title = title;
  axis.decimals = decimals;
  return axis;
}

PlotArea::PlotArea(double left, double top, double width, double height, Axis x, Axis y)
    : left_(left), top_(top), width_(width), height_(height), x_(std::move(x)), y_(std::move(y)) {}

double PlotArea::X(double value) const {
  return left_ + (value - x_.low) / (x_.high - x_.low) * width_;
}

double PlotArea::Y(double value) const {
  return Bottom() - (value - y_.low) / (y_.high - y_.low) * height_;
}

void PlotArea::WriteClipPath(SvgWriter* svg, const std::string& id, double margin) const {
  svg->Start("clipPath", {{"id", id}});
  svg->Element("rect", {{"x", Num(left_ - margin)},
                        {"y", Num(top_ - margin)},
                        {"width", Num(width_ + 2 * margin)},
                        {"height", Num(height_ + 2 * margin)}});
  svg->End();
}

void PlotArea::DrawAxes(SvgWriter* svg) const {
  double right = left_ + width_;
  svg->Start("g", {{"stroke", kGridColour}, {"stroke-width", "0.6"}});
  for (double tick : x_.ticks) Line(svg, X(tick), top_, X(tick), Bottom());
  for (double tick : y_.ticks) Line(svg, left_, Y(tick), right, Y(tick));
  svg->End();
  svg->Start("g", {{"stroke", "#000000"}, {"stroke-width", "1"}, {"stroke-linecap", "square"}});
  Line(svg, left_, top_, left_, Bottom());
  Line(svg, left_, Bottom(), right, Bottom());
  for (double tick : x_.ticks) Line(svg, X(tick), Bottom(), X(tick), Bottom() + kTickLength);
  for (double tick : y_.ticks) Line(svg, left_ - kTickLength, Y(tick), left_, Y(tick));
  svg->End();
  for (double tick : x_.ticks) {
    DrawText(svg, X(tick), Bottom() + kTickLength + 11, kTickLabelSize, "middle",
             TickLabel(tick, x_.decimals));
  }
  for (double tick : y_.ticks) {
    DrawText(svg, left_ - kTickLength - 3, Y(tick) + 3.5, kTickLabelSize, "end",
             TickLabel(tick, y_.decimals));
  }
  DrawText(svg, left_ + width_ / 2, Bottom() + 34, kAxisTitleSize, "middle", x_.title);
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
  double ems = 0;
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) == 0x80) continue;  // within a character
    if (byte >= 0x80 || std::string_view("MWmw%@").find(c) != std::string_view::npos) {
      ems += 1;  // other scripts at their widest: a full em
    } else if (std::string_view(" .,:;'!|/-()[]iIjlftr").find(c) != std::string_view::npos) {
      ems += 0.4;
    } else {
      ems += c >= 'A' && c <= 'Z' ? 0.8 : 0.64;
    }
  }
  return ems * size;
}

std::vector<std::string> WrapText(const std::string& text, double size, double width) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t start = 0; start <= text.size();) {
    size_t end = std::min(text.find(' ', start), text.size());
    std::string word = text.substr(start, end - start);
    start = end + 1;
    if (word.empty()) continue;
    std::string longer = line.empty() ? word : line + ' ' + word;
    if (TextWidth(longer, size) <= width) {
      line = longer;
      continue;
    }
    if (!line.empty()) lines.push_back(line);
    while (TextWidth(word, size) > width) {
      // The most characters that fit, at least one.
      size_t fits = 1;
      while (TextWidth(word.substr(0, CharactersLength(word, fits + 1)), size) <= width) ++fits;
      lines.push_back(word.substr(0, CharactersLength(word, fits)));
      word.erase(0, CharactersLength(word, fits));
    }
    line = word;
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
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

void DrawBand(SvgWriter* svg, const std::vector<Point>& upper, const std::vector<Point>& lower,
              const Attributes& style) {
  std::string path;
  for (size_t start = 0; start < upper.size();) {
    size_t end = start;
    while (end < upper.size() && upper[end].present && lower[end].present) ++end;
    if (end - start >= 2) {
      for (size_t i = start; i < end; ++i) {
        path += (i == start ? "M" : "L") + Num(upper[i].x) + "," + Num(upper[i].y);
      }
      for (size_t i = end; i-- > start;) path += "L" + Num(lower[i].x) + "," + Num(lower[i].y);
      path += "Z";
    }
    start = end + 1;
  }
  if (path.empty()) return;
  Attributes attributes = {{"d", path}};
  attributes.insert(attributes.end(), style.begin(), style.end());
  svg->Element("path", attributes);
}

}  // namespace siteplot
