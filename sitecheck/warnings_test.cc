// What the checkers write to standard error, end to end: a warning for each mistake a run
// goes on with and the detail of each error it ends with, standard output and exit status
// unchanged; and the pause, which never takes input from an input file and shows its
// prompt on a terminal when standard output is not one.
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iterator>
#include <sstream>

#include "testsupport/program_test.h"

namespace {

using testsupport::RunResult;

class CheckerWarningsTest : public testsupport::ProgramTest {
 protected:
  void SetUp() override {
    Write("s", "replicate 1: 1\n5\nreplicate 2: 2\n7 8\n");      // site list
    Write("c", "replicate 1\n0 2 0 1\nreplicate 2\n2 0 0 0\n");  // classes per site
    Write("bad", "replicate 1: 2\r\n5 x\r\n");
    const std::string list = " Empirical\na\nb\nc\n 2 A 0.9\n 5 A 1.0\n";
    Write("cut", "Naive" + list + "Bayes" + list);
    Write("r", "Naive" + list + "Bayes" + list + "Naive" + list + "Bayes" + list);  // report
  }
  // Runs a program on the arguments in `line`, split at blanks.
  RunResult RunLine(const std::string& program, const std::string& line) {
    std::istringstream words(line);
    return Run(program, {std::istream_iterator<std::string>(words), {}});
  }
};

const std::string kVD = VARNEL_DROVIK_PATH, kBR = SELWICK_BR_PATH, kBEB = SELWICK_BEB_PATH;

TEST_F(CheckerWarningsTest, EachMistakeNamesItself) {
  // The program, its arguments, the same run without the mistake (the same output and
  // status, nothing on standard error) and what it writes on standard error.
  const struct {
    std::string program, args, same, err;
  } cases[] = {
      {kVD, "4 l2 s r", "4 1 s r", "warning: #repl 'l2' is not an integer: 1 used"},
      {kBEB, "4O 2 s r", "4 2 s r", "warning: #sites '4O' is not an integer: 4 used"},
      {kBR, "4 2 c r 2a 1", "4 2 c r 2 1", "warning: class '2a' is not an integer: 2 used"},
      {kBR, "4 2 c r", "", "warning: no positive site class named: no site counted as selected"},
      {kBR, "4 2 c r 7 2 7", "", "warning: no site in c has class 7: it selects none"},
      {kVD, "4 2 s cut", "",
       "warning: cut has 'Naive Empirical' lists for replicate 1 only: replicate 2 counted with 0 "
       "varnel sites"},
      {kBEB, "4 3 s r", "", "s: ends before the header of replicate 3"},
      {kBEB, "4 2 c r", "", "c: line 1: no ':' in the header of replicate 1"},
      {kVD, "1 2 s r", "", "s: line 3: replicate 2 has 2 true sites, more than #sites (1)"},
      {kVD, "4 1 bad r", "", "bad: line 2: number 2 of replicate 1 is not a readable integer"},
      {kBR, "4 1 r absent 2", "", "absent: No such file or directory"},
  };
  for (const auto& c : cases) {
    const RunResult run = RunLine(c.program, c.args);
    EXPECT_EQ(run.err, c.program.substr(c.program.rfind('/') + 1) + ": " + c.err + "\n");
    if (c.same.empty()) continue;
    const RunResult clean = RunLine(c.program, c.same);
    EXPECT_EQ(clean.err + clean.out + std::to_string(clean.status),
              run.out + std::to_string(run.status));
  }
}

// The pause with 21 replicates (the run ends with the site file, after replicate 2).
TEST_F(CheckerWarningsTest, PauseNeitherEatsAnInputNorHidesItsPrompt) {
  // Standard input piped from the site file: the pause takes nothing from it.
  const RunResult direct = RunLine(kVD, "4 21 s r");
  const RunResult piped = testsupport::RunProgram(
      "/bin/sh", {"-c", "cat s | \"$0\" 4 21 /dev/stdin r", kVD}, dir_.Path());
  EXPECT_EQ(piped.out, direct.out);

  // At a terminal with standard output in a file, the prompt shows on the terminal too.
  int terminal = -1;
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0 && chdir(dir_.Path().c_str()) == 0 && dup2(creat("out", 0644), 1) == 1) {
    execl(kVD.c_str(), "VarnelDrovik", "4", "21", "s", "r", nullptr);
  }
  if (pid == 0) _exit(127);
  ASSERT_EQ(write(terminal, "\n", 1), 1);  // the Enter the pause waits for
  std::string shown;
  for (char c; read(terminal, &c, 1) == 1;) shown += c;
  ASSERT_EQ(waitpid(pid, nullptr, 0), pid);
  EXPECT_NE(shown.find("Hit Enter to continue."), std::string::npos) << shown;
  EXPECT_EQ(Read("out"), direct.out);
}

}  // namespace
