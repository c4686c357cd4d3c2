// Tests of the report reader: header search and list entries, at window edges.
#include "sitecheck/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "testsupport/text_reader.h"

namespace sitecheck {
namespace {

using Text = TextReader;

// Reads one replicate's list as the checkers do.
std::vector<PredictedSite> List(Reader& report, const char* header, int ls) {
  std::vector<PredictedSite> entries;
  if (!findReportBlock(report, header)) return entries;
  PredictedSite entry;
  while (static_cast<int>(entries.size()) < ls && readPredictedSite(report, &entry)) {
    entries.push_back(entry);
  }
  return entries;
}

TEST(ReportTest, EntryWithTwoStars) {
  Text report("Naive Empirical\n1\n2\n3\n    23 S 0.987**\n");
  std::vector<PredictedSite> entries = List(report.reader, "Naive Empirical", 10);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].site, 23);
  EXPECT_EQ(entries[0].residue, 'S');
  EXPECT_EQ(entries[0].probability, 0.987);
}

TEST(ReportTest, ListsOneAfterAnother) {
  Text report(
      "head Naive Empirical x\n"
      "1 K 0.9 three skipped lines, whatever they hold\n"
      "\n"
      "2 K 0.9\n"
      "\n"                        // a blank line before the entries does not end the list
      "  5 *0.75 more columns\n"  // any non-blank character is a residue
      "  6 A\t0.6\n"
      "Bayes Empirical follows at once: the letter B ends the list and stays unread\n"
      "a\nb\nc\n"
      "  7 B 0.8\n"
      "Naive Empirical\na\nb\nc\n 1 A 0.9\n 2 A 0.9\n 3 A 0.9\n"
      "Naive Empirical\na\nb\nc\n 4 A inf\n");
  std::vector<PredictedSite> first = List(report.reader, "Naive Empirical", 10);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].site, 5);
  EXPECT_EQ(first[0].residue, '*');
  EXPECT_EQ(first[1].probability, 0.6);
  std::vector<PredictedSite> bayes = List(report.reader, "Bayes Empirical", 10);
  ASSERT_EQ(bayes.size(), 1u);
  EXPECT_EQ(bayes[0].site, 7);
  // At most ls entries; the rest are passed over by the next search.
  std::vector<PredictedSite> capped = List(report.reader, "Naive Empirical", 2);
  ASSERT_EQ(capped.size(), 2u);
  EXPECT_EQ(capped[1].site, 2);
  EXPECT_TRUE(List(report.reader, "Naive Empirical", 10).empty());  // inf is no number
  EXPECT_FALSE(findReportBlock(report.reader, "Naive Empirical"));
}

// Long lists, read at every position relative to the reader's window: entries well inside
// the window and entries at its edge must read alike, and leave the same place for the
// next search.
TEST(ReportTest, LongListsReadAlikeWhereverTheWindowEnds) {
  std::string report = "Naive Empirical\na\nb\nc\n";
  std::vector<PredictedSite> expected;
  const char* forms[] = {"%6d %c %9.3f**   3.1 +- 0.2\n", "%d\t%c\t%.6f\n", "  %d %c%.2f\n",
                         "%4d %c  %.3e extra\n", "%5d %c -%.1f\n"};
  for (int i = 0; i < 600; ++i) {
    const char residue = "ARND*x"[i % 6];
    const double p = 0.5 + (i % 500) / 1000.0;
    char line[64];
    const char* form = forms[i % 5];
    std::snprintf(line, sizeof line, form, i + 1, residue, p);
    report += line;
    if (i % 97 == 0) report.replace(report.size() - 1, 1, std::string(900, ' ') + "tail\n");
    std::string text(line);
    // The probability is what follows the residue, read as strtod reads it.
    const double value = std::strtod(text.c_str() + text.find(residue) + 1, nullptr);
    expected.push_back({i + 1, residue, value});
  }
  report += "Bayes Empirical\na\nb\nc\n 7 Q 0.777\n" + std::string(3000, '.') + "\n";
  for (size_t buffer : {1024, 1500, 4096, 262144}) {
    Text file(report, buffer);
    std::vector<PredictedSite> entries = List(file.reader, "Naive Empirical", 1000);
    ASSERT_EQ(entries.size(), expected.size()) << buffer;
    for (size_t i = 0; i < entries.size(); ++i) {
      ASSERT_EQ(entries[i].site, expected[i].site) << buffer << " " << i;
      ASSERT_EQ(entries[i].residue, expected[i].residue) << buffer << " " << i;
      ASSERT_EQ(entries[i].probability, expected[i].probability) << buffer << " " << i;
    }
    std::vector<PredictedSite> next = List(file.reader, "Bayes Empirical", 1000);
    ASSERT_EQ(next.size(), 1u) << buffer;
    EXPECT_EQ(next[0].site, 7);
  }
}

TEST(ReportTest, HeaderAcrossPiecesOfALongLineIsNotFound) {
  // The header text straddles characters 999 and 1000 of a line: no piece holds it.
  std::string line = std::string(990, '-') + "Naive Empirical" + "\n";
  Text report(line + "a\nb\nc\n 3 A 0.9\n");
  EXPECT_FALSE(findReportBlock(report.reader, "Naive Empirical"));
}

}  // namespace
}  // namespace sitecheck
