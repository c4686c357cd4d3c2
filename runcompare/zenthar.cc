// zenthar: compares the result tables of repeated runs of one analysis record by record and
// writes, for every record, the line of the run with the highest log-likelihood to out.txt.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "runcompare/compare.h"
#include "runcompare/console.h"

namespace {

using runcompare::CompareOutcome;
using runcompare::fail_and_exit;
using runcompare::InputTable;

constexpr char kUsage[] = "Usage: \n\tzenthar <file1> <file2> ... <lnLcolumn>\n\n";
constexpr char kOutName[] = "out.txt";

// The buffer of standard output, with static storage: exit() flushes the stream after every
// local of main is gone, on the error paths as well as on the normal one.
char console_buffer[1 << 16];

// Exit status once all is written: -1 when standard output could not be written.
int ConsoleStatus(int status) { return (fflush(stdout) != 0 || ferror(stdout)) ? -1 : status; }

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
      std::unique_ptr<textio::ByteSource> source = runcompare::open_or_ask(&name);
      tables.emplace_back(std::move(name), std::move(source));
      if (!tables.back().reader.has_window()) fail_and_exit("oom");
      printf("%s  ", tables.back().name.c_str());
    }
  } catch (const std::bad_alloc&) {
    fail_and_exit("oom");
  }
  printf("  ==>  %s\n\n", kOutName);

  // The column is checked here, before out.txt is created or emptied.
  const int lnl_column = runcompare::parse_lnl_column(argv[argc - 1]);
  if (lnl_column < 1) {
    fail_and_exit("log-likelihood column must be 1 or more, not " + std::to_string(lnl_column));
  }

  // compare_runs gathers out.txt in large blocks of its own, which an unbuffered stream
  // hands to the system as they are, without copying them once more.
  FILE* out = fdopen(runcompare::open_to_write(kOutName), "w");
  if (out == nullptr) fail_and_exit("oom");
  setvbuf(out, nullptr, _IONBF, 0);

  CompareOutcome outcome;
  try {
    outcome = runcompare::compare_runs(&tables, lnl_column, out, stdout);
  } catch (const std::bad_alloc&) {
    fail_and_exit("oom");
  }
  if (outcome.status == CompareOutcome::kIndexMismatch) fail_and_exit("index field different");
  if (outcome.status == CompareOutcome::kReadError) {
    fail_and_exit("cannot read file " + tables[outcome.failed_table].name);
  }
  if (outcome.status == CompareOutcome::kNoMemory) fail_and_exit("oom");

  printf("\nwrote %lld records into %s\n", outcome.records_written, kOutName);
  bool out_failed = ferror(out) != 0;
  if (fclose(out) != 0) out_failed = true;
  return ConsoleStatus(out_failed ? -1 : 0);
}
