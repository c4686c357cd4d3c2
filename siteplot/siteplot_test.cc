// siteplot end to end, on the outputs of the built checkers: the TSV against the numbers in
// the checkers' tables, the example figure byte for byte, standard input with the pause
// prompt and inf, and every kind of bad input and command line with its message and status.
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "testsupport/run_program.h"
#include "testsupport/test_gzip.h"

namespace {

using testsupport::RunProgram;
using testsupport::RunResult;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

std::set<std::string> FolderEntries(const std::string& path) {
  std::set<std::string> names;
  if (DIR* dir = opendir(path.c_str())) {
    while (dirent* entry = readdir(dir)) names.insert(entry->d_name);
    closedir(dir);
  }
  return names;
}

class SiteplotTest : public ::testing::Test {
 protected:
  // The checkers run once: the example study, a study that ends early, and files made
  // from their outputs.
  static void SetUpTestSuite() {
    dir_ = std::make_unique<testsupport::TempDir>();
    static const struct {
      const char* file;
      const char* program;
      std::vector<std::string> args;
    } kRuns[] = {
        {"neb.txt", VARNEL_DROVIK_PATH, {"60", "12", "siterates", "mlc"}},
        {"br.txt", SELWICK_BR_PATH, {"60", "12", "siterates.txt", "mlc", "2", "3"}},
        {"beb.txt", SELWICK_BEB_PATH, {"60", "12", "siterates", "mlc"}},
        {"ended.txt", VARNEL_DROVIK_PATH, {"60", "13", "siterates", "mlc"}},
    };
    for (const auto& run : kRuns) {
      dir_->Write(run.file, RunProgram(run.program, run.args, EXAMPLES_DIR).out);
    }
    // The per-replicate counts that the README's figure is drawn from.
    for (auto [program, name] :
         {std::pair{VARNEL_DROVIK_PATH, "neb.tsv"}, std::pair{SELWICK_BEB_PATH, "beb.tsv"}}) {
      RunProgram(program, {"--tsv", dir_->File(name), "60", "12", "siterates", "mlc"},
                 EXAMPLES_DIR);
    }
    // A small study by hand, and the per-replicate counts of it, whole and damaged.
    dir_->Write("study.txt",
                RunProgram(VARNEL_DROVIK_PATH, {"10", "2"}, TESTDATA_DIR "/study").out);
    const std::string counts = testsupport::ReadFile(TESTDATA_DIR "/per_replicate.tsv");
    dir_->Write("counts.tsv", counts);
    dir_->Write("counts-cut.tsv", counts.substr(0, counts.find("2\t10\t2\t2\t")));
    std::string swapped = counts;
    swapped.replace(swapped.find("\t7\t0.650"), 2, "\t8");
    dir_->Write("counts-class.tsv", swapped);
    ASSERT_EQ(link(dir_->File("neb.txt").c_str(), dir_->File("neb-link.txt").c_str()), 0);
    std::string zeros(4 << 20, '\0');  // one line of 4 MiB
    dir_->Write("zeros.gz", textio::test_gzip::Layouts()[0].write(zeros));
    std::string neb = dir_->Read("neb.txt");
    dir_->Write("cut.txt", neb.substr(0, neb.find("0.675 - 0.700")));
    dir_->Write("two.txt", neb + dir_->Read("beb.txt"));
    dir_->Write("empty.txt", "");
    // Compressed copies of neb.txt, in the layouts every program's tests read.
    for (const textio::test_gzip::Layout& layout : textio::test_gzip::Layouts()) {
      dir_->Write(std::string("neb ") + layout.name + ".gz", layout.write(neb));
    }
    mkdir(dir_->File("folder").c_str(), 0755);
  }
  static void TearDownTestSuite() { dir_.reset(); }

  RunResult Run(const std::vector<std::string>& args, const std::string& input = "") {
    return RunProgram(SITEPLOT_PATH, args, dir_->Path(), input);
  }

  static std::unique_ptr<testsupport::TempDir> dir_;
};

std::unique_ptr<testsupport::TempDir> SiteplotTest::dir_;

// Every TSV row, printed again in the checker's own row format, is the checker's row.
TEST_F(SiteplotTest, TsvHoldsTheCheckersNumbers) {
  RunResult result = Run({"--tsv", "t.tsv", "--replicates", "r.tsv", "-o", "f.svg", "-l", "NEB",
                          "neb.txt", "br.txt", "beb.txt"});
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<std::string> classes = Lines(dir_->Read("t.tsv"));
  std::vector<std::string> replicates = Lines(dir_->Read("r.tsv"));
  ASSERT_EQ(classes.size(), 1 + 3 * 21u);
  ASSERT_EQ(replicates.size(), 1 + 3 * 12u);
  static const char* const kLabels[] = {"NEB", "br.txt", "beb.txt"};
  static const char* const kMethods[] = {"NEB", "BEB", "BEB"};
  static const char* const kOutputs[] = {"neb.txt", "br.txt", "beb.txt"};
  for (int run = 0; run < 3; ++run) {
    std::string output = dir_->Read(kOutputs[run]), table, lines;
    for (int i = 0; i < 21; ++i) {
      std::vector<std::string> f = Fields(classes[1 + run * 21 + i]);
      ASSERT_EQ(f.size(), 24u);
      for (int k : {6, 9}) f[k] = f[k] == "NA" ? "0" : f[k];  // a ratio of no sites
      EXPECT_EQ(f[0], kLabels[run]);
      EXPECT_EQ(f[1], kMethods[run]);
      EXPECT_EQ(f[2], std::to_string(i + 1));
      char row[200];
      std::snprintf(
          row, sizeof row, "%5.3f - %5.3f: %7.3f (%5.0f)    >%4.3f: %7.3f (%5.0f) %7.3f %7.3f\n",
          std::stod(f[3]), std::stod(f[4]), std::stod(f[6]), std::stod(f[5]), std::stod(f[7]),
          std::stod(f[9]), std::stod(f[8]), std::stod(f[10]), std::stod(f[11]));
      table += row;
    }
    EXPECT_NE(output.find("FalsePos\n\n" + table + "\nTrue positive"), std::string::npos)
        << kOutputs[run] << ":\n"
        << table;
    for (int r = 0; r < 12; ++r) {
      std::vector<std::string> f = Fields(replicates[1 + run * 12 + r]);
      char line[200];
      std::snprintf(line, sizeof line,
                    "\nReplicate %3d: %3d drovik sites, %3d varnel sites at 50%%, %3d matches",
                    std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]), std::stoi(f[4]));
      lines += line;
    }
    EXPECT_NE(output.find(lines + "\n\n     P"), std::string::npos) << kOutputs[run];
  }
}

// The README's figure, as examples/figure.sh draws it.
TEST_F(SiteplotTest, ExampleFigure) {
  RunResult result =
      Run({"-o", "figure.svg", "-t", "Example study: 12 replicates of 60 sites", "-l",
           "NEB (VarnelDrovik)", "neb.tsv", "-l", "BEB (SelwickBEB)", "beb.tsv"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(dir_->Read("figure.svg"), testsupport::ReadFile(EXAMPLES_DIR "/figure.svg"));
}

// SelwickBR with 21 replicates of one site (pause prompt, class line) in which every site
// is true, so that FalsePos divides by zero: inf, NA in the TSV.
TEST_F(SiteplotTest, StandardInputWithPausePromptAndInf) {
  testsupport::TempDir study;
  std::string sites, report;
  for (int r = 1; r <= 21; ++r) {
    sites += "replicate " + std::to_string(r) + "\n2\n";
    report += "Bayes Empirical\n\n\n\n" + std::string(r == 1 ? "  3 K 0.6\n" : "  1 L 0.95\n");
  }
  study.Write("sites", sites);
  study.Write("report", report);
  RunResult checker =
      RunProgram(SELWICK_BR_PATH, {"1", "21", "sites", "report", "2"}, study.Path());
  ASSERT_NE(checker.out.find("Hit Enter to continue.1 site classes"), std::string::npos);
  RunResult result = Run({"--tsv", "-", "-o", "f.svg"}, checker.out);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, testsupport::ReadFile(TESTDATA_DIR "/pause_inf.tsv"));
}

// A gzip-compressed output, a file or standard input, gives the tables of the plain one.
TEST_F(SiteplotTest, GzipInputReadsAsPlain) {
  RunResult plain = Run({"--tsv", "-", "-o", "f.svg", "-l", "neb", "neb.txt"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  for (const textio::test_gzip::Layout& layout : textio::test_gzip::Layouts()) {
    if (*layout.damage != '\0' || *layout.other_format != '\0') continue;
    const std::string file = std::string("neb ") + layout.name + ".gz";
    RunResult result = Run({"--tsv", "-", "-o", "f.svg", "-l", "neb", file});
    EXPECT_EQ(result.status, 0) << file << ": " << result.err;
    EXPECT_EQ(result.out, plain.out) << file;
    result = Run({"--tsv", "-", "-o", "f.svg", "-l", "neb"}, dir_->Read(file));
    EXPECT_EQ(result.status, 0) << file << " on standard input: " << result.err;
    EXPECT_EQ(result.out, plain.out) << file << " on standard input";
  }
}

// A per-replicate file gives the table of the same study's console output with exact
// counts and intervals over replicates, the same bytes every time (by hand: 2 replicates,
// so the intervals run from the lowest to the highest ratio of aa, ab and bb).
TEST_F(SiteplotTest, PerReplicateCountsReadAsTheConsoleTable) {
  RunResult counts = Run({"--tsv", "-", "-o", "f.svg", "-l", "s", "counts.tsv"});
  ASSERT_EQ(counts.status, 0) << counts.err;
  EXPECT_EQ(counts.out, testsupport::ReadFile(TESTDATA_DIR "/per_replicate_table.tsv"));
  RunResult console = Run({"--tsv", "-", "-o", "f.svg", "-l", "s", "study.txt"});
  ASSERT_EQ(console.status, 0) << console.err;
  std::vector<std::string> a = Lines(counts.out), b = Lines(console.out);
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    std::vector<std::string> x = Fields(a[i]), y = Fields(b[i]);
    EXPECT_EQ(std::vector<std::string>(x.begin() + 2, x.begin() + 18),
              std::vector<std::string>(y.begin() + 2, y.begin() + 18))
        << i;
  }
}

TEST_F(SiteplotTest, BadInputAndCommandLine) {
  static const std::string kTry = "Try 'siteplot --help' for more information.\n";
  struct Case {
    std::vector<std::string> args;
    std::string err;
    int status;
  };
  static const Case kCases[] = {
      // Inputs: the first bad one ends the run.
      {{"neb.txt", "empty.txt"}, "siteplot: empty.txt: no summary table\n", 1},
      {{"cut.txt"}, "siteplot: cut.txt: summary table cut short after 7 of its 21 rows\n", 1},
      {{"ended.txt"},
       "siteplot: ended.txt: the checker run ended with an error: did not find ':' in line.\n",
       1},
      {{"two.txt"}, "siteplot: two.txt: holds more than one checker run\n", 1},
      {{"-"}, "siteplot: standard input: no summary table\n", 1},
      {{"missing.txt"}, "siteplot: missing.txt: No such file or directory\n", 1},
      {{"folder"}, "siteplot: folder: Is a directory\n", 1},
      {{"neb.txt", "neb zstd.gz"},
       "siteplot: neb zstd.gz: zstd-compressed data: only gzip-compressed files can be read\n",
       1},
      {{"neb truncated.gz"},
       "siteplot: neb truncated.gz: damaged gzip-compressed data: the data ends inside member "
       "1\n",
       1},
      {{"neb CRC damaged.gz"},
       "siteplot: neb CRC damaged.gz: damaged gzip-compressed data: CRC mismatch in member 1\n",
       1},
      {{"zeros.gz"},
       "siteplot: zeros.gz: line 1 is longer than 1048576 bytes: not a checker's output\n",
       1},
      {{"counts-cut.tsv"},
       "siteplot: counts-cut.tsv: line 23: the file ends after class 1 of replicate 2\n",
       1},
      {{"counts-class.tsv"},
       "siteplot: counts-class.tsv: line 8: class 8 where class 7 was expected\n",
       1},
      // Outputs that cannot be written.
      {{"neb.txt", "-o", "missing/f.svg"},
       "siteplot: missing/f.svg: No such file or directory\n",
       1},
      {{"neb.txt", "-o", "f.svg", "--tsv", "folder"}, "siteplot: folder: Is a directory\n", 1},
      // The command line.
      {{"-x"}, "siteplot: unknown option: -x\n" + kTry, 2},
      {{"--bogus", "neb.txt"}, "siteplot: unknown option: --bogus\n" + kTry, 2},
      {{"neb.txt", "-o"}, "siteplot: option needs an argument: -o\n" + kTry, 2},
      {{"neb.txt", "--tsv"}, "siteplot: option needs an argument: --tsv\n" + kTry, 2},
      {{"-l", "a", "-l", "b", "neb.txt"}, "siteplot: more labels (2) than inputs (1)\n" + kTry, 2},
      {{"1", "2", "3", "4", "5", "6", "7", "8"},
       "siteplot: 8 inputs; a figure tells at most 7 apart\n" + kTry,
       2},
      {{"-", "neb.txt", "-"}, "siteplot: standard input named more than once\n" + kTry, 2},
      {{"--replicates", "-", "neb.txt"},
       "siteplot: more than one output on standard output\n" + kTry,
       2},
      // Two outputs that go to one file.
      {{"-o", "-", "--tsv", "-", "neb.txt"},
       "siteplot: more than one output on standard output\n" + kTry,
       2},
      {{"neb.txt", "-o", "x.svg", "--tsv", "x.svg"},
       "siteplot: x.svg: named as more than one output\n" + kTry,
       2},
      {{"neb.txt", "-o", "f.svg", "--tsv", "a", "--replicates", "a"},
       "siteplot: a: named as more than one output\n" + kTry,
       2},
      {{"neb.txt", "-o", "empty.txt", "--replicates", "folder/../empty.txt"},
       "siteplot: folder/../empty.txt: the same file as output empty.txt\n" + kTry,
       2},
      {{"neb.txt", "--tsv", "/dev/stdout"},
       "siteplot: /dev/stdout: the same file as standard output\n" + kTry,
       2},
      // An output that is an input.
      {{"-o", "neb.txt", "neb.txt"},
       "siteplot: neb.txt: the same file as input neb.txt\n" + kTry,
       2},
      {{"--tsv", "neb-link.txt", "-o", "f.svg", "neb.txt"},
       "siteplot: neb-link.txt: the same file as input neb.txt\n" + kTry,
       2},
      {{"-o", "f.svg", "--replicates", "beb.txt", "neb.txt", "beb.txt"},
       "siteplot: beb.txt: the same file as input beb.txt\n" + kTry,
       2},
  };
  std::set<std::string> before = FolderEntries(dir_->Path());
  for (const Case& c : kCases) {
    std::string name = ::testing::PrintToString(c.args);
    RunResult result = Run(c.args);
    EXPECT_EQ(result.status, c.status) << name;
    EXPECT_EQ(result.err, c.err) << name;
    EXPECT_EQ(result.out, "") << name;
    EXPECT_EQ(FolderEntries(dir_->Path()), before) << name << ": no output, no temporary file";
  }
}

// The figure is made and staged before the table's output turns out to be a folder: the
// old figure stays as it was, and the staged one goes.
TEST_F(SiteplotTest, FailedRunKeepsTheOldOutput) {
  dir_->Write("old.svg", "old");
  std::set<std::string> before = FolderEntries(dir_->Path());
  RunResult result = Run({"-o", "old.svg", "--tsv", "folder", "neb.txt"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "siteplot: folder: Is a directory\n");
  EXPECT_EQ(dir_->Read("old.svg"), "old");
  EXPECT_EQ(FolderEntries(dir_->Path()), before) << "no temporary file left";
}

// A symbolic link stays one; standard output on a full disk is a failed run.
TEST_F(SiteplotTest, OutputsThatAreNotPlainFiles) {
  testsupport::TempDir out;
  ASSERT_EQ(symlink("figure.svg", out.File("link.svg").c_str()), 0);
  RunResult result = Run({"-o", out.File("link.svg"), "neb.txt"});
  EXPECT_EQ(result.status, 0) << result.err;
  struct stat status;
  EXPECT_TRUE(lstat(out.File("link.svg").c_str(), &status) == 0 && S_ISLNK(status.st_mode));
  EXPECT_EQ(out.Read("figure.svg").rfind("<?xml", 0), 0u);

  result = RunProgram(SITEPLOT_PATH, {"neb.txt"}, dir_->Path(), "", "/dev/full");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "siteplot: standard output: No space left on device\n");
}

// A pipe on standard output that nobody reads: a message and status 1, not SIGPIPE.
TEST_F(SiteplotTest, ClosedPipe) {
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  close(pipe_ends[0]);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGPIPE, SIG_DFL);
    dup2(pipe_ends[1], STDOUT_FILENO);
    const int err = open(dir_->File("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(err, STDERR_FILENO);
    if (chdir(dir_->Path().c_str()) != 0) _exit(127);
    execl(SITEPLOT_PATH, SITEPLOT_PATH, "-o", "-", "neb.txt", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipe_ends[1]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  EXPECT_EQ(dir_->Read("err"), "siteplot: standard output: Broken pipe\n");
  unlink(dir_->File("err").c_str());
}

TEST_F(SiteplotTest, Version) {
  RunResult version = Run({"neb.txt", "-V", "-x"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "siteplot (sitetools) " SITETOOLS_VERSION "\n");
}

}  // namespace
