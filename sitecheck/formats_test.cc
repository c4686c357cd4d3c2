// Tests of the site-file readers (list and class-per-site forms) and the report reader.
#include "sitecheck/formats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace sitecheck {
namespace {

// A reader over a text held in memory.
struct Text {
  explicit Text(const std::string& text, size_t buffer = 256 << 10)
      : text(text),
        file(fmemopen(this->text.data(), this->text.size(), "r")),
        reader(file, buffer) {}
  ~Text() { std::fclose(file); }
  std::string text;
  FILE* file;
  Reader reader;
};

std::vector<int32_t> Sites(const SiteBlock& block, const std::vector<int32_t>& storage) {
  return std::vector<int32_t>(storage.begin(), storage.begin() + std::max(block.n, 0));
}

TEST(SiteListTest, TheSameSitesWhateverTheLayout) {
  for (const char* text : {"replicate 1: 3\n12 57 88\n", "replicate 1: 3\n12\n57\n88\n",
                           "x\n\nreplicate 1: 3 99 98\n12 57\n\n   88"}) {
    Text file(text);
    std::vector<int32_t> sites(5);
    SiteBlock block = readTrueSiteList(file.reader, 5, sites.data());
    EXPECT_EQ(block.status, SiteStatus::kOk) << text;
    EXPECT_EQ(Sites(block, sites), (std::vector<int32_t>{12, 57, 88})) << text;
  }
}

TEST(SiteListTest, WhereTheNextSearchStarts) {
  // After the last site number the rest of its line is searched; after a count of 0 the
  // search starts on the line after the header, so that header's own text is not found.
  Text file(
      "replicate 1: 2\n5 6 replicate 2: 1\n7\n"
      "replicate 3: 0 replicate 9: 4\n"
      "replicate 4: -2\n8\nreplicate 5: 1\n9\n");
  std::vector<int32_t> sites(3);
  std::vector<std::vector<int32_t>> expected = {{5, 6}, {7}, {}, {}, {9}};
  for (const auto& want : expected) {
    SiteBlock block = readTrueSiteList(file.reader, 3, sites.data());
    ASSERT_EQ(block.status, SiteStatus::kOk);
    EXPECT_EQ(Sites(block, sites), want);
  }
}

TEST(SiteListTest, CountsAgainstTheNumberOfSites) {
  std::vector<int32_t> sites(2);
  Text exact("replicate 1: 2\n1 2\n");
  EXPECT_EQ(readTrueSiteList(exact.reader, 2, sites.data()).status, SiteStatus::kOk);
  Text over("replicate 1: 3\n1 2 3\n");
  EXPECT_EQ(readTrueSiteList(over.reader, 2, sites.data()).status, SiteStatus::kTooMany);
  Text huge("replicate 1: 99999999999\n");  // taken as the largest 32-bit count
  EXPECT_EQ(readTrueSiteList(huge.reader, 2, sites.data()).status, SiteStatus::kTooMany);
  // A negative count reads no number and is handed on as it stands.
  Text negative("replicate 1: -4\n5\nreplicate 2: 1\n6\n");
  SiteBlock block = readTrueSiteList(negative.reader, 2, sites.data());
  EXPECT_EQ(block.status, SiteStatus::kOk);
  EXPECT_EQ(block.n, -4);
  block = readTrueSiteList(negative.reader, 2, sites.data());
  EXPECT_EQ(Sites(block, sites), (std::vector<int32_t>{6}));
}

TEST(SiteListTest, DamagedBlocks) {
  std::vector<int32_t> sites(4);
  struct Case {
    const char* text;
    SiteStatus status;
    const char* message;
  } cases[] = {
      {"replicate 1 3\n1 2 3\n", SiteStatus::kNoColon, "did not find ':' in line."},
      {"", SiteStatus::kNoColon, "did not find ':' in line."},
      {"a: 1\nb: 2\n", SiteStatus::kNoColon, "did not find ':' in line."},
      {"replicate 1: x3\n1 2 3\n", SiteStatus::kNoCount,
       "did not find the number of sites after ':' in line."},
      {"replicate 1: 3\n1 2", SiteStatus::kCutShort,
       "site file ends in replicate 7 after 2 of 3 numbers."},
      {"replicate 1: 3\n1 - 3", SiteStatus::kCutShort,
       "number 2 of 3 in replicate 7 of the site file is not a readable integer."},
      {"replicate 1: 1\n1.5\n", SiteStatus::kOk, ""},  // "%d" stops at the point
  };
  for (const Case& c : cases) {
    Text file(c.text);
    SiteBlock block = readTrueSiteList(file.reader, 4, sites.data());
    EXPECT_EQ(block.status, c.status) << c.text;
    EXPECT_EQ(SiteErrorMessage(block, 7), c.message) << c.text;
  }
}

TEST(SiteClassesTest, PositionsOfPositiveClasses) {
  Text file("Data set, replicate 1\n1 2\n3\n1 9 9\nreplicate 2\n3 3 3 3\n");
  std::vector<int32_t> sites(4);
  const std::vector<int32_t> classes = {2, 3};
  SiteBlock block = readSiteClasses(file.reader, 4, classes, sites.data());
  ASSERT_EQ(block.status, SiteStatus::kOk);
  EXPECT_EQ(Sites(block, sites), (std::vector<int32_t>{2, 3}));
  // The values after the fourth (9 9) are passed over by the next search.
  block = readSiteClasses(file.reader, 4, classes, sites.data());
  ASSERT_EQ(block.status, SiteStatus::kOk);
  EXPECT_EQ(Sites(block, sites), (std::vector<int32_t>{1, 2, 3, 4}));
  // No class given: no site is true, but every value is still read.
  Text again("replicate 1\n2 3 x\n");
  block = readSiteClasses(again.reader, 2, {}, sites.data());
  EXPECT_EQ(block.status, SiteStatus::kOk);
  EXPECT_EQ(block.n, 0);
}

TEST(SiteClassesTest, DamagedBlocks) {
  std::vector<int32_t> sites(3);
  const std::vector<int32_t> classes = {1};
  Text none("no header\n1 1 1\n");
  SiteBlock block = readSiteClasses(none.reader, 3, classes, sites.data());
  EXPECT_EQ(block.status, SiteStatus::kNoHeader);
  EXPECT_EQ(SiteErrorMessage(block, 4), "site file ends before replicate 4.");
  Text cut("replicate 1\n1 1\n");
  block = readSiteClasses(cut.reader, 3, classes, sites.data());
  EXPECT_EQ(SiteErrorMessage(block, 1), "site file ends in replicate 1 after 2 of 3 numbers.");
  Text word("replicate 1\n1 one 1\n");
  block = readSiteClasses(word.reader, 3, classes, sites.data());
  EXPECT_EQ(SiteErrorMessage(block, 1),
            "number 2 of 3 in replicate 1 of the site file is not a readable integer.");
}

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
