// Fuzz target for what zenthar reads a table with: the line reader, the field scan in every
// form and the number scanners. The input is read as a table through a small window, once
// from memory in short reads and once from a file: the lines handed out must put the input
// back together, each ending in its only line feed, unless a line longer than the reader's
// longest is refused, which only such a line may be. Before each line is taken, every form of
// the field scan must find what a plain walk finds, and field 1 and the column's field must
// read as strtod and strtol read them.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "runcompare/fields.h"
#include "runcompare/line_reader.h"
#include "runcompare/numbers.h"
#include "testsupport/string_source.h"
#include "textio/byte_source.h"

namespace {

using runcompare::LineFields;
using runcompare::LineReader;

bool IsWhite(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// What the field scan must find, walking the line a character at a time.
LineFields Walk(const char* line, size_t column) {
  LineFields fields{nullptr, nullptr, nullptr, 0};
  bool after_space = true;
  const char* p = line;
  for (; *p != '\n'; ++p) {
    if (!IsWhite(*p) && after_space && fields.count < column) {
      if (++fields.count == 1) fields.first = p;
      if (fields.count == column) fields.wanted = p;
    }
    after_space = IsWhite(*p);
  }
  fields.feed = p;
  return fields;
}

// Scans the line at `line` in every form, checks each against the walk, and returns what
// the program's form found.
LineFields CheckFields(const char* line, size_t column) {
  std::vector<runcompare::FieldScan> forms = {runcompare::FieldStartsWith<textio::Portable>,
                                              runcompare::FieldStartsFast};
#if TEXTIO_HAVE_SSE2
  if (textio::HaveAvx2()) forms.push_back(runcompare::FieldStartsAvx2);
#endif
  const LineFields want = Walk(line, column);
  for (runcompare::FieldScan scan : forms) {
    const LineFields got = scan(line, column);
    fuzz::Require(got.count == want.count && got.feed == want.feed, "field_starts: count, end");
    fuzz::Require(got.count == 0 || got.first == want.first, "field_starts: field 1");
    fuzz::Require(got.count < column || got.wanted == want.wanted, "field_starts: the column");
  }
  return runcompare::field_starts(line, column);
}

// The field at `field` read by ScanFieldDouble against strtod on a copy of the field,
// and by ScanInt, as "%d" reads an argument, against strtol.
void CheckNumber(const char* field) {
  size_t length = 0;
  while (!IsWhite(field[length])) ++length;
  const std::string copy(field, length);
  char* end = nullptr;
  const double want = std::strtod(copy.c_str(), &end);
  const bool want_ok = end != copy.c_str() && !std::isnan(want);
  double got = 7;
  fuzz::Require(runcompare::ScanFieldDouble(field, &got) == want_ok,
                "scan_field_double: reads a number where strtod does");
  fuzz::Require(!want_ok || std::memcmp(&got, &want, sizeof got) == 0,
                "scan_field_double: strtod's value");

  const std::string argument = copy.substr(0, 40);
  long want_int = std::strtol(argument.c_str(), &end, 10);
  const bool int_ok = end != argument.c_str();
  if (want_int > INT_MAX) want_int = INT_MAX;
  if (want_int < INT_MIN) want_int = INT_MIN;
  int got_int = 7;
  fuzz::Require(runcompare::ScanInt(argument.c_str(), &got_int) == int_ok,
                "scan_int: reads an integer");
  fuzz::Require(!int_ok || got_int == want_int, "scan_int: strtol's value, clamped");
}

// The reader's limit on a line: it refuses a line only when the line is longer.
void CheckRefusal(const std::string& text, size_t at, size_t max_line) {
  const size_t feed = text.find('\n', at);
  fuzz::Require((feed == std::string::npos ? text.size() : feed) - at > max_line,
                "only a line longer than the longest is refused");
}

void CheckTable(const std::string& text, std::unique_ptr<textio::ByteSource> source,
                size_t block_size, size_t max_line) {
  fuzz::Require(source != nullptr, "the table opens");
  LineReader reader(std::move(source), block_size, max_line);
  // Half the inputs are read from the first block at the start, as zenthar reads its tables.
  fuzz::Require(text.size() % 2 == 0 || reader.ReadFirstBlock(), "the first block reads");
  std::string joined;
  for (size_t number = 0;; ++number) {
    const size_t column = 1 + number % 9;
    LineFields fields;
    std::string_view line;
    LineReader::Status status;
    do {
      fields = CheckFields(reader.Window(), column);
      status = reader.TakeLine(fields.feed, &line);
    } while (status == LineReader::kMore);
    if (status == LineReader::kTooLong) return CheckRefusal(text, joined.size(), max_line);
    if (status != LineReader::kLine) {
      fuzz::Require(status == LineReader::kEnd, "the table reads without error");
      break;
    }
    fuzz::Require(!line.empty(), "a line is never empty");
    const size_t feed = line.find('\n');
    fuzz::Require(line.size() - (feed == std::string_view::npos ? 0 : 1) <= max_line,
                  "no line handed out is longer than the longest");
    fuzz::Require(feed == std::string_view::npos || feed == line.size() - 1,
                  "a line feed only ends a line");
    fuzz::Require(feed != std::string_view::npos || joined.size() + line.size() == text.size(),
                  "only the last line lacks its line feed");
    joined.append(line);
    if (fields.count >= 1) CheckNumber(fields.first);
    if (fields.count == column) CheckNumber(fields.wanted);
  }
  std::string_view line;
  fuzz::Require(reader.TakeLine(reader.Window(), &line) == LineReader::kEnd,
                "the end stays the end");
  fuzz::Require(joined == text, "the lines put the input back together");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // A window of 1 to 64 bytes, so that lines cross reads and make the window grow, reads
  // from memory of 1 to 16 bytes, and a longest line of 4 to 1024 bytes.
  const size_t block_size = 1 + (size > 0 ? data[0] % 64 : 0);
  const size_t chunk = 1 + (size > 1 ? data[1] % 16 : 0);
  const size_t max_line = 4 * (1 + (size > 2 ? data[2] : 255));
  CheckTable(text, std::make_unique<textio::StringSource>(text, chunk), block_size, max_line);
  if (fuzz::LooksCompressed(text)) return 0;  // a file of it is not read as text
  textio::OpenError error;
  CheckTable(text, textio::OpenFile(fuzz::ScratchDir::Get().Write("table", text), &error),
             block_size, max_line);
  return 0;
}
