// Console text utilities of zenthar: error exit, file opener with one prompt, field finder,
// number scanners.
#include "runcompare/textutil.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void fail_and_exit(const std::string& message, FILE* out) {
  fprintf(out, "\nError: %s.\n", message.c_str());
  // exit() rather than _exit(): open streams, out.txt among them, must be flushed.
  exit(-1);
}

namespace {

// Reads one word as "%s" does, of any length: skips white space, then takes characters up to
// the next white space, which is pushed back so that a later prompt starts from it. Returns
// false when the input ends before a word starts.
bool ReadWord(FILE* in, std::string* word) {
  int c;
  do {
    c = getc(in);
  } while (c != EOF && is_field_space(static_cast<char>(c)));
  if (c == EOF) return false;
  word->clear();
  do {
    word->push_back(static_cast<char>(c));
    c = getc(in);
  } while (c != EOF && !is_field_space(static_cast<char>(c)));
  if (c != EOF) ungetc(c, in);
  return true;
}

}  // namespace

FILE* open_or_ask(std::string* path, const char* mode, FILE* in, FILE* out) {
  if (path == nullptr || path->c_str()[0] == '\0') fail_and_exit("file name empty.", out);
  FILE* stream = fopen(path->c_str(), mode);
  if (stream != nullptr) return stream;
  fprintf(out, "\nerror when opening file %s\n", path->c_str());
  // Only files to be read get a second chance: a file to be written cannot be found elsewhere.
  if (strchr(mode, 'r') == nullptr) exit(-1);
  fputs("tell me the full path-name of the file? ", out);
  fflush(out);  // the prompt has no line break and must show before the program waits
  std::string typed;
  if (ReadWord(in, &typed)) *path = typed;
  stream = fopen(path->c_str(), mode);
  if (stream != nullptr) return stream;
  fputs("Can't find the file.  I give up.\n", out);
  exit(-1);
}

std::size_t field_starts(std::string_view line, std::vector<std::size_t>* starts,
                         std::size_t max_fields) {
  // A field takes at least one character and one separator, so a line of n characters has
  // at most (n + 1) / 2 fields.
  const std::size_t length = line.size();
  const std::size_t most = std::min(max_fields, (length + 1) / 2);
  if (most == 0) return 0;
  if (starts->size() < most) starts->resize(most);
  std::size_t* out = starts->data();
  const char* text = line.data();
  std::size_t count = 0;
  std::size_t i = 0;
  bool after_space = true;  // so that a field can begin at offset 0
#if defined(__SSE2__)
  // Sixteen characters at a time: a mask of the white-space characters, from which the
  // field beginnings are the non-white characters whose predecessor is white.
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i feed = _mm_set1_epi8('\n');
  const __m128i below_tab = _mm_set1_epi8('\t' - 1);
  const __m128i above_return = _mm_set1_epi8('\r' + 1);
  for (; i + 16 <= length; i += 16) {
    __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    // Signed comparisons: bytes from 0x80 on are negative and so never white space.
    __m128i white = _mm_or_si128(
        _mm_cmpeq_epi8(chunk, blank),
        _mm_and_si128(_mm_cmpgt_epi8(chunk, below_tab), _mm_cmplt_epi8(chunk, above_return)));
    unsigned space = static_cast<unsigned>(_mm_movemask_epi8(white));
    unsigned begins = ~space & ((space << 1) | (after_space ? 1u : 0u)) & 0xFFFFu;
    unsigned feeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, feed)));
    if (feeds != 0) begins &= (1u << __builtin_ctz(feeds)) - 1;  // nothing after a line feed
    for (; begins != 0; begins &= begins - 1) {
      out[count++] = i + static_cast<std::size_t>(__builtin_ctz(begins));
      if (count == most) return count;
    }
    if (feeds != 0) return count;
    after_space = (space >> 15) != 0;
  }
#endif
  for (; i < length && text[i] != '\n'; ++i) {
    bool space = is_field_space(text[i]);
    if (!space && after_space) {
      out[count++] = i;
      if (count == most) break;
    }
    after_space = space;
  }
  return count;
}

namespace {

// Exact powers of ten: every one up to 1e22 is a double without rounding.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the plain decimal numbers that tables hold (at most 19 significant digits, a small
// exponent) without strtod: when the significand fits in 53 bits and the power of ten is
// at most 1e22, both are exact doubles and one multiplication or division rounds correctly.
// Returns false when `text` needs the general scanner, which handles everything else.
bool ScanPlainDecimal(std::string_view text, double* value) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint64_t significand = 0;
  int significant_digits = 0;
  int exponent = 0;
  bool any_digit = false;
  for (; i < n && IsDigit(text[i]); ++i) {
    any_digit = true;
    if (significand == 0 && text[i] == '0') continue;  // leading zeros do not count
    if (++significant_digits > 19) return false;
    significand = significand * 10 + (text[i] - '0');
  }
  if (i < n && text[i] == '.') {
    for (++i; i < n && IsDigit(text[i]); ++i) {
      any_digit = true;
      if (--exponent < -400) return false;
      if (significand == 0 && text[i] == '0') continue;
      if (++significant_digits > 19) return false;
      significand = significand * 10 + (text[i] - '0');
    }
  }
  if (!any_digit) return false;
  if (i < n && (text[i] == 'x' || text[i] == 'X')) return false;  // may be hexadecimal
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool negative_exponent = false;
    if (j < n && (text[j] == '+' || text[j] == '-')) negative_exponent = text[j++] == '-';
    if (j < n && IsDigit(text[j])) {  // otherwise the e is not part of the number
      int written = 0;
      for (; j < n && IsDigit(text[j]); ++j) {
        written = written * 10 + (text[j] - '0');
        if (written > 400) return false;
      }
      exponent += negative_exponent ? -written : written;
    }
  }
  double magnitude;
  if (significand == 0) {
    magnitude = 0.0;
  } else if (significand > (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22) {
    return false;
  } else if (exponent < 0) {
    magnitude = static_cast<double>(significand) / kPowersOfTen[-exponent];
  } else {
    magnitude = static_cast<double>(significand) * kPowersOfTen[exponent];
  }
  *value = negative ? -magnitude : magnitude;
  return true;
}

}  // namespace

bool scan_double(std::string_view text, double* value) {
  // The plain-decimal reader stops at the first character that cannot continue the number,
  // white space included, so it needs no field end.
  if (ScanPlainDecimal(text, value)) return true;
  std::size_t length = 0;
  while (length < text.size() && !is_field_space(text[length])) ++length;
  if (length == 0) return false;
  // strtod needs a terminated string. A field followed by white space inside `text` is
  // already terminated for strtod, which stops at the first white space at the latest.
  // A field that runs to the end of `text` (the last line of a file without a line break,
  // or a piece of a line in a test) is copied first, so nothing past `text` is read.
  char small[128];
  std::string large;
  const char* start = text.data();
  if (length == text.size()) {
    if (length < sizeof small) {
      memcpy(small, text.data(), length);
      small[length] = '\0';
      start = small;
    } else {
      large.assign(text.data(), length);
      start = large.c_str();
    }
  }
  char* end = nullptr;
  double parsed = strtod(start, &end);
  if (end == start || std::isnan(parsed)) return false;
  *value = parsed;
  return true;
}

bool scan_int(const char* text, int* value) {
  const char* p = text;
  while (is_field_space(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (*p < '0' || *p > '9') return false;
  // Accumulate the magnitude, capped just past the range of int so it cannot overflow.
  long long magnitude = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > static_cast<long long>(INT_MAX) + 1)
      magnitude = static_cast<long long>(INT_MAX) + 1;
  }
  long long signed_value = negative ? -magnitude : magnitude;
  if (signed_value > INT_MAX) signed_value = INT_MAX;
  *value = static_cast<int>(signed_value);
  return true;
}

namespace {

void AppendPadded(std::string* text, const char* begin, const char* end, int width) {
  std::ptrdiff_t length = end - begin;
  if (length < width) text->append(static_cast<std::size_t>(width - length), ' ');
  text->append(begin, end);
}

}  // namespace

void append_fixed(std::string* text, double value, int width, int precision) {
  char digits[512];
  if (std::isfinite(value)) {
    // std::to_chars with a precision is specified to give printf's text; it is exact and
    // much faster than printf for the values printed here.
    std::to_chars_result result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, precision);
    if (result.ec == std::errc()) {
      AppendPadded(text, digits, result.ptr, width);
      return;
    }
  }
  int length = snprintf(digits, sizeof digits, "%*.*f", width, precision, value);
  if (length < 0) return;
  if (static_cast<std::size_t>(length) < sizeof digits) {
    text->append(digits, static_cast<std::size_t>(length));
    return;
  }
  std::string wide(static_cast<std::size_t>(length) + 1, '\0');
  snprintf(&wide[0], wide.size(), "%*.*f", width, precision, value);
  wide.resize(static_cast<std::size_t>(length));
  text->append(wide);
}

void append_int(std::string* text, long long value, int width) {
  char digits[32];
  std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
  AppendPadded(text, digits, result.ptr, width);
}
