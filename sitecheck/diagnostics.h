// The site checkers' lines on standard error: a warning for a mistake the run goes on
// with, the detail of an error the run ends with. Standard output never changes for them.
#ifndef SITECHECK_DIAGNOSTICS_H_
#define SITECHECK_DIAGNOSTICS_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sitecheck/checker.h"
#include "sitecheck/site_file.h"

namespace sitecheck {

/// Writes the lines of one program to its standard error (or to any stream).
class Diagnostics {
 public:
  Diagnostics(const char* program, FILE* err) : program_(program), err_(err) {}

  /// "PROGRAM: warning: WHAT": a mistake the run goes on with.
  void Warn(const std::string& what) const;
  /// "PROGRAM: DETAIL": the detail of an error, DETAIL naming the file or argument first.
  /// Nothing for an empty detail.
  void Detail(const std::string& detail) const;

 private:
  const char* program_;
  FILE* err_;
};

/// Warns about each number among the arguments (#sites, #repl, the classes) that does not
/// read whole as a 32-bit integer, naming the value used, and about a class-per-site
/// checker given no positive class.
void WarnAboutArguments(const CheckerProfile& profile, const std::vector<std::string>& args,
                        const CheckerSettings& settings, const Diagnostics& diagnostics);

/// "PATH: REASON" for a file that could not be opened or read: the system's reason for
/// `error_number`, or "" when it gives none.
std::string SystemErrorDetail(const std::string& path, int error_number);

/// The line of the file at `path` that holds the byte at `offset`, counted from 1 by
/// reading the file again (as the checkers read it, CR LF folded); 0 when it is no regular
/// file or does not reach that far.
int64_t LineAt(const std::string& path, uint64_t offset);

/// The detail of a site-file block that ends the run in replicate `r`: the file, the line
/// for a format error, and what is wrong. `offset` is where the site file's reader stands.
std::string SiteErrorDetail(const SiteBlock& block, int r, int32_t ls, const std::string& path,
                            uint64_t offset);

/// Warns about a report that ended before the run's last replicate: `first` is the first
/// replicate without a list (0: none) and `last` the last one scored.
void WarnMissingLists(const CheckerSettings& settings, const char* headerText, int64_t first,
                      int64_t last, const Diagnostics& diagnostics);

/// Warns about each positive class (sorted) that no site of the site file had.
void WarnUnseenClasses(const CheckerSettings& settings, const std::vector<int32_t>& classes,
                       const std::vector<bool>& seen, const Diagnostics& diagnostics);

/// The pause after "Hit Enter to continue.": reads one character from `in`, unless `in`
/// is one of the input files, which the character would be taken from. When `in` is a
/// terminal and `out` is not, the prompt is repeated on `err`, where it can be seen.
void Pause(const CheckerSettings& settings, FILE* in, FILE* out, FILE* err);

}  // namespace sitecheck

#endif  // SITECHECK_DIAGNOSTICS_H_
