// End-to-end runs of the built VarnelDrovik on small studies written by the tests: whole
// standard output and exit status, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/program_test.h"

namespace {

using testsupport::RunResult;

const char kUsage[] = "VarnelDrovik <#sites>  <#repl>\n";

class VarnelDrovikTest : public testsupport::ProgramTest {
 protected:
  RunResult Run(const std::vector<std::string>& args, const std::string& input = "",
                const std::string& stdout_path = "", const std::string& err = "") {
    return ProgramTest::Run(VARNEL_DROVIK_PATH, args, input, stdout_path, err);
  }
  std::string Head(int ls, int nrepl, const std::string& report = "mlc") {
    return kUsage + std::to_string(ls) + " sites, " + std::to_string(nrepl) +
           " replicate.\nvarnel file " + report + " starts with 'Naive Empirical' for each " +
           "replicate.\n";
  }
};

// Two replicates: three true sites with predictions in classes 19, 1 and 3 (two true), then
// no true site and one prediction of probability 1.
const char kSites[] =
    "true sites\n"
    "replicate 1: 3\n"
    "12 57 88\n"
    "replicate 2: 0\n";
const char kReport[] =
    "Naive Empirical list 1\n"
    "skipped 1\n"
    "skipped 2\n"
    "\n"
    "    12 S 0.987**\n"
    "    57 A 0.550\n"
    "    13 L 0.600\n"
    "Naive Empirical list 2\n"
    "a\nb\nc\n"
    "    12 K 1.000\n";

const char kTable[] =
    "\n\n     P           AccuracyBin      Pcut      AccuracyCum     Power  FalsePos\n\n"
    "0.500 - 0.525:   0.000 (    0)    >0.500:   0.500 (    4)   0.667   0.118\n"
    "0.525 - 0.550:   1.000 (    1)    >0.525:   0.500 (    4)   0.667   0.118\n"
    "0.550 - 0.575:   0.000 (    0)    >0.550:   0.333 (    3)   0.333   0.118\n"
    "0.575 - 0.600:   0.000 (    1)    >0.575:   0.333 (    3)   0.333   0.118\n"
    "0.600 - 0.625:   0.000 (    0)    >0.600:   0.500 (    2)   0.333   0.059\n"
    "0.625 - 0.650:   0.000 (    0)    >0.625:   0.500 (    2)   0.333   0.059\n"
    "0.650 - 0.675:   0.000 (    0)    >0.650:   0.500 (    2)   0.333   0.059\n"
    "0.675 - 0.700:   0.000 (    0)    >0.675:   0.500 (    2)   0.333   0.059\n"
    "0.700 - 0.725:   0.000 (    0)    >0.700:   0.500 (    2)   0.333   0.059\n"
    "0.725 - 0.750:   0.000 (    0)    >0.725:   0.500 (    2)   0.333   0.059\n"
    "0.750 - 0.775:   0.000 (    0)    >0.750:   0.500 (    2)   0.333   0.059\n"
    "0.775 - 0.800:   0.000 (    0)    >0.775:   0.500 (    2)   0.333   0.059\n"
    "0.800 - 0.825:   0.000 (    0)    >0.800:   0.500 (    2)   0.333   0.059\n"
    "0.825 - 0.850:   0.000 (    0)    >0.825:   0.500 (    2)   0.333   0.059\n"
    "0.850 - 0.875:   0.000 (    0)    >0.850:   0.500 (    2)   0.333   0.059\n"
    "0.875 - 0.900:   0.000 (    0)    >0.875:   0.500 (    2)   0.333   0.059\n"
    "0.900 - 0.925:   0.000 (    0)    >0.900:   0.500 (    2)   0.333   0.059\n"
    "0.925 - 0.950:   0.000 (    0)    >0.925:   0.500 (    2)   0.333   0.059\n"
    "0.950 - 0.975:   0.000 (    0)    >0.950:   0.500 (    2)   0.333   0.059\n"
    "0.975 - 0.990:   1.000 (    1)    >0.975:   0.500 (    2)   0.333   0.059\n"
    "0.990 - 1.000:   0.000 (    1)    >0.990:   0.000 (    1)   0.000   0.059\n";

const char kReplicateLines[] =
    "\nReplicate   1:   3 drovik sites,   3 varnel sites at 50%,   2 matches"
    "\nReplicate   2:   0 drovik sites,   1 varnel sites at 50%,   0 matches";

TEST_F(VarnelDrovikTest, WholeRunOnTwoReplicates) {
  dir_.Write("sites.txt", kSites);
  dir_.Write("report.txt", kReport);
  RunResult r = Run({"10", "2", "sites.txt", "report.txt", "ignored"});
  EXPECT_EQ(r.out, Head(10, 2, "report.txt") + kReplicateLines + kTable +
                       "\nTrue positive sites from drovik:     3 out of    20\n");
  EXPECT_EQ(r.status, 0);
}

TEST_F(VarnelDrovikTest, CrLfFilesGiveTheSameOutput) {
  dir_.Write("siterates", testsupport::WithCrLf(kSites));
  dir_.Write("mlc", testsupport::WithCrLf(kReport));
  RunResult r = Run({"10", "2"});
  EXPECT_EQ(r.out, Head(10, 2) + kReplicateLines + kTable +
                       "\nTrue positive sites from drovik:     3 out of    20\n");
  EXPECT_EQ(r.status, 0);
}

TEST_F(VarnelDrovikTest, DefaultsReadSiteratesAndMlc) {
  dir_.Write("siterates", "replicate 1: 1\n7\n");
  dir_.Write("mlc", "Naive Empirical\n\n\n\n 7 A 0.3\n");
  RunResult r = Run({});
  EXPECT_EQ(r.out.substr(0, Head(100, 1).size()), Head(100, 1));
  EXPECT_NE(r.out.find("\nReplicate   1:   1 drovik sites,   1 varnel sites at 50%,   1 matches"
                       "\n\n     P"),
            std::string::npos);
  EXPECT_NE(r.out.find("0.500 - 0.525:   1.000 (    1)    >0.500:   1.000 (    1)   1.000   0.000"),
            std::string::npos);
  EXPECT_NE(r.out.find("\nTrue positive sites from drovik:     1 out of   100\n"),
            std::string::npos);
  EXPECT_EQ(r.status, 0);
  // Arguments that are not numbers keep the defaults.
  EXPECT_EQ(Run({"x", "y"}).out.substr(0, Head(100, 1).size()), Head(100, 1));
}

TEST_F(VarnelDrovikTest, ReplicateLineOfTheWorkedExample) {
  std::string report = "Naive Empirical\n\n\n\n";
  for (int site = 1; site <= 12; ++site) report += std::to_string(site) + " A 0.9\n";
  dir_.Write("siterates", "replicate 1: 5\n1 2 3 4 99\n");
  dir_.Write("mlc", report);
  RunResult r = Run({"100", "1"});
  EXPECT_NE(r.out.find("\nReplicate   1:   5 drovik sites,  12 varnel sites at 50%,   4 matches\n"),
            std::string::npos);
}

TEST_F(VarnelDrovikTest, RepeatedPredictionCountsTwiceAndMissingListCountsNone) {
  dir_.Write("siterates", "replicate 1: 1\n4\nreplicate 2: 2\n1 2\n");
  dir_.Write("mlc", "Naive Empirical\n\n\n\n 4 A 0.9\n 4 A 0.9\n");
  RunResult r = Run({"10", "2"});
  EXPECT_NE(r.out.find("\nReplicate   1:   1 drovik sites,   2 varnel sites at 50%,   2 matches"
                       "\nReplicate   2:   2 drovik sites,   0 varnel sites at 50%,   0 matches\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("\nTrue positive sites from drovik:     3 out of    20\n"),
            std::string::npos);
  EXPECT_EQ(r.status, 0);
}

TEST_F(VarnelDrovikTest, NegativeCountIsAddedAsItStands) {
  dir_.Write("siterates", "replicate 1: -3\n4\nreplicate 2: 1\n4\n");
  dir_.Write("mlc", "Naive Empirical\n\n\n\n 4 A 0.9\nNaive Empirical\n\n\n\n 4 A 0.9\n");
  RunResult r = Run({"10", "2"});
  EXPECT_NE(r.out.find("\nReplicate   1:  -3 drovik sites,   1 varnel sites at 50%,   0 matches"
                       "\nReplicate   2:   1 drovik sites,   1 varnel sites at 50%,   1 matches\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("\nTrue positive sites from drovik:    -2 out of    20\n"),
            std::string::npos);
  EXPECT_EQ(r.status, 0);
}

TEST_F(VarnelDrovikTest, NoReplicatesPrintsAZeroTable) {
  dir_.Write("siterates", "");
  dir_.Write("mlc", "");
  RunResult r = Run({"100", "0"});
  std::string expected = Head(100, 0) +
                         "\n\n     P           AccuracyBin      Pcut      AccuracyCum     Power  "
                         "FalsePos\n\n0.500 - 0.525:   0.000 (    0)    >0.500:   0.000 (    0)   "
                         "0.000   0.000\n";
  EXPECT_EQ(r.out.substr(0, expected.size()), expected);
  const std::string tail =
      "0.990 - 1.000:   0.000 (    0)    >0.990:   0.000 (    0)   0.000   0.000\n"
      "\nTrue positive sites from drovik:     0 out of     0\n";
  EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
  EXPECT_EQ(r.status, 0);
}

TEST_F(VarnelDrovikTest, PauseComesAfterTwentyReplicatesAndBeforeFilesOpen) {
  RunResult r20 = Run({"100", "20"});
  EXPECT_EQ(r20.out, Head(100, 20) + "file error\n");
  EXPECT_EQ(r20.status, 255);
  RunResult r21 = Run({"100", "21"}, "\n");
  EXPECT_EQ(r21.out, Head(100, 21) + "Hit Enter to continue.file error\n");
  EXPECT_EQ(r21.status, 255);
  // Standard input at its end does not stop the run.
  EXPECT_EQ(Run({"100", "21"}).out, Head(100, 21) + "Hit Enter to continue.file error\n");
}

TEST_F(VarnelDrovikTest, FileErrors) {
  dir_.Write("siterates", "replicate 1: 0\n");
  EXPECT_EQ(Run({"100", "1"}).out, Head(100, 1) + "file error\n");  // no report
  EXPECT_EQ(Run({"100", "1", "absent", "siterates"}).out,
            Head(100, 1, "siterates") + "file error\n");
  RunResult folder = Run({"100", "1", ".", "siterates"});  // a folder is not a file
  EXPECT_EQ(folder.out, Head(100, 1, "siterates") + "file error\n");
  EXPECT_EQ(folder.status, 255);
}

TEST_F(VarnelDrovikTest, NegativeSitesCannotBeAllocated) {
  dir_.Write("siterates", "");
  dir_.Write("mlc", "");
  RunResult r = Run({"-1", "1"});
  EXPECT_EQ(r.out, Head(-1, 1) + "oom\n");
  EXPECT_EQ(r.status, 255);
}

TEST_F(VarnelDrovikTest, SiteFileErrorsFollowTheReplicateLine) {
  dir_.Write("mlc", "");
  dir_.Write("siterates", "replicate 1: 0\nreplicate 2: 3\n");
  RunResult r = Run({"2", "2"});
  EXPECT_EQ(r.out, Head(2, 2) +
                       "\nReplicate   1:   0 drovik sites,   0 varnel sites at 50%,   0 matches"
                       "Too many sites. ls wrong?\n");
  EXPECT_EQ(r.status, 255);

  dir_.Write("siterates", "replicate 1 3\n");
  r = Run({"2", "1"});
  EXPECT_EQ(r.out, Head(2, 1) + "did not find ':' in line.\n");
  EXPECT_EQ(r.status, 255);

  // With ls 0 nothing is read from the report, but a true site is still too many.
  dir_.Write("siterates", "replicate 1: 1\n5\n");
  r = Run({"0", "1"});
  EXPECT_EQ(r.out, Head(0, 1) + "Too many sites. ls wrong?\n");
}

// The site file ends before the second header while the last line read from the report
// holds a ':' and a number: that report text is never taken for a header.
TEST_F(VarnelDrovikTest, SiteFileEndingNeverExaminesReportText) {
  dir_.Write("siterates", "replicate 1: 1\n5");
  dir_.Write("mlc",
             "Naive Empirical\n\n\n\n 5 A 0.9 replicate : 0\nNaive Empirical\n\n\n\n"
             " 5 A 0.9 see replicate : 0\n");
  RunResult r = Run({"10", "2"});
  EXPECT_EQ(r.out, Head(10, 2) +
                       "\nReplicate   1:   1 drovik sites,   1 varnel sites at 50%,   1 matches"
                       "did not find ':' in line.\n");
  EXPECT_EQ(r.status, 255);
  // The same on the very first replicate, and on an empty site file.
  dir_.Write("siterates", "no header here\n");
  EXPECT_EQ(Run({"10", "1"}).out, Head(10, 1) + "did not find ':' in line.\n");
  dir_.Write("siterates", "");
  EXPECT_EQ(Run({"10", "1"}).out, Head(10, 1) + "did not find ':' in line.\n");
}

TEST_F(VarnelDrovikTest, HeaderWithoutReadableCountEndsTheRun) {
  dir_.Write("mlc", "Naive Empirical\n\n\n\n 5 A 0.9\n");
  // An earlier replicate's count is never carried over to a header that lacks one.
  dir_.Write("siterates", "replicate 1: 1\n5\nreplicate 2: none\n5\n");
  RunResult r = Run({"10", "2"});
  EXPECT_EQ(r.out, Head(10, 2) +
                       "\nReplicate   1:   1 drovik sites,   1 varnel sites at 50%,   1 matches"
                       "did not find the number of sites after ':' in line.\n");
  EXPECT_EQ(r.status, 255);
  dir_.Write("siterates", "replicate 1:\n5\n");
  EXPECT_EQ(Run({"10", "1"}).out,
            Head(10, 1) + "did not find the number of sites after ':' in line.\n");
}

TEST_F(VarnelDrovikTest, NumbersAfterTheCountOfALongHeaderAreNoSites) {
  dir_.Write("siterates", "replicate 1: 2" + std::string(1000, ' ') + "77 88\n5 6\n");
  dir_.Write("mlc", "Naive Empirical\n\n\n\n 5 A 0.9\n 6 A 0.9\n");
  RunResult r = Run({"10", "1"});
  EXPECT_EQ(
      r.out.substr(0, r.out.find("\n\n  ")),
      Head(10, 1) + "\nReplicate   1:   2 drovik sites,   2 varnel sites at 50%,   2 matches");
  EXPECT_EQ(r.status, 0);
}

TEST_F(VarnelDrovikTest, SiteListCutShortEndsTheRun) {
  dir_.Write("mlc", "Naive Empirical\n\n\n\n 5 A 0.9\n 6 A 0.9\n 7 A 0.9\n");
  // The second replicate's list stops after one number: the sites 6 and 7 of replicate 1
  // must not stand in for the missing ones.
  dir_.Write("siterates", "replicate 1: 3\n5 6 7\nreplicate 2: 3\n5\n");
  RunResult r = Run({"10", "2"});
  EXPECT_EQ(r.out, Head(10, 2) +
                       "\nReplicate   1:   3 drovik sites,   3 varnel sites at 50%,   3 matches"
                       "site file ends in replicate 2 after 1 of 3 numbers.\n");
  EXPECT_EQ(r.status, 255);
  dir_.Write("siterates", "replicate 1: 3\n5 six 7\n");
  r = Run({"10", "1"});
  EXPECT_EQ(r.out, Head(10, 1) +
                       "number 2 of 3 in replicate 1 of the site file is not a readable "
                       "integer.\n");
  EXPECT_EQ(r.status, 255);
  // A site number beyond the 32-bit range is not a site number either.
  dir_.Write("siterates", "replicate 1: 1\n4294967301\n");
  EXPECT_EQ(Run({"10", "1"}).out, Head(10, 1) +
                                      "number 1 of 1 in replicate 1 of the site file is not a "
                                      "readable integer.\n");
}

TEST_F(VarnelDrovikTest, FailedWriteToStandardOutputIsAnError) {
  dir_.Write("siterates", kSites);
  dir_.Write("mlc", kReport);
  const char full[] = "VarnelDrovik: standard output: No space left on device\n";
  EXPECT_EQ(Run({"10", "2"}, "", "/dev/full", full).status, 255);
  EXPECT_EQ(Run({"10", "2"}).status, 0);
}

}  // namespace
