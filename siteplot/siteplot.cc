// siteplot: draws the summary table of the site checkers' saved console output as an SVG
// figure, and writes it as tab-separated text for R or a spreadsheet.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "siteplot/checker_output.h"
#include "siteplot/command_line.h"
#include "siteplot/figure.h"
#include "siteplot/file_io.h"
#include "siteplot/tsv.h"

namespace {

// Exit statuses: bad input (or an output that cannot be written), bad command line.
const int kBadInput = 1;
const int kBadUsage = 2;

[[noreturn]] void Fail(int status, const std::string& message) {
  std::fprintf(stderr, "siteplot: %s\n", message.c_str());
  if (status == kBadUsage) std::fprintf(stderr, "Try 'siteplot --help' for more information.\n");
  std::exit(status);
}

// The figure and the tables asked for, all or none; the set's destructor removes the
// temporary files of a failed run before the caller exits.
bool WriteOutputs(const siteplot::Options& options, const std::vector<siteplot::LabelledRun>& runs,
                  std::string* err) {
  siteplot::OutputSet outputs;
  if (!outputs.Add(options.output, siteplot::DrawFigure(runs, options.title), err)) return false;
  if (!options.tsv.empty() && !outputs.Add(options.tsv, siteplot::ClassTableTsv(runs), err)) {
    return false;
  }
  if (!options.replicates.empty() &&
      !outputs.Add(options.replicates, siteplot::ReplicatesTsv(runs), err)) {
    return false;
  }
  return outputs.Commit(err);
}

// Help and version go to standard output through stdio; a failed write is a failed run.
int Flushed() {
  if (std::fflush(stdout) == 0) return 0;
  std::fprintf(stderr, "siteplot: standard output: %s\n", std::strerror(errno));
  return kBadInput;
}

}  // namespace

int main(int argc, char** argv) {
  // A closed pipe on standard output is a write error with its message, not a signal.
  std::signal(SIGPIPE, SIG_IGN);
  siteplot::Options options;
  std::string err;
  switch (siteplot::ParseCommandLine(argc, argv, &options, &err)) {
    case siteplot::Action::kHelp:
      std::fputs(siteplot::kHelp, stdout);
      return Flushed();
    case siteplot::Action::kVersion:
      std::printf("siteplot (sitetools) %s\n", SITETOOLS_VERSION);
      return Flushed();
    case siteplot::Action::kUsageError:
      Fail(kBadUsage, err);
    case siteplot::Action::kRun:
      break;
  }

  // Every input is read and checked before any output is made. Memory grows with the
  // replicates kept; when it runs out, that is a failed run like any other.
  std::vector<siteplot::LabelledRun> runs(options.inputs.size());
  for (size_t i = 0; i < options.inputs.size(); ++i) {
    try {
      if (!siteplot::ReadRun(options.inputs[i], &runs[i].run, &err)) Fail(kBadInput, err);
    } catch (const std::bad_alloc&) {
      Fail(kBadInput, siteplot::DisplayName(options.inputs[i]) + ": out of memory");
    }
    runs[i].label = options.labels[i];
  }
  try {
    if (!WriteOutputs(options, runs, &err)) Fail(kBadInput, err);
  } catch (const std::bad_alloc&) {
    Fail(kBadInput, "out of memory while making the outputs");
  }
  return 0;
}
