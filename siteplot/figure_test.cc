// The figure's marks on runs written here: what is left out (classes without sites,
// values printed as inf, accuracy above a cut that keeps no site), marker sizes, bands,
// the axis of false-positive rates, and wrapped text.
// The whole figure of the example study is compared byte for byte in siteplot_test.cc.
#include "siteplot/figure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "siteplot/plot_parts.h"

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
  CheckerRun big = MakeRun();
  for (ClassRow& row : big.rows) row.bin_count *= 1000;
  std::string svg = DrawFigure({{"one", MakeRun()}, {"big", big}}, "");
  std::string calibration = Marks(svg, "calibration-clip");
  EXPECT_EQ(Count(calibration, "<circle"), 19);    // no marker for classes 3 and 6
  EXPECT_EQ(Count(calibration, "<line"), 2 * 19);  // nor an interval
  // Areas by the class's share of the run's sites, whatever the other run's size: 21 of
  // 220 sites, and the smallest size for the classes under 1%.
  EXPECT_EQ(Count(calibration, " r=\"4.63\""), 1);
  EXPECT_EQ(Count(calibration, " r=\"1.5\""), 2);
  std::string cutoff = Marks(svg, "cutoff-clip");
  std::string accuracy = Between(cutoff, "<path", "/>");
  EXPECT_EQ(Count(accuracy, "M"), 1);
  EXPECT_EQ(Count(accuracy, "L"), 19);  // 20 points: none at the cut without sites
  std::string false_pos = ElementWith(cutoff, "stroke-dasharray=\"0.5 3\"");
  EXPECT_EQ(Count(false_pos, "M"), 2);  // broken at the ninth cut
  EXPECT_EQ(Count(false_pos, "L"), 18);
  EXPECT_EQ(Count(cutoff, "<circle"), 20 + 21 + 20);  // markers on the three lines
}

// Intervals at the first ten cuts: bands in b where the value is present too, boxes in c;
// c's axis ends at the largest rate shown, 0.001 when every rate is 0.
TEST(FigureTest, BandsAndRateAxis) {
  CheckerRun run = MakeRun();
  for (int i = 0; i < 10; ++i) {
    ClassRow& row = run.rows[i];
    row.power_low = 0.6;
    row.power_high = 0.8;
    row.false_pos_low = 0.05;
    row.false_pos_high = 0.17;
  }
  std::string svg = DrawFigure({{"one", run}}, "");
  std::string bands = Between(Marks(svg, "cutoff-clip"), "<path", "<g");
  EXPECT_EQ(Count(bands, "Z"), 2);  // power; false positives up to the inf at the ninth cut
  EXPECT_EQ(Count(Marks(svg, "power-clip"), "<rect"), 10);
  EXPECT_NE(svg.find(">0.20</text>"), std::string::npos);  // 0 to 0.20 by 0.05

  for (ClassRow& row : run.rows) row.false_pos = row.false_pos_low = row.false_pos_high = 0;
  svg = DrawFigure({{"one", run}}, "");
  EXPECT_NE(svg.find(">0.0010</text>"), std::string::npos);
  EXPECT_EQ(svg.find("nan"), std::string::npos);
}

TEST(FigureTest, WrapText) {  // at size 10: 6.4 units a small letter, 4 a blank
  EXPECT_EQ(WrapText("aaa bbb  ccc", 10, 45), (std::vector<std::string>{"aaa bbb", "ccc"}));
  EXPECT_EQ(WrapText("abcdefghij", 10, 45), (std::vector<std::string>{"abcdefg", "hij"}));
  EXPECT_EQ(WrapText("", 10, 45), std::vector<std::string>{""});
}

}  // namespace
}  // namespace siteplot
