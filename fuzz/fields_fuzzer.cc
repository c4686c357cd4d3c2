// Fuzz target for zenthar's line reader, field splitter and number scanners. The input is
// read as a table through a small buffer, once from memory and once from a file: the lines
// handed out must put the input back together, each ending in its only line feed. Every
// line is split into fields, checked against a plain scan, and every field is read as a
// number and checked against the C library's strtod and strtol.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "runcompare/line_reader.h"
#include "runcompare/textutil.h"

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Field offsets of `line` up to its first line feed, at most `max_fields` of them.
std::vector<size_t> PlainFieldStarts(std::string_view line, size_t max_fields) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < line.size() && line[i] != '\n' && starts.size() < max_fields; ++i) {
    if (!IsSpace(line[i]) && (i == 0 || IsSpace(line[i - 1]))) starts.push_back(i);
  }
  return starts;
}

void CheckField(std::string_view rest_of_line) {
  // strtod on a terminated copy of the field alone.
  size_t length = 0;
  while (length < rest_of_line.size() && !IsSpace(rest_of_line[length])) ++length;
  std::string field(rest_of_line.substr(0, length));
  char* end = nullptr;
  double want = std::strtod(field.c_str(), &end);
  bool want_ok = end != field.c_str() && !std::isnan(want);
  double got = 7;
  bool got_ok = scan_double(rest_of_line, &got);
  fuzz::Require(got_ok == want_ok, "scan_double: reads a number where strtod does");
  fuzz::Require(!got_ok || std::memcmp(&got, &want, sizeof got) == 0,
                "scan_double: strtod's value");

  // scan_int, as "%d" reads an argument, which ends at a NUL.
  std::string argument(rest_of_line.substr(0, 40));
  errno = 0;
  long want_int = std::strtol(argument.c_str(), &end, 10);
  const char* digits = argument.c_str();
  while (IsSpace(*digits)) ++digits;
  if (*digits == '+' || *digits == '-') ++digits;
  bool int_ok = *digits >= '0' && *digits <= '9';
  if (want_int > INT_MAX) want_int = INT_MAX;
  if (want_int < INT_MIN) want_int = INT_MIN;
  int got_int = 7;
  fuzz::Require(scan_int(argument.c_str(), &got_int) == int_ok, "scan_int: reads an integer");
  fuzz::Require(!int_ok || got_int == want_int, "scan_int: strtol's value, clamped");
}

// Reads `stream` line by line and checks every line, its fields and their numbers.
void CheckTable(const std::string& text, FILE* stream, size_t block_size) {
  LineReader reader(stream, block_size);
  std::vector<size_t> starts;  // reused for every line, as the record loop does
  std::string joined;
  std::string_view line;
  LineReader::Status status;
  while ((status = reader.ReadLine(&line)) == LineReader::kLine) {
    fuzz::Require(!line.empty(), "a line is never empty");
    size_t feed = line.find('\n');
    fuzz::Require(feed == std::string_view::npos || feed == line.size() - 1,
                  "a line feed only ends a line");
    fuzz::Require(feed != std::string_view::npos || joined.size() + line.size() == text.size(),
                  "only the last line lacks its line feed");
    joined.append(line);

    size_t max_fields = 1 + line.size() % 7;
    for (size_t max : {max_fields, static_cast<size_t>(-1)}) {
      size_t count = field_starts(line, &starts, max);
      std::vector<size_t> want = PlainFieldStarts(line, max);
      fuzz::Require(count == want.size(), "field_starts: count");
      fuzz::Require(std::equal(want.begin(), want.end(), starts.begin()), "field_starts: offsets");
    }
    size_t count = field_starts(line, &starts);
    for (size_t i = 0; i < count && i < 8; ++i) CheckField(line.substr(starts[i]));
  }
  fuzz::Require(status == LineReader::kEnd, "the table reads without error");
  fuzz::Require(reader.ReadLine(&line) == LineReader::kEnd, "the end stays the end");
  fuzz::Require(joined == text, "the lines put the input back together");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  // A buffer of 1 to 64 bytes, so that lines cross refills and make the buffer grow.
  const size_t block_size = 1 + (size > 0 ? data[0] % 64 : 0);
  // A stream in memory, read through stdio, and a file, read as the program reads it.
  FILE* stream = fmemopen(text.data(), text.size(), "r");
  fuzz::Require(stream != nullptr, "fmemopen");
  CheckTable(text, stream, block_size);
  std::fclose(stream);
  stream = std::fopen(fuzz::ScratchDir::Get().Write("table", text).c_str(), "r");
  fuzz::Require(stream != nullptr, "table file opens");
  CheckTable(text, stream, block_size);
  std::fclose(stream);
  return 0;
}
