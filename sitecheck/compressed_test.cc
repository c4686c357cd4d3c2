// Compressed inputs, end to end: each kind of file the checkers read (the site file in both
// forms, the report), in each gzip layout, gives the console output of the plain file;
// damaged data and other compressors' formats end the run with a message naming the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/program_test.h"
#include "testsupport/test_gzip.h"

namespace {

using textio::test_gzip::Layout;

// A study of three replicates of ten sites: the true sites as a list and as classes (class
// 2 is positive), and a report with both kinds of list.
const char kSiteList[] = "replicate 1: 2\n3 7\nreplicate 2: 1\n4\nreplicate 3: 0\n";
const char kSiteClasses[] =
    "replicate 1\n0 0 2 0 0 0 2 0 0 0\nreplicate 2\n0 0 0 2 0 0 0 0 0 0\n"
    "replicate 3\n0 0 0 0 0 0 0 0 0 0\n";
const std::string kReport = [] {
  std::string report;
  for (int r = 1; r <= 3; ++r) {
    for (const char* method : {"Naive Empirical", "Bayes Empirical"}) {
      report += std::string(method) + " list\na\nb\nc\n   3 A 0.99\n   4 K 0.7\n   9 S 0.55\n\n";
    }
  }
  return report;
}();

class CompressedInputTest : public testsupport::ProgramTest {};

TEST_F(CompressedInputTest, EveryKindOfFileInEveryLayout) {
  struct Kind {
    const char* program;
    std::vector<std::string> args;
    const char* sites;
    const char* compressed;  // the file given compressed: "sites" or "report"
  } kinds[] = {
      {VARNEL_DROVIK_PATH, {"10", "3", "sites", "report"}, kSiteList, "sites"},
      {SELWICK_BR_PATH, {"10", "3", "sites", "report", "2"}, kSiteClasses, "sites"},
      {VARNEL_DROVIK_PATH, {"10", "3", "sites", "report"}, kSiteList, "report"},
  };
  for (const Kind& kind : kinds) {
    Write("sites", kind.sites);
    Write("report", kReport);
    const testsupport::RunResult plain = Run(kind.program, kind.args);
    ASSERT_EQ(plain.status, 0);
    const std::string text = std::string(kind.compressed) == "sites" ? kind.sites : kReport;
    for (const Layout& layout : textio::test_gzip::Layouts()) {
      Write(kind.compressed, layout.write(text));
      const testsupport::RunResult run = Run(kind.program, kind.args);
      const std::string where = std::string(kind.compressed) + ", " + layout.name;
      if (*layout.damage == '\0' && *layout.other_format == '\0') {
        EXPECT_EQ(run.out, plain.out) << where;
        EXPECT_EQ(run.status, 0) << where;
        continue;
      }
      // The run stops with the message, after what it printed of the plain run's output.
      const std::string message =
          *layout.damage != '\0'
              ? "damaged compressed data in " + std::string(kind.compressed) + ": " +
                    layout.damage + ".\n"
              : std::string(kind.compressed) + " is " + layout.other_format +
                    "-compressed data: only gzip-compressed files can be read.\n";
      ASSERT_GE(run.out.size(), message.size()) << where;
      const size_t cut = run.out.size() - message.size();
      EXPECT_EQ(run.out.substr(cut), message) << where;
      EXPECT_EQ(plain.out.substr(0, cut), run.out.substr(0, cut)) << where;
      EXPECT_EQ(run.status, 255) << where;
    }
  }
}

}  // namespace
