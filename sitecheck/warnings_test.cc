// What the checkers write to standard error, end to end: a warning for each mistake a run
// goes on with and the detail of each error it ends with, standard output and exit status
// unchanged; and the pause, which never takes input from an input file and shows its
// prompt on a terminal when standard output is not one.
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "testsupport/program_test.h"

namespace {

using testsupport::RunResult;

class CheckerWarningsTest : public testsupport::ProgramTest {
 protected:
  void SetUp() override {
    Write("sites", "replicate 1: 1\n5\nreplicate 2: 2\n7 8\n");
    Write("bad", "replicate 1: 2\r\n5 x\r\n");
    Write("classes", "replicate 1\n0 2 0 1\nreplicate 2\n2 0 0 0\n");
    const std::string list = " Empirical\na\nb\nc\n 2 A 0.9\n 5 A 1.0\n";
    Write("cut", "Naive" + list + "Bayes" + list);
    Write("report", "Naive" + list + "Bayes" + list + "Naive" + list + "Bayes" + list);
    std::string sites21;
    for (int r = 1; r <= 21; ++r) sites21 += "replicate " + std::to_string(r) + ": 0\n";
    Write("sites21", sites21);
  }
};

TEST_F(CheckerWarningsTest, EachMistakeNamesItself) {
  const struct {
    const char* program;
    std::vector<std::string> args;
    std::string err;                     // what the run writes to standard error
    std::vector<std::string> same = {};  // a run without the mistake: same output and status
  } cases[] = {
      {VARNEL_DROVIK_PATH,
       {"4", "l2", "sites", "report"},
       "warning: #repl 'l2' is not an integer: 1 used",
       {"4", "1", "sites", "report"}},
      {SELWICK_BEB_PATH,
       {"4O", "2", "sites", "report"},
       "warning: #sites '4O' is not an integer: 4 used",
       {"4", "2", "sites", "report"}},
      {SELWICK_BR_PATH,
       {"4", "2", "classes", "report", "2a", "1"},
       "warning: class '2a' is not an integer: 2 used",
       {"4", "2", "classes", "report", "2", "1"}},
      {SELWICK_BR_PATH,
       {"4", "2", "classes", "report"},
       "warning: no positive site class named: no site counted as under selection"},
      {SELWICK_BR_PATH,
       {"4", "2", "classes", "report", "7", "2", "7"},
       "warning: no site in classes has class 7: it selects none"},
      {VARNEL_DROVIK_PATH,
       {"4", "2", "sites", "cut"},
       "warning: cut has 'Naive Empirical' lists for replicate 1 only: replicate 2 counted with "
       "0 varnel sites"},
      {SELWICK_BEB_PATH,
       {"4", "3", "sites", "report"},
       "sites: ends before the header of replicate 3"},
      {SELWICK_BEB_PATH,
       {"4", "2", "classes", "report"},
       "classes: line 1: no ':' in the header of replicate 1"},
      {VARNEL_DROVIK_PATH,
       {"1", "2", "sites", "report"},
       "sites: line 3: replicate 2 has 2 true sites, more than #sites (1)"},
      {VARNEL_DROVIK_PATH,
       {"4", "1", "bad", "report"},
       "bad: line 2: number 2 of replicate 1 is not a readable integer"},
      {SELWICK_BR_PATH, {"4", "1", "report", "absent", "2"}, "absent: No such file or directory"},
      {VARNEL_DROVIK_PATH, {"-1", "1", "sites", "report"}, "#sites -1: a negative number of sites"},
  };
  for (const auto& c : cases) {
    const std::string name = std::strrchr(c.program, '/') + 1;
    const RunResult run = Run(c.program, c.args);
    EXPECT_EQ(run.err, name + ": " + c.err + "\n") << c.args[0] << " " << c.args[1];
    if (c.same.empty()) continue;
    const RunResult clean = Run(c.program, c.same);
    EXPECT_EQ(clean.err, "");
    EXPECT_EQ(run.out, clean.out);
    EXPECT_EQ(run.status, clean.status);
  }
}

// Standard input piped from the site file: the pause takes nothing from it.
TEST_F(CheckerWarningsTest, PauseLeavesAnInputOnStandardInputAlone) {
  const RunResult piped = testsupport::RunProgram(
      "/bin/sh", {"-c", "cat sites21 | \"$0\" 4 21 /dev/stdin report", VARNEL_DROVIK_PATH},
      dir_.path());
  const RunResult direct = Run(VARNEL_DROVIK_PATH, {"4", "21", "sites21", "report"});
  EXPECT_EQ(piped.out, direct.out);
  EXPECT_EQ(piped.err, direct.err);
}

// At a terminal with standard output in a file, the prompt shows on the terminal too.
TEST_F(CheckerWarningsTest, PauseShowsItsPromptOnTheTerminal) {
  int terminal = -1;
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (chdir(dir_.path().c_str()) == 0 && dup2(open("out", O_WRONLY | O_CREAT, 0644), 1) == 1) {
      execl(VARNEL_DROVIK_PATH, "VarnelDrovik", "4", "21", "sites21", "report", nullptr);
    }
    _exit(127);
  }
  ASSERT_EQ(write(terminal, "\n", 1), 1);  // the Enter the pause waits for
  std::string shown;
  char buffer[256];
  for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, got);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_NE(shown.find("Hit Enter to continue."), std::string::npos) << shown;
  EXPECT_EQ(Read("out"), Run(VARNEL_DROVIK_PATH, {"4", "21", "sites21", "report"}).out);
}

}  // namespace
