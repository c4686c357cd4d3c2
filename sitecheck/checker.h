// The run shared by the site checkers: settings lines, files, replicate loop, table.
#ifndef SITECHECK_CHECKER_H_
#define SITECHECK_CHECKER_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace sitecheck {

/// What differs between the checker programs.
struct CheckerOptions {
  const char* headerText = "Naive Empirical";  // marks a replicate's list in the report
  const char* closingSuffix = "";              // ends the closing line
  bool classPerSite = false;           // site file in class-per-site form, classes from classArgs
  std::vector<std::string> classArgs;  // the positive site classes, as typed
};

/// Run settings from the command line.
struct CheckerSettings {
  int32_t ls = 100;   // sites per data set
  int32_t nrepl = 1;  // replicates
  std::string siteFile;
  std::string report;
};

/// Reads a leading decimal integer of a command-line argument (white space skipped,
/// optional sign). False, with `*value` untouched, when the argument does not start with
/// one. A value beyond the 32-bit range is taken as the nearest 32-bit value.
bool parseIntArgument(const char* arg, int32_t* value);

/// Runs a checker from its settings line on: prints to `out`, reads the pause's key from
/// `in`. Returns the exit status: -1 after an error message (or when writing `out`
/// failed), otherwise the result of closing the report.
int runChecker(const CheckerOptions& options, const CheckerSettings& settings, FILE* in, FILE* out);

}  // namespace sitecheck

#endif  // SITECHECK_CHECKER_H_
