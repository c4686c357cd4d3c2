// Reading the inputs as streams, and writing the outputs all or nothing.
#ifndef SITEPLOT_FILE_IO_H_
#define SITEPLOT_FILE_IO_H_

#include <string>
#include <vector>

#include "siteplot/checker_output.h"
#include "siteplot/line_reader.h"

namespace siteplot {

/// The name of `path` in messages: "standard input" for "-".
std::string DisplayName(const std::string& path);

/// Reads the checker run in `path` ("-": standard input), gzip-compressed data
/// decompressed, a line at a time: a per-replicate file when its first line is
/// kPerReplicateHeader, else a console output. Memory grows only with the replicates kept.
/// On failure `err` is "NAME: reason": the system's reason, another compressor's format,
/// damaged gzip data, a line longer than kMaxLineLength, or what the parser found wrong.
bool ReadRun(const std::string& path, CheckerRun* run, std::string* err);

/// Output files that appear whole or not at all. Add() writes each file's text into a new
/// temporary file in the file's folder; Commit() renames them into place. Standard output
/// ("-") and anything that is not a plain file (a device, a pipe, a symbolic link) cannot be
/// replaced that way: Commit() writes those in place, before the renames. Temporary files
/// that were not renamed are removed when the set goes. New files get the permissions the
/// umask allows.
class OutputSet {
 public:
  OutputSet() = default;
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;
  ~OutputSet();

  bool Add(const std::string& path, const std::string& text, std::string* err);
  bool Commit(std::string* err);

 private:
  struct Pending {
    std::string path;
    std::string temporary;  // empty for an output written in place
    std::string text;       // what is written in place
  };
  std::vector<Pending> pending_;
};

}  // namespace siteplot

#endif  // SITEPLOT_FILE_IO_H_
