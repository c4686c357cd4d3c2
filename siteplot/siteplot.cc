// siteplot: draws the summary table of the site checkers' saved console output as an SVG
// figure, and writes it as tab-separated text for R or a spreadsheet.
#include <cstdio>
#include <cstdlib>
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

}  // namespace

int main(int argc, char** argv) {
  siteplot::Options options;
  std::string err;
  switch (siteplot::ParseCommandLine(argc, argv, &options, &err)) {
    case siteplot::Action::kHelp:
      std::fputs(siteplot::kHelp, stdout);
      return std::fflush(stdout) == 0 ? 0 : kBadInput;
    case siteplot::Action::kVersion:
      std::printf("siteplot (sitetools) %s\n", SITETOOLS_VERSION);
      return std::fflush(stdout) == 0 ? 0 : kBadInput;
    case siteplot::Action::kUsageError:
      Fail(kBadUsage, err);
    case siteplot::Action::kRun:
      break;
  }

  // Every input is read and checked before any output is made.
  std::vector<siteplot::LabelledRun> runs(options.inputs.size());
  for (size_t i = 0; i < options.inputs.size(); ++i) {
    std::string text;
    if (!siteplot::ReadInput(options.inputs[i], &text, &err)) Fail(kBadInput, err);
    if (!siteplot::ParseCheckerOutput(text, &runs[i].run, &err)) {
      Fail(kBadInput, siteplot::DisplayName(options.inputs[i]) + ": " + err);
    }
    runs[i].label = options.labels[i];
  }

  if (!WriteOutputs(options, runs, &err)) Fail(kBadInput, err);
  return 0;
}
