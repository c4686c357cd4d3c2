// The output file of zenthar, out.txt, written so that a run stopped at any moment leaves
// no line cut in it: the run writes a new file beside it and renames it to out.txt when the
// run ends, so a run killed before leaves the out.txt before it whole. An out.txt that is a
// symbolic link, a device, a pipe or a file with other names is written through as it is.
#ifndef RUNCOMPARE_OUTPUT_FILE_H_
#define RUNCOMPARE_OUTPUT_FILE_H_

#include <cstdio>
#include <string>

#include "textio/byte_source.h"

namespace runcompare {

class OutputFile {
 public:
  /// Looks at the file `name` in the current folder and, when it is to be written through,
  /// opens it as OpenToWrite does. An existing file that is to be replaced must be one the
  /// user may write, as when it is written through; otherwise the process ends as in
  /// OpenToWrite.
  explicit OutputFile(const std::string& name, FILE* console = stdout);
  /// Renames the new file to the name, unless Finish() did.
  ~OutputFile() { Finish(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  /// The file the name leads to now, when there is one: the caller refuses to write over an
  /// input.
  const textio::FileIdentity& Identity() const { return identity_; }

  /// Takes the lock that refuses a second run and returns the descriptor to write, whose
  /// owner closes it. For a file to be replaced, the lock is on the current folder, which the
  /// rename leaves in place, and the new file, named "<name>.XXXXXX", gets the mode of the
  /// file it replaces (of a new file when there is none); SIGINT, SIGTERM, SIGHUP and SIGQUIT,
  /// where they end the process, rename it before they do. Where the folder has no lock or
  /// cannot take a new file, the file is written through, as a file written through always
  /// is: locked as LockAndEmpty locks it, and emptied. A lock held by another run ends the
  /// process through fail_and_exit("<name> is being written by another run").
  int Start();

  /// Renames the new file to the name, once, when there is one. False, with errno set,
  /// when that fails.
  bool Finish();

  /// The new file's name, empty when the file is written through.
  const std::string& NewFile() const { return new_file_; }

 private:
  // Opens the file to write it through, creating it when there is none.
  void OpenThrough();

  std::string name_;
  FILE* console_;
  bool replace_ = false;  // the name gets a new file, renamed to it
  int descriptor_ = -1;   // the file written through, or the one to be replaced while open
  mode_t mode_ = 0;       // the mode of the file replaced
  textio::FileIdentity identity_;
  std::string new_file_;
};

}  // namespace runcompare

#endif  // RUNCOMPARE_OUTPUT_FILE_H_
