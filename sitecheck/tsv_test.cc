// The --tsv file of the three checkers, end to end: its rows sum to the console's table,
// plain and gzip-compressed; it takes its place only after a run that ends well; and a
// closed pipe on standard output ends a run with status 255 and the reason.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
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
  std::vector<std::string> args;  // after the option
};

const Checker kCheckers[] = {
    {sitecheck::kVarnelDrovik, VARNEL_DROVIK_PATH, {"10", "3", "list", "report"}},
    {sitecheck::kSelwickBR, SELWICK_BR_PATH, {"10", "3", "classes", "report", "2"}},
    {sitecheck::kSelwickBEB, SELWICK_BEB_PATH, {"10", "3", "list", "report"}},
};

// Three replicates of ten sites, true sites 2 5 9, none, 1 10, in both forms; each list of
// the report has predictions in five classes, one below 0.5 and one listed twice.
const char kList[] = "replicate 1: 3\n2 5 9\nreplicate 2: 0\nreplicate 3: 2\n1 10\n";
const char kClasses[] =
    "replicate 1\n0 2 0 0 2 0 0 0 2 0\nreplicate 2\n0 0 0 0 0 0 0 0 0 0\n"
    "replicate 3\n2 0 0 0 0 0 0 0 0 2\n";
const std::string kReport = [] {
  std::string report;
  for (int r = 1; r <= 3; ++r) {
    for (const char* method : {"Naive Empirical", "Bayes Empirical"}) {
      report += std::string(method) + "\na\nb\nc\n 2 A 0.51\n 5 K 0.99\n 7 S 0.3\n 9 L 1.0\n" +
                " 1 A 0.76\n 10 C 0.951\n 5 K 0.99\n\n";
    }
  }
  return report;
}();

std::string Decompressed(const std::string& path) {
  textio::OpenError error;
  std::unique_ptr<textio::ByteSource> source = textio::OpenFile(path, &error);
  std::string text;
  char block[4096];
  for (size_t got; source && (got = source->Read(block, sizeof block)) > 0;)
    text.append(block, got);
  return text;
}

class CheckerTsvTest : public testsupport::ProgramTest {
 protected:
  void SetUp() override {
    Write("list", kList);
    Write("classes", kClasses);
    Write("report", kReport);
  }
  std::vector<std::string> WithTsv(const Checker& c, const std::string& name) {
    std::vector<std::string> args = {"--tsv", name};
    args.insert(args.end(), c.args.begin(), c.args.end());
    return args;
  }
};

TEST_F(CheckerTsvTest, RowsSumToTheTable) {
  for (const Checker& c : kCheckers) {
    const RunResult plain = Run(c.path, c.args);
    ASSERT_EQ(plain.status, 0);
    for (const std::string name : {"rows.tsv", "rows.tsv.gz"}) {
      const std::string where = std::string(c.profile.name) + " " + name;
      const RunResult run = Run(c.path, WithTsv(c, name));
      EXPECT_EQ(run.out, plain.out) << where;
      EXPECT_EQ(run.status, 0) << where;
      const std::string bytes = Read(name);
      ASSERT_GE(bytes.size(), 2u);
      EXPECT_EQ(bytes[0] == '\x1f' && bytes[1] == '\x8b', name.back() == 'z') << where;

      std::istringstream rows(Decompressed(dir_.File(name)));
      std::string line;
      std::getline(rows, line);
      EXPECT_EQ(line, "replicate\tsites\ttrue_sites\tclass\tp_low\tp_high\tpredicted\tmatches");
      sitecheck::SiteTally tally;
      long long sites = 0, replicate[4][3] = {};  // true sites, predicted, matches
      std::vector<std::string> table;             // the table's rows
      std::istringstream console(run.out.substr(run.out.find("FalsePos\n\n") + 10));
      for (std::string row; table.size() < 21 && std::getline(console, row);) table.push_back(row);
      ASSERT_EQ(table.size(), 21u) << where;
      for (int r = 1; r <= 3; ++r) {
        for (int i = 0; i < sitecheck::kClasses; ++i) {
          ASSERT_TRUE(std::getline(rows, line)) << where;
          int rr, ls, n, k, predicted, matches;
          char low[8], high[8];
          ASSERT_EQ(std::sscanf(line.c_str(), "%d\t%d\t%d\t%d\t%7[^\t]\t%7[^\t]\t%d\t%d", &rr, &ls,
                                &n, &k, low, high, &predicted, &matches),
                    8)
              << line;
          ASSERT_EQ(rr * 100 + k, r * 100 + i + 1) << where;
          // The edges as the table's row of the class prints them.
          EXPECT_EQ(table[i].rfind(std::string(low) + " - " + high + ": ", 0), 0u) << line;
          if (i == 0) sites += ls, tally.trueSitesTotal += n, replicate[r][0] = n;
          tally.binCount[i] += predicted;
          tally.binMatches[i] += matches;
          replicate[r][1] += predicted;
          replicate[r][2] += matches;
        }
      }
      EXPECT_FALSE(std::getline(rows, line)) << where;
      EXPECT_EQ(sites, 30);

      char* text = nullptr;
      size_t length = 0;
      FILE* out = open_memstream(&text, &length);
      for (int r = 1; r <= 3; ++r) {
        std::fprintf(
            out, "\nReplicate %3d: %3lld drovik sites, %3lld varnel sites at 50%%, %3lld matches",
            r, replicate[r][0], replicate[r][1], replicate[r][2]);
      }
      sitecheck::printSummary(out, tally, 10, 3);
      std::fprintf(out, "\nTrue positive sites from drovik: %5.0f out of %5d%s\n",
                   tally.trueSitesTotal, 30, c.profile.closingSuffix);
      std::fclose(out);
      const std::string expected(text, length);
      std::free(text);
      ASSERT_GE(run.out.size(), expected.size());
      EXPECT_EQ(run.out.substr(run.out.size() - expected.size()), expected) << where;
    }
  }
}

// The file appears only after a run that ends with status 0, in place of an older one, and
// no temporary file stays behind; a failure to create it is told before anything is read.
TEST_F(CheckerTsvTest, TheFileTakesItsPlaceOnlyAfterARunThatEndsWell) {
  const Checker& c = kCheckers[0];
  const std::string usage = c.profile.usage;
  struct Case {
    std::vector<std::string> args;
    const char* out;  // null: the run without the option's
    int status;
    const char* err;
    const char* old;  // what rows.tsv holds after the run; null: the new rows
  } cases[] = {
      {{"--tsv", "rows.tsv", "2", "3", "list", "report"}, nullptr, 255, "", "old"},  // 3 > 2 sites
      {{"--tsv", "no/rows.tsv", "10"}, "", 255, "no/rows.tsv: No such file or directory", "old"},
      {{"--tsv"}, "", 255, "--tsv needs a file name", "old"},
      {{"--tsv", "rows.tsv", "10", "3", "list", "report"}, nullptr, 0, "", nullptr},
  };
  for (const Case& k : cases) {
    Write("rows.tsv", "old");
    const RunResult run = testsupport::RunProgram(c.path, k.args, dir_.path());
    std::vector<std::string> after(k.args.begin() + std::min<size_t>(2, k.args.size()),
                                   k.args.end());
    EXPECT_EQ(run.out, k.out ? usage + k.out : Run(c.path, after).out) << k.args.back();
    EXPECT_EQ(run.status, k.status) << k.args.back();
    EXPECT_EQ(run.err, *k.err ? std::string(c.profile.name) + ": " + k.err + "\n" : "");
    const std::string now = Read("rows.tsv");
    EXPECT_EQ(k.old ? now : now.substr(0, 10), k.old ? k.old : "replicate\t");
    const std::filesystem::directory_iterator listing(dir_.path());
    EXPECT_EQ(std::distance(begin(listing), end(listing)), 4) << "list, classes, report, rows.tsv";
  }
}

// Standard output a pipe whose reader is gone, the process started with SIGPIPE's default
// action: the run ends with status 255 and the reason on standard error.
TEST_F(CheckerTsvTest, ClosedPipeOnStandardOutput) {
  for (const Checker& c : kCheckers) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      signal(SIGPIPE, SIG_DFL);
      dup2(ends[1], STDOUT_FILENO);
      if (!freopen(dir_.File("err").c_str(), "w", stderr) || chdir(dir_.path().c_str()) != 0) {
        _exit(127);
      }
      std::vector<char*> argv = {const_cast<char*>(c.path)};
      for (const std::string& arg : c.args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      execv(c.path, argv.data());
      _exit(127);
    }
    close(ends[1]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << c.profile.name;
    EXPECT_EQ(WEXITSTATUS(status), 255);
    EXPECT_EQ(Read("err"), std::string(c.profile.name) + ": standard output: Broken pipe\n");
  }
}

}  // namespace
