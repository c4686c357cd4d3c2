// The run shared by the site checkers, and the profile of each checker program: its
// texts, its default site file and the form of the site file it reads.
#ifndef SITECHECK_CHECKER_H_
#define SITECHECK_CHECKER_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sitecheck/reader.h"

namespace sitecheck {

/// What differs between the checker programs.
struct CheckerProfile {
  const char* name;               // the program's name
  const char* usage;              // printed first on every run
  const char* help;               // printed for -h or --help, given alone
  const char* headerText;         // marks a replicate's list in the report
  const char* closing_suffix;     // ends the closing line
  const char* default_site_file;  // site file when the third argument is missing
  bool class_per_site;            // site file in class-per-site form, classes from the arguments
  bool needs_two_arguments;       // with fewer, the run ends after the usage text (status -1)
};

extern const CheckerProfile kVarnelDrovik;  // naive-empirical lists, site list
extern const CheckerProfile kSelwickBR;     // Bayes-empirical lists, classes per site
extern const CheckerProfile kSelwickBEB;    // Bayes-empirical lists, site list

/// Run settings from the command line.
struct CheckerSettings {
  int32_t ls = 100;   // sites per data set
  int32_t nrepl = 1;  // replicates
  std::string siteFile;
  std::string report = "mlc";
  std::vector<std::string> class_args;    // class-per-site form: the positive classes, as typed
  size_t reader_window = kDefaultWindow;  // the window of each file's reader, in bytes
};

class ReplicateRows;

/// The settings from the arguments after the program's name: #sites, #repl, site file,
/// report and, for a class-per-site checker, the classes. An argument that is not a number
/// leaves its setting at the default.
CheckerSettings ParseCommandLine(const CheckerProfile& profile,
                                 const std::vector<std::string>& args);

/// Runs a checker from its settings line on: prints to `out`, reads the pause's key from
/// `in`, writes warnings and the detail of an error to `err`, and adds each replicate's
/// rows to `rows` when given. Returns the exit status: -1 after an error message, or as
/// soon as writing `out` failed; otherwise 0.
int RunChecker(const CheckerProfile& profile, const CheckerSettings& settings, FILE* in, FILE* out,
               FILE* err, ReplicateRows* rows = nullptr);

/// The whole program: the help or the version when the one argument asks for it; else the
/// usage text, the --tsv option, the early end with too few arguments, then the run. A
/// failure to write standard output or the --tsv file ends it with a message on standard
/// error and status -1.
int CheckerMain(const CheckerProfile& profile, int argc, char** argv);

}  // namespace sitecheck

#endif  // SITECHECK_CHECKER_H_
