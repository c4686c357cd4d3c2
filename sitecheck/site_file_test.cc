// Tests of the site-file readers, list and class-per-site forms.
#include "sitecheck/site_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "testsupport/text_reader.h"

namespace sitecheck {
namespace {

using Text = TextReader;

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
  // A header line longer than a piece is passed over whole, numbers after its count too.
  for (const std::string& text : {"replicate 1: 2" + std::string(1000, ' ') + "77 88\n5 6\n",
                                  "replicate 1: 2 " + std::string(5000, '9') + "\n5 6\n"}) {
    Text long_header(text, 1024);
    SiteBlock block = readTrueSiteList(long_header.reader, 3, sites.data());
    ASSERT_EQ(block.status, SiteStatus::kOk);
    EXPECT_EQ(Sites(block, sites), (std::vector<int32_t>{5, 6}));
  }
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
  Text unreadable("replicate 1\n2 x\n");
  block = readSiteClasses(unreadable.reader, 2, {}, sites.data());
  EXPECT_EQ(block.status, SiteStatus::kCutShort);
  EXPECT_EQ(block.read, 1);
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

}  // namespace
}  // namespace sitecheck
