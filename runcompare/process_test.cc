// zenthar among other processes, end to end: a second run in the same folder while the first
// one writes out.txt, a reader of standard output that stops early, and a kill. A run paused part
// of the way reads one table from a FIFO that the test writes, so it waits with out.txt
// open and some blocks written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "runcompare/line_reader.h"
#include "runcompare/line_writer.h"
#include "testsupport/test_gzip.h"
#include "testsupport/zenthar_fixture.h"

namespace runcompare {
namespace {

// Lines of 300 bytes, which 256 KiB blocks do not hold a whole number of: a block holds as
// many as fit with a byte to spare, so a block ends at a line break only when made so.
constexpr int kLine = 300;
constexpr int kPerBlock = (LineWriter::kDefaultBlockSize - 1) / kLine;
constexpr int kRecords = 3000;

// The lines in the blocks written once `records` lines are taken: a block goes out when the
// line after it does not fit.
std::size_t LinesInBlocks(int records) {
  return static_cast<std::size_t>((records - 1) / kPerBlock * kPerBlock);
}

class ZentharProcessTest : public ZentharTest {
 protected:
  void SetUp() override {
    for (int k = 1; k <= kRecords; ++k) {
      table_ += PaddedLine(k, "-" + std::to_string(k), kLine);
      fifo_lines_.push_back(std::to_string(k) + " -" + std::to_string(k) + ".5\n");
      console_ += Record(k, "++", -(k + 0.5), 2, -k, 1);
    }
    Write("a", table_);
    ASSERT_EQ(mkfifo(dir_.File("fifo").c_str(), 0644), 0);
  }

  // Starts zenthar on `args` in the test's folder, with standard output to `console_path`
  // and standard input empty.
  pid_t Start(const std::vector<std::string>& args, const std::string& console_path) {
    std::vector<std::string> words = {ZENTHAR_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int out = open(console_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = open("/dev/null", O_RDONLY);
    if (out < 0 || in < 0 || dup2(out, 1) < 0 || dup2(in, 0) < 0 ||
        chdir(dir_.Path().c_str()) != 0) {
      _exit(127);
    }
    execv(ZENTHAR_PATH, argv.data());
    _exit(127);
  }

  // Starts zenthar on table a and the FIFO, and gives it `records` lines of the FIFO; it
  // waits for the next one once it has written the blocks they fill. Returns the FIFO's
  // descriptor, still open.
  int StartPaused(int records, const std::string& console_path, pid_t* pid) {
    *pid = Start({"a", "fifo", "2"}, console_path);
    const int fifo = open(dir_.File("fifo").c_str(), O_WRONLY);  // waits for zenthar's open
    std::string lines;
    for (int k = 0; k < records; ++k) lines += fifo_lines_[k];
    EXPECT_EQ(write(fifo, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
    WaitForOutTxt(LinesInBlocks(records) * kLine, true);
    return fifo;
  }

  // The file a run writes before it renames it to out.txt, "" when there is none.
  std::string NewFile() {
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
      if (entry.path().filename().string().rfind("out.txt.", 0) == 0) return entry.path();
    }
    return "";
  }

  // Waits, for at most a minute, until out.txt, or the file the run writes before it renames
  // it to out.txt, holds `size` bytes or more.
  void WaitForOutTxt(std::size_t size, bool new_file = false) {
    struct stat info;
    for (int i = 0; i < 6000; ++i) {
      const std::string path = new_file ? NewFile() : dir_.File("out.txt");
      if (stat(path.c_str(), &info) == 0 && static_cast<std::size_t>(info.st_size) >= size) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ADD_FAILURE() << "out.txt did not reach " << size << " bytes";
  }

  static int ExitStatus(pid_t pid) {
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }

  std::string table_;  // table a; the FIFO's lines are lower in every record
  std::vector<std::string> fifo_lines_;
  std::string console_;  // the record lines of the whole run
  testsupport::TempDir io_;
};

// A second run in the same folder while the first writes out.txt is refused, and leaves
// out.txt as the first run has it; the first run ends as if alone.
TEST_F(ZentharProcessTest, SecondRunInTheSameFolderIsRefused) {
  pid_t first;
  const int fifo = StartPaused(kRecords - 1, io_.File("first"), &first);
  const std::string part = testsupport::ReadFile(NewFile());
  ASSERT_EQ(part.size() % kLine, 0u);
  Write("b", "1 -1\n");
  Expect({"b", "b", "2"},
         "b  b    ==>  out.txt\n\n\nError: out.txt is being written by another run.\n", 255);
  EXPECT_TRUE(testsupport::ReadFile(NewFile()) == part);
  EXPECT_FALSE(OutTxtExists());
  ASSERT_EQ(write(fifo, fifo_lines_.back().data(), fifo_lines_.back().size()),
            static_cast<ssize_t>(fifo_lines_.back().size()));
  close(fifo);
  EXPECT_EQ(ExitStatus(first), 0);
  EXPECT_EQ(io_.Read("first"), kUsage + "a  fifo    ==>  out.txt\n\n" + console_ + Wrote(kRecords));
  EXPECT_TRUE(OutTxt() == table_);
  // Once the first run has ended, the lock is free.
  Expect({"b", "b", "2"}, "b  b    ==>  out.txt\n\n" + Record(1, "++", -1, 1, -1, 1) + Wrote(1), 0);
}

// A run that has written out.txt whole and closed it, while it reads a compressed table past
// the record that ended the run (an empty line) to the end of its data, still holds the
// lock: a second run is refused, and out.txt stays.
TEST_F(ZentharProcessTest, LockHeldUntilTheRunEnds) {
  Write("b", "1 -2\n");
  pid_t run = Start({"b", "fifo", "2"}, io_.File("console"));
  const int fifo = open(dir_.File("fifo").c_str(), O_WRONLY);
  // More than the reader's first block, so that the record loop does not wait for the rest.
  const std::string member =
      textio::test_gzip::Member("1 -1\n\n" + std::string(LineReader::kDefaultBlockSize, '\n'));
  ASSERT_EQ(write(fifo, member.data(), member.size()), static_cast<ssize_t>(member.size()));
  WaitForOutTxt(5);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // past the writer's close
  Write("c", "1 -1\n");
  Expect({"c", "c", "2"},
         "c  c    ==>  out.txt\n\n\nError: out.txt is being written by another run.\n", 255);
  close(fifo);  // the end of the compressed data
  EXPECT_EQ(ExitStatus(run), 0);
  EXPECT_EQ(OutTxt(), "1 -1\n");
  EXPECT_EQ(io_.Read("console"),
            kUsage + "b  fifo    ==>  out.txt\n\n" + Record(1, "++", -2, 1, -1, 2) + Wrote(1));
}

// Standard output that goes away part of the way, as through `head -c 100`: zenthar writes
// every record into out.txt all the same, and ends with status -1 once the console's writes
// failed.
TEST_F(ZentharProcessTest, StandardOutputThatGoesAway) {
  std::string b;
  for (const std::string& line : fifo_lines_) b += line;
  Write("b", b);
  const testsupport::RunResult run = testsupport::RunProgram(
      "/bin/sh", {"-c", "{ \"$0\" a b 2; echo $? >status; } | head -c 100", ZENTHAR_PATH},
      dir_.Path());
  const std::string whole = kUsage + "a  b    ==>  out.txt\n\n" + console_ + Wrote(kRecords);
  ASSERT_GT(whole.size(), 150000u);  // more than the pipe and the console's buffer hold
  EXPECT_EQ(run.out, whole.substr(0, 100));
  EXPECT_EQ(Read("status"), "255\n");
  EXPECT_TRUE(OutTxt() == table_);
}

// A run killed part of the way, paused on the FIFO: SIGTERM leaves out.txt ending at a line
// break, with the whole lines of the blocks written; SIGKILL, which nothing can act on,
// leaves the out.txt before the run as it was, and the run's lines in the file it wrote.
TEST_F(ZentharProcessTest, KilledRunLeavesWholeLines) {
  for (int signal : {SIGTERM, SIGKILL}) {
    Write("out.txt", "before\n");
    pid_t run;
    const int fifo = StartPaused(kRecords - 1, io_.File("console"), &run);
    const std::string new_file = NewFile();
    ASSERT_EQ(kill(run, signal), 0);
    EXPECT_EQ(ExitStatus(run), -signal);
    close(fifo);
    const std::string blocks = table_.substr(0, LinesInBlocks(kRecords - 1) * kLine);
    EXPECT_TRUE(OutTxt() == (signal == SIGKILL ? "before\n" : blocks)) << signal;
    if (signal == SIGKILL) {
      EXPECT_TRUE(testsupport::ReadFile(new_file) == blocks);
    }
    unlink(new_file.c_str());
  }
}

// SIGKILL at random moments of runs over tables that take about a second: out.txt is always
// the file before the run or the whole of the run's, never cut inside a line.
TEST_F(ZentharProcessTest, KillsAtRandomMomentsLeaveOutTxtWhole) {
#if defined(__SANITIZE_ADDRESS__)
  const std::size_t lines = 300000;  // the sanitizers' build runs several times slower
#else
  const std::size_t lines = 3000000;
#endif
  std::string x, y;
  for (std::size_t k = 0; k < lines; ++k) {
    x += "1 -1\n";
    y += "1 -2\n";
  }
  Write("x", x);
  Write("y", y);
  Write("out.txt", "before\n");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ExitStatus(Start({"x", "y", "2"}, "/dev/null")), 0);
  const auto whole_run = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(OutTxt() == x);
  std::mt19937 random(20261210);
  for (int round = 0; round < 12; ++round) {
    Write("out.txt", "before\n");
    const pid_t run = Start({"x", "y", "2"}, "/dev/null");
    std::this_thread::sleep_for(whole_run * std::uniform_real_distribution<>(0, 1.1)(random));
    ASSERT_EQ(kill(run, SIGKILL), 0);
    ExitStatus(run);
    const std::string left = OutTxt();
    EXPECT_TRUE(left == "before\n" || left == x) << round << ": " << left.size() << " bytes";
    for (std::string file; !(file = NewFile()).empty();) unlink(file.c_str());
  }
}

// out.txt a FIFO that no process reads: the run ends at once, naming it.
TEST_F(ZentharProcessTest, OutTxtAFifoWithoutReader) {
  ASSERT_EQ(mkfifo(dir_.File("out.txt").c_str(), 0644), 0);
  const testsupport::RunResult run = Run({"a", "a", "2"});
  EXPECT_EQ(run.out, kUsage + "a  a    ==>  out.txt\n\n\nerror when opening file out.txt\n");
  EXPECT_EQ(run.err, "zenthar: out.txt: a named pipe that no process reads\n");
  EXPECT_EQ(run.status, 255);
}

// A run ended by a signal in the middle of writing a block to out.txt, here a FIFO the test
// reads only once the FIFO is full and the signal sent, writes that block whole first.
TEST_F(ZentharProcessTest, SignalDuringAWriteWaitsForTheBlock) {
  std::string b;
  for (const std::string& line : fifo_lines_) b += line;
  Write("b", b);
  ASSERT_EQ(mkfifo(dir_.File("out.txt").c_str(), 0644), 0);
  for (int signal : {SIGTERM, SIGHUP}) {
    const pid_t run = Start({"a", "b", "2"}, io_.File("console"));
    const int out_txt = open(dir_.File("out.txt").c_str(), O_RDONLY);
    ASSERT_GE(out_txt, 0);
    const int capacity = fcntl(out_txt, F_GETPIPE_SZ);
    ASSERT_LT(capacity, static_cast<int>(LineWriter::kDefaultBlockSize));
    int held = 0;
    while (ioctl(out_txt, FIONREAD, &held) == 0 && held < capacity) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(kill(run, signal), 0);
    std::string written;
    char chunk[1 << 16];
    for (ssize_t got; (got = read(out_txt, chunk, sizeof chunk)) > 0;) {
      written.append(chunk, static_cast<std::size_t>(got));
    }
    close(out_txt);
    EXPECT_EQ(ExitStatus(run), -signal);
    EXPECT_TRUE(written == table_.substr(0, kPerBlock * kLine)) << signal << " " << written.size();
  }
}

}  // namespace
}  // namespace runcompare
