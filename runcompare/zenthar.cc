// zenthar: compares the result tables of repeated runs of one analysis record by record and
// writes, for every record, the line of the run with the highest log-likelihood to out.txt.
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "runcompare/compare.h"
#include "runcompare/console.h"
#include "runcompare/diagnostics.h"
#include "runcompare/line_writer.h"
#include "runcompare/output_file.h"
#include "textio/input_failure.h"

namespace {

using runcompare::fail_and_exit;

constexpr char kUsage[] = "Usage: \n\tzenthar <file1> <file2> ... <lnLcolumn>\n\n";
constexpr char kHelp[] =
    "usage: zenthar file1 file2 [file ...] lnLcolumn\n"
    "Compares the result tables of repeated runs of one analysis, record by record,\n"
    "and writes the line of the run with the highest log-likelihood to out.txt.\n"
    "  file1 file2 ...  the result tables, at least two (no default)\n"
    "  lnLcolumn        the field of the log-likelihood, from 1 (default 13)\n"
    "See man zenthar.\n";
constexpr char kOutName[] = "out.txt";

// The buffer of standard output, with static storage: exit() flushes the stream after every
// local of main is gone, on the error paths as well as on the normal one.
char console_buffer[1 << 16];

// Exit status once all is written: -1 when standard output could not be written.
int ConsoleStatus(int status) { return (fflush(stdout) != 0 || ferror(stdout)) ? -1 : status; }

// Ends the run for a table that could not be read.
[[noreturn]] void FailToRead(const runcompare::InputTable& table) {
  const textio::ByteSource& source = table.reader.Source();
  if (source.Damaged()) {
    fail_and_exit("damaged compressed data in file " + table.name + ": " +
                  textio::DescribeReadFailure(source));
  }
  fail_and_exit("cannot read file " + table.name);
}

// Opens the input tables, in command-line order, each with its line buffer, reads the first
// block of each, so that a table that cannot be read is told before out.txt is touched, and
// prints the name of each once it is open (the name typed at the prompt, when there was one).
std::vector<runcompare::InputTable> OpenTables(char** names, int count) {
  std::vector<runcompare::InputTable> tables;
  tables.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::string name = names[i];
    textio::FileIdentity identity;
    std::unique_ptr<textio::ByteSource> source = runcompare::open_or_ask(&name, &identity);
    tables.emplace_back(std::move(name), std::move(source));
    tables.back().identity = identity;
    if (!tables.back().reader.HasWindow()) fail_and_exit("oom");
    if (!tables.back().reader.ReadFirstBlock()) FailToRead(tables.back());
    std::printf("%s  ", tables.back().name.c_str());
  }
  return tables;
}

// Ends the run for out.txt, which could not be written.
[[noreturn]] void FailToWrite(int error_number) {
  fail_and_exit(std::string("cannot write file ") + kOutName + ": " + std::strerror(error_number));
}

// Checks that out.txt is none of the tables, which writing it would destroy, and takes the
// lock that refuses another run, whose lines would mix with this run's; returns the
// descriptor to write.
int StartOutTxt(runcompare::OutputFile* out_file,
                const std::vector<runcompare::InputTable>& tables) {
  for (const runcompare::InputTable& table : tables) {
    if (table.identity.SameFile(out_file->Identity())) {
      fail_and_exit("file " + table.name + " is " + kOutName + ", which this run writes");
    }
  }
  return out_file->Start();
}

// Raises the limit on open files to the most this user may have, so that a run over more
// tables than the usual limit opens them all. Where it cannot be raised, it stays.
void RaiseOpenFileLimit() {
  rlimit limit;
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  setrlimit(RLIMIT_NOFILE, &limit);
}

// The run from the opening of the input tables on; returns the exit status.
int Run(int argc, char** argv) {
  std::vector<runcompare::InputTable> tables = OpenTables(argv + 1, argc - 2);
  std::printf("  ==>  %s\n\n", kOutName);

  // The column is checked here, before out.txt is created or emptied.
  bool column_given = true;
  const int lnl_column = runcompare::ParseLnlColumn(argv[argc - 1], &column_given);
  if (!column_given) runcompare::WarnColumnArgument(argv[argc - 1], lnl_column);
  if (lnl_column < 1) {
    fail_and_exit("log-likelihood column must be 1 or more, not " + std::to_string(lnl_column));
  }

  runcompare::OutputFile out_file(kOutName);
  runcompare::LineWriter out_txt(StartOutTxt(&out_file, tables));
  const runcompare::CompareOutcome outcome =
      runcompare::CompareRuns(&tables, lnl_column, &out_txt, stdout);
  // out.txt keeps every record written before a failure. A failed write is told before
  // anything else, and no closing line claims records that are not in out.txt.
  const bool written = out_txt.Close();
  const int write_error = out_txt.ErrorNumber();
  if (!out_file.Finish()) {
    const int rename_error = errno;
    runcompare::Tell(kOutName, "not replaced: this run's lines are in " + out_file.NewFile());
    FailToWrite(written ? rename_error : write_error);
  }
  if (!written) FailToWrite(write_error);
  runcompare::WarnOddValues(outcome.odd, tables, lnl_column);
  switch (outcome.status) {
    case runcompare::CompareOutcome::kIndexMismatch:
      runcompare::TellIndexMismatch(tables, outcome.records_written + 1);
      fail_and_exit("index field different");
    case runcompare::CompareOutcome::kReadError:
      FailToRead(tables[outcome.failed_table]);
    case runcompare::CompareOutcome::kNoMemory:
      fail_and_exit("oom");
    case runcompare::CompareOutcome::kLineTooLong:
      fail_and_exit("the line of record " + std::to_string(outcome.records_written + 1) +
                    " in file " + tables[outcome.failed_table].name + " is longer than 1 GiB");
    case runcompare::CompareOutcome::kWriteError:  // told above: the close fails again
      break;
    case runcompare::CompareOutcome::kDone:
      runcompare::WarnEarlyEnd(&tables, lnl_column, outcome.records_written);
      break;
  }
  // A compressed table is read to its end, so that its checks cover every line taken.
  for (runcompare::InputTable& table : tables) {
    if (!table.reader.ReadToEnd()) FailToRead(table);
  }
  std::printf("\nwrote %lld records into %s\n", outcome.records_written, kOutName);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Over a limit on the size of files, a write to out.txt fails and is told, rather than
  // ending the process with a signal. Standard output that goes away (a reader that stops
  // early) fails the console's writes, and the run still writes every record into out.txt,
  // then ends with status -1.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  RaiseOpenFileLimit();
  // A terminal keeps its line buffering so record lines show as they come.
  if (!isatty(STDOUT_FILENO)) setvbuf(stdout, console_buffer, _IOFBF, sizeof console_buffer);
  // Given alone, the help and the version; with other arguments they are file names.
  const std::string only = argc == 2 ? argv[1] : "";
  if (only == "-h" || only == "--help") {
    std::fputs(kHelp, stdout);
    return ConsoleStatus(0);
  }
  if (only == "--version") {
    std::printf("zenthar %s\n", SITETOOLS_VERSION);
    return ConsoleStatus(0);
  }
  std::fputs(kUsage, stdout);
  if (argc < 4) return ConsoleStatus(1);  // fewer than two input files and the column
  try {
    return ConsoleStatus(Run(argc, argv));
  } catch (const std::bad_alloc&) {
    fail_and_exit("oom");  // after the unwinding has written out what out.txt holds
  }
}
