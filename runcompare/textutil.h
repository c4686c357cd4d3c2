// Console text utilities of zenthar: the error exit, the file opener that asks once for a
// path, the field finder and the two number scanners.
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

/// Reads the longest beginning of `text` (which must not start with white space) that is a
/// floating-point number as strtod knows it in the C locale (decimal, hexadecimal, "inf",
/// "infinity"), correctly rounded, into `*value`; values beyond the range of double give
/// plus or minus infinity. Returns false, leaving `*value` alone, when `text` does not begin
/// with a number or begins with a NaN ("nan", "nan(...)"), which no comparison can order.
/// Never looks past the end of `text`.
bool scan_double(std::string_view text, double* value);

/// Reads an integer the way "%d" does: leading white space skipped, an optional sign, then
/// decimal digits; anything after them is ignored. Values beyond int are clamped to
/// INT_MIN or INT_MAX. Returns false, leaving `*value` alone, when no digit follows.
bool scan_int(const char* text, int* value);

/// Appends `value` to `*text` exactly as printf's "%*.*f" writes it with `width` and
/// `precision` (right-aligned, blanks on the left, "-0.000" for small negative values,
/// "inf" and "nan" as printf spells them), without printf's cost for ordinary values.
void append_fixed(std::string* text, double value, int width, int precision);

/// Appends `value` to `*text` exactly as printf's "%*lld" writes it with `width`.
void append_int(std::string* text, long long value, int width);

#endif  // RUNCOMPARE_TEXTUTIL_H_
