// Console text utilities of zenthar: the error exit and the file opener that asks once for
// a path.
#ifndef RUNCOMPARE_TEXTUTIL_H_
#define RUNCOMPARE_TEXTUTIL_H_

#include <cstdio>
#include <string>

/// Prints "\nError: <message>.\n" on `out` and ends the process with exit status -1 through
/// exit(), so every open stream (out.txt among them) is flushed first.
[[noreturn]] void fail_and_exit(const std::string& message, FILE* out = stdout);

/// Opens `*path` with `mode` and returns the stream; never returns without one.
/// An absent or empty name ends the process through fail_and_exit("file name empty.").
/// On failure it prints "\nerror when opening file <path>\n"; a mode without the letter r
/// then ends the process (status -1). Otherwise it prints the prompt, reads one word of any
/// length from `in` (leading white space skipped, the word ends before the next white space,
/// which stays unread), stores it in `*path` and tries once more; at end of input `*path`
/// keeps the old name. A second failure prints "Can't find the file.  I give up." and ends
/// the process with status -1.
FILE* open_or_ask(std::string* path, const char* mode, FILE* in = stdin, FILE* out = stdout);

#endif  // RUNCOMPARE_TEXTUTIL_H_
