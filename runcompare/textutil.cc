// Console text utilities of zenthar: error exit, file opener with one prompt, field finder,
// number scanners.
#include "runcompare/textutil.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

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
  starts->clear();
  if (max_fields == 0) return 0;
  bool after_space = true;  // so that a field can begin at offset 0
  for (std::size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\n') break;
    if (is_field_space(c)) {
      after_space = true;
    } else if (after_space) {
      starts->push_back(i);
      if (starts->size() == max_fields) break;
      after_space = false;
    }
  }
  return starts->size();
}

bool scan_double(std::string_view text, double* value) {
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
