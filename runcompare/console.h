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
/// leads to in `*identity` when one is given; never returns without one. An absent or empty
/// name ends the process through fail_and_exit("file name empty."). When the file is
/// missing, cannot be read by this user or is a folder, it prints "\nerror when opening file
/// <path>\n" and the prompt, reads one word from `in` (leading white space skipped, the word
/// ends before the next white space, which stays unread), stores it in `*path` and tries once
/// more; at end of input `*path` keeps the old name. A second failure prints "Can't find
/// the file.  I give up." and ends the process with status -1. A word typed longer than
/// 4096 bytes, an open that fails for a reason of the system's (too many open files, too
/// little memory), and a file compressed in another format than gzip end the process with a
/// message that names the file and the reason.
std::unique_ptr<textio::ByteSource> open_or_ask(std::string* path,
                                                textio::FileIdentity* identity = nullptr,
                                                FILE* in = stdin, FILE* console = stdout);

/// Opens the file `path` for writing, creating it when there is none but not emptying it
/// yet, and returns its descriptor, with the file it leads to in `*identity`. An empty name
/// ends the process as in open_or_ask. When the file cannot be opened (a FIFO that no
/// process reads among the reasons: the open does not wait) it ends the process through
/// fail_to_open_to_write: a file to be written cannot be found elsewhere, so there is no
/// prompt.
int open_to_write(const std::string& path, textio::FileIdentity* identity, FILE* console = stdout);

/// Prints "\nerror when opening file <path>\n", tells the reason, `error_number` (errno), on
/// standard error, and ends the process with status -1.
[[noreturn]] void fail_to_open_to_write(const std::string& path, int error_number,
                                        FILE* console = stdout);

/// Takes the lock that every run writing the file `path`, open at `descriptor`, takes, and
/// then empties the file. The lock is the system's, held until the process ends, however it
/// ends, closing `descriptor` included: it is held through a duplicate of `descriptor` that
/// stays open. When another process holds it, the process ends through fail_and_exit("<path>
/// is being written by another run"), the file untouched; a file system that has no locks
/// gives none, and the run goes on. A file that cannot be emptied, or whose descriptor cannot
/// be duplicated, ends the process as in open_to_write.
void lock_and_empty(int descriptor, const std::string& path, FILE* console = stdout);

}  // namespace runcompare

#endif  // RUNCOMPARE_CONSOLE_H_
