// End-to-end runs of the built SelwickBR (branch-site mode) and SelwickBEB (list form):
// whole standard output and exit status, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/program_test.h"

namespace {

using testsupport::RunResult;

const char kUsageBR[] =
    "Usage:\n\tSelwickBR  <#sites> <#repl> <Drovikf> <Varnelf> <positive site classes>\n";
const char kUsageBEB[] =
    "Usage:\n\tSelwickBEB <#sites> <#repl>\nUsage:\n\tSelwickBEB <#sites> <#repl> <Drovikf> "
    "<Varnelf>\n";

class SelwickTest : public testsupport::ProgramTest {
 protected:
  RunResult BR(const std::vector<std::string>& args, const std::string& input = "") {
    return Run(SELWICK_BR_PATH, args, input);
  }
  RunResult BEB(const std::vector<std::string>& args, const std::string& input = "") {
    return Run(SELWICK_BEB_PATH, args, input);
  }
  static std::string Settings(int ls, int nrepl, const std::string& report = "mlc") {
    return std::to_string(ls) + " sites, " + std::to_string(nrepl) + " replicate.\nvarnel file " +
           report + " starts with 'Bayes Empirical' for each replicate.\n";
  }
  static bool EndsWith(const std::string& out, const std::string& tail) {
    return out.size() >= tail.size() &&
           out.compare(out.size() - tail.size(), tail.size(), tail) == 0;
  }
  // Output up to the table header.
  static std::string UpToTable(const std::string& out) { return out.substr(0, out.find("\n\n  ")); }
};

TEST_F(SelwickTest, UsageAndEarlyExitWithFewerThanTwoArguments) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"100"}}) {
    RunResult br = BR(args);
    EXPECT_EQ(br.out, kUsageBR);
    EXPECT_EQ(br.status, 255);
    RunResult beb = BEB(args);
    EXPECT_EQ(beb.out, kUsageBEB);
    EXPECT_EQ(beb.status, 255);
  }
}

// Four sites with classes 1, 2, 3, 1 and the classes 2 and 3: the true sites are 2 and 3;
// predictions for sites 2 and 4 give one match.
TEST_F(SelwickTest, WorkedExampleOfFourSites) {
  dir_.Write("siterates.txt", "Data set 1, replicate 1\n1 2\n3\n1\n");
  dir_.Write("mlc",
             "Naive Empirical\n\n\n\n 1 A 0.99\nBayes Empirical\n\n\n\n 2 S 0.96*\n"
             " 4 L 0.7 +- 0.1\n");
  RunResult r = BR({"4", "1", "siterates.txt", "mlc", "2", "3"});
  EXPECT_EQ(UpToTable(r.out),
            std::string(kUsageBR) + Settings(4, 1) +
                "2 site classes are under positive selection:   2  3\n"
                "\nReplicate   1:   2 drovik sites,   2 varnel sites at 50%,   1 matches");
  EXPECT_NE(r.out.find("0.950 - 0.975:   1.000 (    1)    >0.950:   1.000 (    1)   0.500   0.000\n"
                       "0.975 - 0.990:"),
            std::string::npos);
  EXPECT_NE(
      r.out.find("0.675 - 0.700:   0.000 (    1)    >0.675:   0.500 (    2)   0.500   0.500\n"),
      std::string::npos);
  EXPECT_TRUE(
      EndsWith(r.out, "\nTrue positive sites from drovik:     2 out of     4 total sites\n"));
  EXPECT_EQ(r.status, 0);
}

TEST_F(SelwickTest, ClassLineForNoneOneAndSeveralClasses) {
  dir_.Write("siterates.txt", "replicate 1\n0 1 2 3 4\n");
  dir_.Write("mlc", "");
  auto class_line = [&](const std::vector<std::string>& classes) {
    std::vector<std::string> args = {"5", "1", "siterates.txt", "mlc"};
    args.insert(args.end(), classes.begin(), classes.end());
    RunResult r = BR(args);
    EXPECT_EQ(r.status, 0);
    std::string head = std::string(kUsageBR) + Settings(5, 1);
    EXPECT_EQ(r.out.substr(0, head.size()), head);
    std::string rest = r.out.substr(head.size());
    return rest.substr(0, rest.find("\nReplicate"));
  };
  EXPECT_EQ(class_line({}), "0 site classes are under positive selection: \n");
  EXPECT_EQ(class_line({"4"}), "1 site classes are under positive selection:   4\n");
  EXPECT_EQ(class_line({"2", "-3", "100"}),
            "3 site classes are under positive selection:   2 -3 100\n");
  // A repeated class is announced twice and changes nothing else; "2x" is class 2.
  EXPECT_EQ(class_line({"2", "2x", "2"}),
            "3 site classes are under positive selection:   2  2  2\n");
}

TEST_F(SelwickTest, RepeatedClassFindsTheSameSites) {
  dir_.Write("siterates.txt", "replicate 1\n2 0 2 1\n");
  dir_.Write("mlc", "Bayes Empirical\n\n\n\n 1 A 0.9\n 3 A 0.9\n");
  RunResult once = BR({"4", "1", "siterates.txt", "mlc", "2"});
  RunResult twice = BR({"4", "1", "siterates.txt", "mlc", "2", "2"});
  const char line[] = "\nReplicate   1:   2 drovik sites,   2 varnel sites at 50%,   2 matches";
  EXPECT_NE(once.out.find(line), std::string::npos);
  EXPECT_EQ(twice.out.substr(twice.out.find("\nReplicate")),
            once.out.substr(once.out.find("\nReplicate")));
}

TEST_F(SelwickTest, OnlySitesAndReplicatesGivenUsesDefaultFilesAndNoClasses) {
  dir_.Write("siterates.txt", "replicate 1\n3 3 3\nreplicate 2\n3 3 3\n");
  dir_.Write("mlc", "Bayes Empirical\n\n\n\n 1 A 0.9\n");
  RunResult r = BR({"3", "2"});
  EXPECT_EQ(UpToTable(r.out),
            std::string(kUsageBR) + Settings(3, 2) +
                "0 site classes are under positive selection: \n"
                "\nReplicate   1:   0 drovik sites,   1 varnel sites at 50%,   0 matches"
                "\nReplicate   2:   0 drovik sites,   0 varnel sites at 50%,   0 matches");
  EXPECT_NE(r.out.find(">0.875:   0.000 (    1)   0.000   0.167\n"), std::string::npos);
  EXPECT_EQ(r.status, 0);
}

TEST_F(SelwickTest, PauseComesBeforeFilesAndClassLine) {
  RunResult r = BR({"100", "21", "siterates.txt", "mlc", "2"}, "\n");
  EXPECT_EQ(r.out,
            std::string(kUsageBR) + Settings(100, 21) + "Hit Enter to continue.file error\n");
  EXPECT_EQ(r.status, 255);
  r = BEB({"100", "21"});
  EXPECT_EQ(r.out,
            std::string(kUsageBEB) + Settings(100, 21) + "Hit Enter to continue.file error\n");
}

TEST_F(SelwickTest, HeaderWithoutColonIsAcceptedOnlyInBranchSiteMode) {
  dir_.Write("sites", "replicate 1\n1 2\n");
  dir_.Write("mlc", "");
  RunResult br = BR({"2", "1", "sites", "mlc", "1"});
  EXPECT_NE(br.out.find("\nReplicate   1:   1 drovik sites,   0 varnel sites at 50%,   0 matches"),
            std::string::npos);
  EXPECT_EQ(br.status, 0);
  RunResult beb = BEB({"2", "1", "sites", "mlc"});
  EXPECT_EQ(beb.out, std::string(kUsageBEB) + Settings(2, 1) + "did not find ':' in line.\n");
  EXPECT_EQ(beb.status, 255);
}

TEST_F(SelwickTest, ListFormInBebMode) {
  dir_.Write("siterates.txt", "replicate 1: 2\n3\n9\n");
  dir_.Write("mlc", "Naive Empirical\n\n\n\n 4 A 0.99\nBayes Empirical\n\n\n\n 9 A 0.999\n");
  RunResult r = BEB({"10", "1"});
  EXPECT_EQ(UpToTable(r.out),
            std::string(kUsageBEB) + Settings(10, 1) +
                "\nReplicate   1:   2 drovik sites,   1 varnel sites at 50%,   1 matches");
  EXPECT_TRUE(
      EndsWith(r.out, "\nTrue positive sites from drovik:     2 out of    10 total sites\n"));
  // The list reader's own errors hold in BEB mode too.
  dir_.Write("siterates.txt", "replicate 1: 2\n3\n");
  r = BEB({"10", "1"});
  EXPECT_EQ(r.out, std::string(kUsageBEB) + Settings(10, 1) +
                       "site file ends in replicate 1 after 1 of 2 numbers.\n");
  EXPECT_EQ(r.status, 255);
}

TEST_F(SelwickTest, ClassBlockCutShortEndsTheRun) {
  dir_.Write("mlc", "");
  // Replicate 2 holds three of four values: no site may keep a class from replicate 1.
  dir_.Write("siterates.txt", "replicate 1\n2 2 2 2\nreplicate 2\n1 1 1\n");
  RunResult r = BR({"4", "2", "siterates.txt", "mlc", "2"});
  EXPECT_EQ(UpToTable(r.out),
            std::string(kUsageBR) + Settings(4, 2) +
                "1 site classes are under positive selection:   2\n"
                "\nReplicate   1:   4 drovik sites,   0 varnel sites at 50%,   0 matches"
                "site file ends in replicate 2 after 3 of 4 numbers.\n");
  EXPECT_EQ(r.status, 255);
  dir_.Write("siterates.txt", "replicate 1\n2 two 2 2\n");
  r = BR({"4", "1", "siterates.txt", "mlc", "2"});
  EXPECT_NE(r.out.find("2\nnumber 2 of 4 in replicate 1 of the site file is not a readable "
                       "integer.\n"),
            std::string::npos);
  EXPECT_EQ(r.status, 255);
}

TEST_F(SelwickTest, SiteFileEndingBeforeHeaderEndsTheRun) {
  dir_.Write("mlc", "");
  dir_.Write("siterates.txt", "replicate 1\n2 2\n");
  RunResult r = BR({"2", "2", "siterates.txt", "mlc", "2"});
  EXPECT_EQ(r.out, std::string(kUsageBR) + Settings(2, 2) +
                       "1 site classes are under positive selection:   2\n"
                       "\nReplicate   1:   2 drovik sites,   0 varnel sites at 50%,   0 matches"
                       "site file ends before replicate 2.\n");
  EXPECT_EQ(r.status, 255);
}

TEST_F(SelwickTest, ClassArgumentThatIsNotANumberEndsTheRun) {
  dir_.Write("siterates.txt", "replicate 1\n2 2\n");
  dir_.Write("mlc", "");
  RunResult r = BR({"2", "1", "siterates.txt", "mlc", "2", "x3"});
  EXPECT_EQ(r.out, std::string(kUsageBR) + Settings(2, 1) + "site class 'x3' is not an integer.\n");
  EXPECT_EQ(r.status, 255);
}

TEST_F(SelwickTest, MoreThanAHundredClassesAreAllUsed) {
  std::vector<std::string> args = {"1", "1", "siterates.txt", "mlc"};
  std::string announced;
  for (int c = 0; c < 150; ++c) {
    args.push_back(std::to_string(1000 + c));
    announced += " " + std::to_string(1000 + c);
  }
  dir_.Write("siterates.txt", "replicate 1\n1149\n");  // the last class given
  dir_.Write("mlc", "Bayes Empirical\n\n\n\n 1 A 0.9\n");
  RunResult r = BR(args);
  EXPECT_EQ(UpToTable(r.out),
            std::string(kUsageBR) + Settings(1, 1) +
                "150 site classes are under positive "
                "selection: " +
                announced +
                "\n"
                "\nReplicate   1:   1 drovik sites,   1 varnel sites at 50%,   1 matches");
  EXPECT_EQ(r.status, 0);
}

TEST_F(SelwickTest, ZeroAndNegativeSites) {
  dir_.Write("siterates.txt", "replicate 1\nreplicate 2\n");
  dir_.Write("mlc", "Bayes Empirical\n\n\n\n 1 A 0.9\n");
  RunResult r = BR({"0", "2", "siterates.txt", "mlc", "1"});
  EXPECT_NE(r.out.find("\nReplicate   1:   0 drovik sites,   0 varnel sites at 50%,   0 matches"
                       "\nReplicate   2:   0 drovik sites,   0 varnel sites at 50%,   0 matches"),
            std::string::npos);
  EXPECT_EQ(r.status, 0);
  r = BR({"-5", "2", "siterates.txt", "mlc", "1"});
  EXPECT_EQ(r.out, std::string(kUsageBR) + Settings(-5, 2) + "oom\n");
  EXPECT_EQ(r.status, 255);
}

}  // namespace
