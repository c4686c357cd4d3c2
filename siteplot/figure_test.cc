// The figure's marks on a run written here: what is left out (classes without sites,
// values printed as inf, accuracy above a cut that keeps no site) and marker sizes.
// The whole figure of the example study is compared byte for byte in siteplot_test.cc.
#include "siteplot/figure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace siteplot {
namespace {

int Count(const std::string& text, const std::string& what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

// The part of `text` from `from` to `to`.
std::string Between(const std::string& text, const std::string& from, const std::string& to) {
  size_t start = text.find(from);
  return text.substr(start, text.find(to, start) - start);
}

// The marks of the panel whose clip path is `id`: the group that the clip path applies to.
std::string Marks(const std::string& svg, const std::string& id) {
  return Between(svg, "url(#" + id + ")", "</g>\n </g>");
}

// The whole element of `text` that holds `attribute`.
std::string ElementWith(const std::string& text, const std::string& attribute) {
  size_t at = text.find(attribute);
  size_t start = text.rfind('<', at);
  return text.substr(start, text.find("/>", at) - start);
}

// Class i holds i + 1 sites, half of them true, except classes 3 and 6, which hold none;
// FalsePos is inf at the ninth cut; the last cut keeps no site.
CheckerRun MakeRun() {
  CheckerRun run;
  run.method = "NEB";
  for (int i = 0; i < kClassCount; ++i) {
    ClassRow row;
    row.p_low = 0.5 + 0.025 * i;
    row.p_high = row.p_low + 0.025;
    row.pcut = row.p_low;
    row.bin_count = (i == 3 || i == 6) ? 0 : i + 1;
    row.accuracy_bin = row.bin_count > 0 ? 0.5 : 0;
    row.cum_count = i == 20 ? 0 : 100 - i;
    row.accuracy_cum = i == 20 ? 0 : 0.6;
    row.power = 0.7;
    row.false_pos = i == 8 ? INFINITY : 0.1;
    run.rows.push_back(row);
  }
  return run;
}

TEST(FigureTest, MarksLeftOut) {
  std::string svg = DrawFigure({{"one", MakeRun()}}, "");
  std::string calibration = Marks(svg, "calibration-clip");
  EXPECT_EQ(Count(calibration, "<circle"), 19);  // no marker for classes 3 and 6
  EXPECT_EQ(Count(calibration, "<line"), 19);    // nor an interval
  EXPECT_EQ(Count(calibration, " r=\"8\""), 1);  // the largest class has the largest marker
  std::string cutoff = Marks(svg, "cutoff-clip");
  std::string accuracy = Between(cutoff, "<path", "/>");
  EXPECT_EQ(Count(accuracy, "M"), 1);
  EXPECT_EQ(Count(accuracy, "L"), 19);  // 20 points: none at the cut without sites
  std::string false_pos = ElementWith(cutoff, "stroke-dasharray=\"0.5 3\"");
  EXPECT_EQ(Count(false_pos, "M"), 2);  // broken at the ninth cut
  EXPECT_EQ(Count(false_pos, "L"), 18);
  EXPECT_EQ(Count(cutoff, "<circle"), 20 + 21 + 20);  // markers on the three lines
}

}  // namespace
}  // namespace siteplot
