// The parser on checker outputs written here: line ends, the pause prompt, values printed
// as inf or nan, and every kind of output without a complete table. Outputs of the real
// checkers are parsed in siteplot_test.cc.
#include "siteplot/checker_output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace siteplot {
namespace {

const char kHead[] =
    "VarnelDrovik <#sites>  <#repl>\n"
    "10 sites, 2 replicate.\n"
    "varnel file my 'mlc' starts with 'Naive Empirical' for each replicate.\n";
const char kReplicates[] =
    "\nReplicate   1:   3 drovik sites,   4 varnel sites at 50%,   2 matches"
    "\nReplicate   2:   0 drovik sites,   1 varnel sites at 50%,   0 matches";
const char kTableHeader[] =
    "\n\n     P           AccuracyBin      Pcut      AccuracyCum     Power  FalsePos\n\n";

// Row i of a table whose every class holds one true site, its last two columns as given.
std::string Row(int i, const char* power = "  0.500", const char* false_pos = "  0.000") {
  double low = i == 0 ? 0.5 : i < 20 ? 0.5 + 0.025 * i : 0.99;
  double high = i < 19 ? 0.525 + 0.025 * i : i == 19 ? 0.99 : 1.0;
  char row[200];
  std::snprintf(row, sizeof row, "%5.3f - %5.3f: %7.3f (%5.0f)    >%4.3f: %7.3f (%5.0f) %s %s\n",
                low, high, 1.0, 1.0, low, 1.0, 21.0 - i, power, false_pos);
  return row;
}

std::string Rows(int from, int to) {
  std::string rows;
  for (int i = from; i < to; ++i) rows += Row(i);
  return rows;
}

const std::string kTable = kTableHeader + Rows(0, 21);
const std::string kOutput = kHead + std::string(kReplicates) + kTable +
                            "\nTrue positive sites from drovik:     3 out of    20\n";

// Replicate lines and rows are found however the lines end and whatever stands before
// them: CR LF, the pause prompt, a usage text.
TEST(CheckerOutputTest, CrLfPromptAndBayesEmpirical) {
  std::string text =
      "Usage:\n\tSelwickBEB <#sites> <#repl>\n"
      "varnel file mlc starts with 'Bayes Empirical' for each replicate.\n"
      "Hit Enter to continue." +
      std::string(kReplicates) + kTable;
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  CheckerRun run;
  std::string err;
  ASSERT_TRUE(ParseCheckerOutput(crlf, &run, &err)) << err;
  EXPECT_EQ(run.method, "BEB");
  ASSERT_EQ(run.replicates.size(), 2u);
  EXPECT_EQ(run.replicates[1].predicted_sites, 1);
  ASSERT_EQ(run.rows.size(), 21u);
  EXPECT_EQ(run.rows[20].p_low, 0.99);
  EXPECT_EQ(run.rows[20].cum_count, 1);
}

TEST(CheckerOutputTest, InfinityAndNan) {
  std::string rows = Row(0, "    inf", "   -nan") + Row(1, "   -inf", "    nan") + Rows(2, 21);
  CheckerRun run;
  std::string err;
  ASSERT_TRUE(ParseCheckerOutput(kHead + std::string(kTableHeader) + rows, &run, &err)) << err;
  EXPECT_TRUE(std::isinf(run.rows[0].power) && run.rows[0].power > 0);
  EXPECT_TRUE(std::isnan(run.rows[0].false_pos));
  EXPECT_TRUE(std::isinf(run.rows[1].power) && run.rows[1].power < 0);
  EXPECT_TRUE(std::isnan(run.rows[1].false_pos));
}

TEST(CheckerOutputTest, NoCompleteTable) {
  static const std::string kCut = "summary table cut short after ";
  static const std::string kError = "the checker run ended with an error: ";
  struct Case {
    const char* name;
    std::string text;
    std::string err;
  };
  static const Case kCases[] = {
      {"empty", "", "no summary table"},
      {"settings lines only", kHead, "no summary table"},
      {"cut off in a replicate line", kHead + std::string("\nReplicate   1:   3 dro"),
       "no summary table"},
      {"error after a replicate line",
       kHead + std::string(kReplicates) + "Too many sites. ls wrong?\n",
       kError + "Too many sites. ls wrong?"},
      {"error after the prompt", kHead + std::string("Hit Enter to continue.file error\n\n"),
       kError + "file error"},
      {"header without rows", kHead + std::string(kTableHeader), kCut + "0 of its 21 rows"},
      {"seven rows", kHead + std::string(kTableHeader) + Rows(0, 7), kCut + "7 of its 21 rows"},
      {"row 8 without FalsePos",
       kHead + std::string(kTableHeader) + Rows(0, 7) + Row(7, "  0.500", "") + Rows(8, 21),
       kCut + "7 of its 21 rows"},
      {"a count of inf in row 3",
       kHead + std::string(kTableHeader) + Rows(0, 2) +
           "0.550 - 0.575:   1.000 (  inf)    >0.550:   1.000 (   19)   0.500   0.000\n",
       kCut + "2 of its 21 rows"},
      {"row 21 with a word after it",
       kHead + std::string(kTableHeader) + Rows(0, 20) + Row(20, "  0.500", "0.000 x"),
       kCut + "20 of its 21 rows"},
      {"row 21 cut inside its last number",
       kHead + std::string(kTableHeader) + Rows(0, 20) +
           Row(20, "  0.500", "  0.026").substr(0, Row(20).size() - 2),
       kCut + "20 of its 21 rows"},
      {"row 21 without its line break",
       kHead + std::string(kTableHeader) + Rows(0, 20) + Row(20).substr(0, Row(20).size() - 1),
       kCut + "20 of its 21 rows"},
      {"table without the settings lines", kTable,
       "no line 'varnel file ... starts with ... for each replicate.' naming the method"},
      {"unknown header text",
       "varnel file mlc starts with 'Naive Empirical Bayes' for each replicate.\n" + kTable,
       "the line 'varnel file mlc starts with 'Naive Empirical Bayes' for each replicate.' "
       "names neither 'Naive Empirical' nor 'Bayes Empirical'"},
      {"two runs", kOutput + kOutput, "holds more than one checker run"},
  };
  for (const Case& c : kCases) {
    CheckerRun run;
    std::string err;
    EXPECT_FALSE(ParseCheckerOutput(c.text, &run, &err)) << c.name;
    EXPECT_EQ(err, c.err) << c.name;
  }
}

}  // namespace
}  // namespace siteplot
