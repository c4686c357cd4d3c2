// Console text utilities of zenthar: the error exit, the file opener that asks once for a
// path and the field finders.
#ifndef RUNCOMPARE_TEXTUTIL_H_
#define RUNCOMPARE_TEXTUTIL_H_

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

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

/// True for the six white-space characters that separate fields: blank, tab, line feed,
/// vertical tab, form feed, carriage return. Bytes 0x80 to 0xFF and NUL belong to fields.
inline bool is_field_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

/// Finds where the fields of `line` begin and returns their number; entries 0 to count-1
/// of `*starts` then hold their 0-based offsets in increasing order. The scan covers the
/// whole of `line` up to its first line feed, whatever its length; it stops once
/// `max_fields` fields are found, so callers that need only the first few fields do not pay
/// for the rest of the line. `*starts` grows as needed and never shrinks, so a caller that
/// keeps one vector allocates only while lines get longer; its entries past the count are
/// unspecified.
std::size_t field_starts(std::string_view line, std::vector<std::size_t>* starts,
                         std::size_t max_fields = static_cast<std::size_t>(-1));

/// Where the fields that a record needs are in a line, as scan_line finds them.
struct LineFields {
  const char* first;   // field 1, when count is at least 1
  const char* wanted;  // the field asked for, when count reaches it
  const char* feed;    // the line feed that ends the line
  std::size_t count;   // fields found, counting no further than the field asked for
};

/// Finds field 1, field `column` (1-based, at least 1) and the end of a line in a reader's
/// buffer: the line ends at the first line feed from `line` on, and the 63 bytes after that
/// line feed can be read too, which lets the scan go 64 characters at a time. The fields
/// after field `column` are not looked at, only passed over to the line feed.
LineFields scan_line(const char* line, std::size_t column);

/// The two ways scan_line works, for tests: with 16-byte vectors, which every x86-64
/// processor has (or a character at a time elsewhere), and with 32-byte AVX2 vectors, which
/// scan_line takes when scan_line_avx2_available() says the processor has them. Without
/// them scan_line_avx2 must not be called.
LineFields scan_line_sse2(const char* line, std::size_t column);
LineFields scan_line_avx2(const char* line, std::size_t column);
bool scan_line_avx2_available();

/// True when the fields at `a` and `b`, each inside a line as scan_line takes it, are
/// the same text followed by the same white-space character. Fields of 16 or more
/// characters are never reported the same. Equal fields scan to equal numbers, so a caller
/// can take a number already scanned instead of scanning again.
bool same_field(const char* a, const char* b);

#endif  // RUNCOMPARE_TEXTUTIL_H_
