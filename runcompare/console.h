// The console side of zenthar: the error exit, and the file openers, of which the one for
// reading asks once, on the console, for a full path.
#ifndef RUNCOMPARE_CONSOLE_H_
#define RUNCOMPARE_CONSOLE_H_

#include <cstdio>
#include <memory>
#include <string>

#include "textio/byte_source.h"

namespace runcompare {

/// Prints "\nError: <message>.\n" on `console` and ends the process with exit status -1
/// through exit(), so every open stream is flushed first.
[[noreturn]] void fail_and_exit(const std::string& message, FILE* console = stdout);

/// Opens the file `*path` for reading and returns it as a byte source, with the file it
/// leads to in `*identity` when one is given; never returns without one. A file that is
/// missing, unreadable or a folder gets one second chance: the error and the prompt go to
/// `console`, and the next word of `in` (leading white space skipped, the white space after
/// it left unread) replaces `*path`, which at end of input keeps the old name. Every other
/// failure, the second included, ends the process with status -1 after a message
/// (console_test.cc and bad_input_test.cc hold the texts).
std::unique_ptr<textio::ByteSource> open_or_ask(std::string* path,
                                                textio::FileIdentity* identity = nullptr,
                                                FILE* in = stdin, FILE* console = stdout);

/// Opens the file `path` for writing, creating it when there is none but not emptying it
/// yet, and returns its descriptor, with the file it leads to in `*identity`. An empty name
/// ends the process as in open_or_ask. When the file cannot be opened (a FIFO that no
/// process reads among the reasons: the open does not wait) it ends the process through
/// FailToOpenToWrite: a file to be written cannot be found elsewhere, so there is no
/// prompt.
int OpenToWrite(const std::string& path, textio::FileIdentity* identity, FILE* console = stdout);

/// Tells that `path` cannot be opened and why, `error_number` (errno), and ends the
/// process with status -1.
[[noreturn]] void FailToOpenToWrite(const std::string& path, int error_number,
                                    FILE* console = stdout);

/// Takes the lock that every run writing the file `path`, open at `descriptor`, takes, and
/// then empties the file. The lock is the system's, held through a duplicate of
/// `descriptor` until the process ends. When another process holds it, the process ends
/// through fail_and_exit, the file untouched; a file system without locks gives none, and
/// the run goes on. Other failures end the process as in OpenToWrite.
void LockAndEmpty(int descriptor, const std::string& path, FILE* console = stdout);

}  // namespace runcompare

#endif  // RUNCOMPARE_CONSOLE_H_
