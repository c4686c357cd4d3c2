// zenthar: compares the result tables of repeated runs of one analysis record by record and
// writes, for every record, the line of the run with the highest log-likelihood to out.txt.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "runcompare/compare.h"
#include "runcompare/textutil.h"

namespace {

constexpr char kUsage[] = "Usage: \n\tzenthar <file1> <file2> ... <lnLcolumn>\n\n";
constexpr char kOutName[] = "out.txt";

// The buffer of standard output, with static storage: exit() flushes the stream after every
// local of main is gone, on the error paths as well as on the normal one.
char console_buffer[1 << 16];

// Exit status once all is written: -1 when standard output could not be written.
int ConsoleStatus(int status) { return (fflush(stdout) != 0 || ferror(stdout)) ? -1 : status; }

// out.txt is written over from its start and cut at the end of what was written, rather
// than emptied first: emptying a large file and writing it anew costs the file system far
// more (on ext4 the release of every block, and a forced write-back when the file is
// closed) than writing over the blocks it already has. Every way out after it is opened
// cuts it, so it never keeps bytes of an earlier run: the end of the run or of its failure,
// and the signals that end the process, whose handlers cut it and end the process as the
// signal would have. Only bytes that were there when it was opened are cut, so whatever
// else writes to the same file (standard output sent there) fares as it would have.
int out_descriptor = -1;
off_t out_old_length = 0;  // the length out.txt had when it was opened

void CutOutTxt() {
  const off_t written = lseek(out_descriptor, 0, SEEK_CUR);
  // A pipe has no position, so lseek fails; a device such as /dev/null has no length.
  if (written >= 0 && written < out_old_length && ftruncate(out_descriptor, written) == 0) {
    out_old_length = written;
  }
}

extern "C" void CutOutTxtAndEnd(int signal_number) {
  CutOutTxt();  // lseek and ftruncate are safe in a signal handler
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);  // delivered as the handler returns
}

// True when the two descriptors are open on the same file.
bool SameFile(int one, int other) {
  struct stat one_status, other_status;
  return fstat(one, &one_status) == 0 && fstat(other, &other_status) == 0 &&
         one_status.st_dev == other_status.st_dev && one_status.st_ino == other_status.st_ino;
}

// Opens out.txt for writing, creating it when it does not exist, as fopen's "w" does. It is
// emptied at once, as "w" empties it, only when the process reads or writes it some other
// way too: as an input table, which must then read as empty, or as standard output or
// standard error. Ends the process like open_or_ask when it cannot be opened.
FILE* OpenOutTxt(const std::vector<InputTable>& tables) {
  const int descriptor = open(kOutName, O_WRONLY | O_CREAT, 0666);
  FILE* stream = descriptor >= 0 ? fdopen(descriptor, "w") : nullptr;
  if (stream == nullptr) {
    printf("\nerror when opening file %s\n", kOutName);
    exit(-1);
  }
  out_descriptor = descriptor;
  struct stat status;
  if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) out_old_length = status.st_size;
  bool shared = SameFile(STDOUT_FILENO, descriptor) || SameFile(STDERR_FILENO, descriptor);
  for (const InputTable& table : tables) {
    if (SameFile(fileno(table.stream), descriptor)) shared = true;
  }
  if (shared) {
    CutOutTxt();         // at position 0: emptied
    out_old_length = 0;  // nothing is cut later
  }
  for (int signal_number : {SIGHUP, SIGINT, SIGPIPE, SIGTERM}) {
    struct sigaction action = {};
    // A signal that the caller has set to be ignored stays ignored.
    if (sigaction(signal_number, nullptr, &action) != 0 || action.sa_handler != SIG_DFL) {
      continue;
    }
    action.sa_handler = CutOutTxtAndEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(signal_number, &action, nullptr);
  }
  return stream;
}

}  // namespace

int main(int argc, char** argv) {
  // A terminal keeps its line buffering so record lines show as they come.
  if (!isatty(STDOUT_FILENO)) setvbuf(stdout, console_buffer, _IOFBF, sizeof console_buffer);
  fputs(kUsage, stdout);
  if (argc < 4) return ConsoleStatus(1);
  const int nfiles = argc - 2;  // the last argument is the column

  std::vector<InputTable> tables;
  try {
    tables.reserve(nfiles);
    for (int i = 1; i <= nfiles; ++i) {
      std::string name = argv[i];
      FILE* stream = open_or_ask(&name, "r");
      tables.emplace_back(std::move(name), stream);
      printf("%s  ", tables.back().name.c_str());
    }
  } catch (const std::bad_alloc&) {
    fail_and_exit("oom");
  }
  printf("  ==>  %s\n\n", kOutName);

  // The column is checked here, before out.txt is created or emptied.
  const int lnl_column = parse_lnl_column(argv[argc - 1]);
  if (lnl_column < 1) {
    fail_and_exit("log-likelihood column must be 1 or more, not " + std::to_string(lnl_column));
  }

  // compare_runs gathers out.txt in large blocks of its own, which an unbuffered stream
  // hands to the system as they are, without copying them once more.
  FILE* out = OpenOutTxt(tables);
  setvbuf(out, nullptr, _IONBF, 0);

  CompareOutcome outcome;
  try {
    outcome = compare_runs(&tables, lnl_column, out, stdout);
  } catch (const std::bad_alloc&) {
    CutOutTxt();  // what compare_runs wrote is all out
    fail_and_exit("oom");
  }
  CutOutTxt();
  if (outcome.status == CompareOutcome::kIndexMismatch) fail_and_exit("index field different");
  if (outcome.status == CompareOutcome::kReadError) {
    fail_and_exit("cannot read file " + tables[outcome.failed_table].name);
  }

  printf("\nwrote %lld records into %s\n", outcome.records_written, kOutName);
  for (InputTable& table : tables) fclose(table.stream);
  bool out_failed = ferror(out) != 0;
  if (fclose(out) != 0) out_failed = true;
  return ConsoleStatus(out_failed ? -1 : 0);
}
