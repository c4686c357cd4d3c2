// Fuzz target for the checkers' reader and its number scanners. The input is a program of
// reads (one letter each), 0xFF, then the text read. The reader, through its smallest
// window, must hand out what a plain model over the whole text hands out: the same line
// pieces, integers, characters and decimal numbers, and the same rest. Numbers are checked
// against the C library's strtoll and strtod. Without 0xFF, the whole input is the text and
// a fixed program of reads runs over it.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "sitecheck/numbers.h"
#include "sitecheck/reader.h"
#include "testsupport/string_source.h"
#include "textio/byte_source.h"
#include "textio/bytes.h"

namespace {

using sitecheck::ScanStatus;

// The text as the reader sees it: every CR that stands right before an LF is dropped.
std::string FoldCrLf(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

// A plain reader over the whole text held in memory.
struct Model {
  std::string text;
  size_t pos = 0;

  bool AtEnd() const { return pos == text.size(); }
  bool Digit() const { return !AtEnd() && text[pos] >= '0' && text[pos] <= '9'; }

  bool ReadPiece(size_t max_len, std::string* piece) {
    if (AtEnd()) return false;
    size_t len = std::min(max_len, text.size() - pos);
    size_t newline = text.find('\n', pos);
    if (newline != std::string::npos && newline < pos + len) len = newline - pos + 1;
    *piece = text.substr(pos, len);
    pos += len;
    return true;
  }
  void SkipSpace() {
    while (!AtEnd() && textio::IsSpace(text[pos])) ++pos;
  }
  bool ReadChar(char* c) {
    if (AtEnd()) return false;
    *c = text[pos++];
    return true;
  }
  ScanStatus ScanInt(int32_t* value) {
    SkipSpace();
    if (AtEnd()) return ScanStatus::kEnd;
    size_t start = pos;
    if (text[pos] == '+' || text[pos] == '-') ++pos;
    if (!Digit()) return ScanStatus::kNoNumber;
    while (Digit()) ++pos;
    std::string number = text.substr(start, pos - start);
    errno = 0;
    long long parsed = std::strtoll(number.c_str(), nullptr, 10);
    bool overflow = errno == ERANGE || parsed > INT32_MAX || parsed < INT32_MIN;
    if (overflow) parsed = number[0] == '-' ? INT32_MIN : INT32_MAX;
    *value = static_cast<int32_t>(parsed);
    return overflow ? ScanStatus::kOverflow : ScanStatus::kOk;
  }
  ScanStatus ScanDouble(double* value) {
    SkipSpace();
    if (AtEnd()) return ScanStatus::kEnd;
    size_t start = pos;
    if (text[pos] == '+' || text[pos] == '-') ++pos;
    size_t digits = 0;
    for (; Digit(); ++pos) ++digits;
    if (!AtEnd() && text[pos] == '.') {
      for (++pos; Digit(); ++pos) ++digits;
    }
    if (digits == 0) return ScanStatus::kNoNumber;
    if (!AtEnd() && (text[pos] == 'e' || text[pos] == 'E')) {
      size_t at = pos + 1;
      if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
      if (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        pos = at;
        while (Digit()) ++pos;
      }
    }
    double parsed = std::strtod(text.substr(start, pos - start).c_str(), nullptr);
    if (std::isinf(parsed)) return ScanStatus::kOverflow;
    *value = parsed;
    return ScanStatus::kOk;
  }
  bool SkipToPieceWith(std::string_view mark, std::string* piece) {
    while (ReadPiece(sitecheck::kMaxPiece, piece)) {
      if (piece->find(mark) != std::string::npos) return true;
    }
    return false;
  }
};

bool SameDouble(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Runs one read on both readers and requires the same outcome.
void Step(char op, sitecheck::Reader& reader, Model& model) {
  std::string_view piece;
  std::string expected;
  switch (op) {
    case 'p':
    case '1':
    case '2':
    case '3':
    case '9': {
      size_t max_len = op == 'p' ? sitecheck::kMaxPiece : static_cast<size_t>(op - '0');
      bool got = reader.ReadPiece(max_len, &piece);
      fuzz::Require(got == model.ReadPiece(max_len, &expected), "ReadPiece: found");
      fuzz::Require(!got || piece == expected, "ReadPiece: same piece");
      break;
    }
    case 'i': {
      int32_t got_value = 7, want_value = 7;
      ScanStatus got = reader.ReadInt(&got_value);
      ScanStatus want = model.ScanInt(&want_value);
      fuzz::Require(got == want, "ReadInt: same status");
      fuzz::Require(
          got == ScanStatus::kNoNumber || got == ScanStatus::kEnd || got_value == want_value,
          "ReadInt: same value");
      break;
    }
    case 'd': {
      double got_value = 7, want_value = 7;
      ScanStatus got = reader.ReadDecimal(&got_value);
      ScanStatus want = model.ScanDouble(&want_value);
      fuzz::Require(got == want, "ReadDecimal: same status");
      fuzz::Require(SameDouble(got_value, want_value), "ReadDecimal: strtod's value");
      fuzz::Require(got != ScanStatus::kOk || std::isfinite(got_value), "ReadDecimal: finite");
      break;
    }
    case 'c': {
      char got_char = 0, want_char = 0;
      bool got = reader.ReadChar(&got_char);
      fuzz::Require(got == model.ReadChar(&want_char) && got_char == want_char, "ReadChar");
      break;
    }
    case 's':
      reader.SkipSpace();
      model.SkipSpace();
      break;
    case 'h':
    case 'n': {
      std::string_view mark = op == 'h' ? "replicate " : "Naive Empirical";
      bool got = reader.SkipToPieceWith(mark, &piece);
      fuzz::Require(got == model.SkipToPieceWith(mark, &expected), "SkipToPieceWith: found");
      fuzz::Require(!got || piece == expected, "SkipToPieceWith: same piece");
      break;
    }
    default:
      break;
  }
}

// The integer scanner on a terminated text after its white space, as a command-line
// argument is read.
void CheckScanInt(std::string_view text) {
  const std::string copy(text);
  const char* p = textio::Portable::SkipSpace(copy.c_str(), copy.c_str() + copy.size());
  int32_t got_value = 7, want_value = 7;
  ScanStatus got = sitecheck::ScanInt(&p, &got_value);
  Model model{copy.substr(0, copy.find('\0'))};
  ScanStatus want = model.ScanInt(&want_value);
  if (want == ScanStatus::kEnd) want = ScanStatus::kNoNumber;  // the text's end stops it too
  fuzz::Require(got == want, "ScanInt: status");
  fuzz::Require(static_cast<size_t>(p - copy.c_str()) == model.pos, "ScanInt: characters used");
  fuzz::Require(got == ScanStatus::kNoNumber || got_value == want_value, "ScanInt: value");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string_view> parts = fuzz::SplitParts(data, size, 2);
  std::string program;
  std::string_view text;
  if (parts.size() == 2) {
    program = std::string(parts[0]);
    text = parts[1];
  } else {
    text = parts[0];
    for (size_t i = 0; i <= text.size() / 2; ++i) program += "idcsph";
  }
  CheckScanInt(text.substr(0, 64));

  // The smallest window, and reads that end anywhere: refills come often.
  textio::StringSource source(std::string(text), 1 + program.size() % 61);
  sitecheck::Reader reader(source, 0);
  Model model{FoldCrLf(text)};
  for (char op : program) Step(op, reader, model);
  // Whatever is left must be the same too.
  std::string rest, expected;
  std::string_view piece;
  while (reader.ReadPiece(sitecheck::kMaxPiece, &piece)) rest.append(piece);
  expected = model.text.substr(model.pos);
  fuzz::Require(rest == expected, "same rest");
  fuzz::Require(!reader.Failed(), "a file in memory reads without error");
  return 0;
}
