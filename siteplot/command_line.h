// siteplot's command line: options in, a plain settings struct out.
#ifndef SITEPLOT_COMMAND_LINE_H_
#define SITEPLOT_COMMAND_LINE_H_

#include <string>
#include <vector>

namespace siteplot {

struct Options {
  std::vector<std::string> inputs;  // "-" is standard input
  std::vector<std::string> labels;  // one per input
  std::string output = "-";         // the figure; "-" is standard output
  std::string tsv;                  // empty: not written
  std::string replicates;           // empty: not written
  std::string title;
};

enum class Action { kRun, kHelp, kVersion, kUsageError };

/// The synopsis and the options, as --help prints them.
extern const char kHelp[];

/// Reads the options and FILE arguments. No FILE means standard input. A FILE without a
/// --label is named after its last path component, standard input "stdin". Returns
/// kUsageError with `err` set for an unknown option, a missing option argument, more labels
/// than FILEs, more FILEs than one figure tells apart, standard input named twice, two
/// outputs that go to one file (both standard output, the same name, or, for a file that
/// exists, the same file through different names, standard output's file included), or an
/// output that is an input that is a plain file (by name, link or standard input).
Action ParseCommandLine(int argc, char** argv, Options* options, std::string* err);

}  // namespace siteplot

#endif  // SITEPLOT_COMMAND_LINE_H_
