// The --tsv file of the three checkers, end to end: its rows sum to the console's table,
// plain and gzip-compressed; it takes its place only after a run that ends well; and a
// closed pipe on standard output ends a run with status 255 and the reason.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "sitecheck/checker.h"
#include "sitecheck/tally.h"
#include "testsupport/program_test.h"
#include "textio/byte_source.h"

namespace {

using testsupport::RunResult;

struct Checker {
  const sitecheck::CheckerProfile& profile;
  const char* path;
  std::vector<std::string> args;
};

const Checker kCheckers[] = {
    {sitecheck::kVarnelDrovik, VARNEL_DROVIK_PATH, {"10", "3", "list", "report"}},
    {sitecheck::kSelwickBR, SELWICK_BR_PATH, {"10", "3", "classes", "report", "2"}},
    {sitecheck::kSelwickBEB, SELWICK_BEB_PATH, {"10", "3", "list", "report"}},
};

// Three replicates of ten sites with the true sites 2 5 9, none, and 1 10, in both forms;
// each list of the report has predictions in five classes, one below 0.5, one twice.
const char kList[] = "replicate 1: 3\n2 5 9\nreplicate 2: 0\nreplicate 3: 2\n1 10\n";
const char kClasses[] =
    "replicate 1\n0 2 0 0 2 0 0 0 2 0\nreplicate 2\n0 0 0 0 0 0 0 0 0 0\n"
    "replicate 3\n2 0 0 0 0 0 0 0 0 2\n";
const char kList3[] = "a\nb\nc\n 2 A 0.51\n 5 K 0.99\n 7 S 0.3\n 9 L 1.0\n 1 A 0.76\n 5 K 0.99\n";

std::vector<std::string> Then(std::vector<std::string> head, const std::vector<std::string>& args) {
  head.insert(head.end(), args.begin(), args.end());
  return head;
}

class CheckerTsvTest : public testsupport::ProgramTest {
 protected:
  void SetUp() override {
    Write("list", kList);
    Write("classes", kClasses);
    std::string report;
    for (int i = 0; i < 3; ++i)
      report += "Naive Empirical\n" + (kList3 + ("Bayes Empirical\n" + std::string(kList3)));
    Write("report", report);
  }
};

// The console's lines from the first replicate on are rebuilt from the rows alone.
TEST_F(CheckerTsvTest, RowsSumToTheTable) {
  for (const Checker& c : kCheckers) {
    const RunResult plain = Run(c.path, c.args);
    for (const std::string name : {"rows.tsv", "rows.tsv.gz"}) {
      const RunResult run = Run(c.path, Then({"--tsv", name}, c.args));
      EXPECT_EQ(run.out, plain.out) << name;
      EXPECT_EQ(run.status, 0) << name;
      EXPECT_EQ(Read(name).rfind("\x1f\x8b", 0) == 0, name.back() == 'z') << name;
      textio::OpenError error;
      auto source = textio::OpenFile(dir_.File(name), &error);
      std::string text(1 << 16, '\0');
      text.resize(source->Read(&text[0], text.size()));
      EXPECT_EQ(text.find_first_of(" \r"), std::string::npos);  // tabs and line feeds only
      EXPECT_EQ(text.substr(0, text.find('\n') + 1),
                "replicate\tsites\ttrue_sites\tclass\tp_low\tp_high\tpredicted\tmatches\n");
      std::istringstream rows(text.substr(text.find('\n') + 1));

      char* console = nullptr;
      size_t length = 0;
      FILE* out = open_memstream(&console, &length);
      sitecheck::SiteTally tally;
      for (int r = 1, sites = 0; r <= 3; ++r) {
        int rr, ls, n, cls, predicted, hits, k = 0, matches = 0;
        std::string low, high;
        for (int i = 0; i < sitecheck::kClasses; ++i) {
          ASSERT_TRUE(rows >> rr >> ls >> n >> cls >> low >> high >> predicted >> hits);
          ASSERT_EQ(rr * 100 + cls, r * 100 + i + 1);
          EXPECT_NE(plain.out.find("\n" + low + " - " + high + ": "), std::string::npos);
          if (i == 0) sites += ls, tally.trueSitesTotal += n;
          tally.binCount[i] += predicted, k += predicted;
          tally.binMatches[i] += hits, matches += hits;
        }
        std::fprintf(out,
                     "\nReplicate %3d: %3d drovik sites, %3d varnel sites at 50%%, %3d matches", r,
                     n, k, matches);
        if (r == 3) sitecheck::printSummary(out, tally, sites, 1);
      }
      std::fprintf(out, "\nTrue positive sites from drovik: %5.0f out of    30%s\n",
                   tally.trueSitesTotal, c.profile.closing_suffix);
      std::fclose(out);
      EXPECT_EQ(run.out.substr(run.out.find("\nReplicate")), std::string(console, length)) << name;
      std::free(console);
      EXPECT_TRUE(rows.eof() || !(rows >> text)) << "nothing after the rows";
    }
  }
}

// The file appears only after a run that ends with status 0, in place of an older one,
// and no temporary file stays behind; a failure to create it is told before any reading.
TEST_F(CheckerTsvTest, TheFileTakesItsPlaceOnlyAfterARunThatEndsWell) {
  const Checker& c = kCheckers[0];
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* err;
    const char* after;  // what rows.tsv starts with after the run
  } cases[] = {
      {Then({"--tsv", "rows.tsv"}, {"2", "3", "list", "report"}), 255, "", "old"},  // 3 sites > 2
      {Then({"--tsv", "no/rows.tsv"}, {"10"}), 255, "no/rows.tsv: No such file or directory",
       "old"},
      {{"--tsv"}, 255, "--tsv needs a file name", "old"},
      {Then({"--tsv", "rows.tsv"}, c.args), 0, "", "replicate\t"},
  };
  for (const Case& k : cases) {
    Write("rows.tsv", "old");
    const std::string err = *k.err ? std::string(c.profile.name) + ": " + k.err + "\n" : "";
    const RunResult run = Run(c.path, k.args, "", "", err);
    const std::vector<std::string> rest(k.args.begin() + (*k.err ? 0 : 2), k.args.end());
    EXPECT_EQ(run.out, *k.err ? c.profile.usage : Run(c.path, rest).out);
    EXPECT_EQ(run.status, k.status);
    EXPECT_EQ(Read("rows.tsv").rfind(k.after, 0), 0u);
    const std::filesystem::directory_iterator listing(dir_.Path());
    EXPECT_EQ(std::distance(begin(listing), end(listing)), 4) << "list classes report rows.tsv";
  }
}

// Standard output a pipe whose reader is gone (a named pipe whose one reader closed it):
// the run ends with status 255 and the reason on standard error.
TEST_F(CheckerTsvTest, ClosedPipeOnStandardOutput) {
  for (const Checker& c : kCheckers) {
    const char* sh = "rm -f p; mkfifo p && exec 3<>p 4>p 3<&- && exec \"$0\" \"$@\" >&4";
    const std::string err = c.profile.name + std::string(": standard output: Broken pipe\n");
    EXPECT_EQ(Run("/bin/sh", Then({"-c", sh, c.path}, c.args), "", "", err).status, 255);
  }
}

}  // namespace
