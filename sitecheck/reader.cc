// Buffered reader of the site checkers.
#include "sitecheck/reader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace sitecheck {

namespace {

constexpr size_t kMinBuffer = 1024;  // Room for a whole piece plus a held-back CR.
constexpr int64_t kIntLimit = int64_t{1} << 31;

}  // namespace

const double kExactPowersOfTen[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

ScanStatus ScanIntText(std::string_view text, int32_t* value, size_t* used) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  if (i == text.size()) {
    *used = i;
    return ScanStatus::kEnd;
  }
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  if (i == text.size() || !IsDigit(text[i])) {
    *used = i;
    return ScanStatus::kNoNumber;
  }
  int64_t magnitude = 0;
  bool overflow = false;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kIntLimit) {
      overflow = true;
      magnitude = kIntLimit;  // Saturate: the remaining digits only need consuming.
    }
  }
  *used = i;
  int64_t result = negative ? -magnitude : magnitude;
  if (overflow || result > INT32_MAX || result < INT32_MIN) {
    *value = negative ? INT32_MIN : INT32_MAX;
    return ScanStatus::kOverflow;
  }
  *value = static_cast<int32_t>(result);
  return ScanStatus::kOk;
}

double DecimalToDouble(std::string_view text) {
  // Fast path: at most 15 significant digits and a power of ten that is exact as a double
  // make the result one correctly rounded multiplication or division.
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint64_t mantissa = 0;
  int significant = 0;
  int scale = 0;  // Decimal exponent correction from digits after the point.
  bool after_point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '.') {
      after_point = true;
      continue;
    }
    if (!IsDigit(c)) break;
    if (significant > 0 || c != '0') {
      mantissa = mantissa * 10 + (c - '0');
      ++significant;
    }
    if (after_point) --scale;
    if (significant > 15) break;
  }
  if (significant <= 15) {
    int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
      ++i;
      bool exp_negative = false;
      if (i < text.size() && (text[i] == '+' || text[i] == '-')) exp_negative = text[i++] == '-';
      for (; i < text.size() && IsDigit(text[i]) && exponent < 100000; ++i) {
        exponent = exponent * 10 + (text[i] - '0');
      }
      if (exp_negative) exponent = -exponent;
    }
    if (i == text.size()) {
      double value = static_cast<double>(mantissa);
      int64_t power = exponent + scale;
      if (mantissa == 0) return negative ? -0.0 : 0.0;
      if (power >= -22 && power <= 22) {
        value = power < 0 ? value / kExactPowersOfTen[-power] : value * kExactPowersOfTen[power];
        return negative ? -value : value;
      }
    }
  }
  std::string copy(text);
  return std::strtod(copy.c_str(), nullptr);
}

Reader::Reader(FILE* file, size_t buffer_size)
    : file_(file),
      capacity_(std::max(buffer_size, kMinBuffer)),
      buf_(new char[std::max(buffer_size, kMinBuffer)]) {}

bool Reader::Fill() {
  size_t avail = end_ - pos_;
  if (pos_ > 0) {
    std::memmove(buf_.get(), buf_.get() + pos_, avail + (held_cr_ ? 1 : 0));
    pos_ = 0;
    end_ = avail;
  }
  // Loop because a block may bring nothing but a CR that has to wait for its follower.
  while (!eof_ && end_ == avail) {
    size_t fill_at = end_ + (held_cr_ ? 1 : 0);
    if (fill_at >= capacity_) break;
    size_t want = capacity_ - fill_at;
    size_t got = std::fread(buf_.get() + fill_at, 1, want, file_);
    if (got < want) {
      eof_ = true;
      if (std::ferror(file_)) failed_ = true;
    }
    size_t from = end_;
    end_ = fill_at + got;
    held_cr_ = false;
    FoldCrLf(from);
  }
  return end_ > avail;
}

void Reader::FoldCrLf(size_t from) {
  char* const buf = buf_.get();
  char* read = static_cast<char*>(std::memchr(buf + from, '\r', end_ - from));
  if (read == nullptr) return;
  char* const end = buf + end_;
  char* write = read;
  while (read < end) {
    char* cr = static_cast<char*>(std::memchr(read, '\r', end - read));
    char* stop = cr ? cr : end;
    std::memmove(write, read, stop - read);
    write += stop - read;
    read = stop;
    if (cr == nullptr) break;
    if (cr + 1 < end) {
      if (cr[1] != '\n') *write++ = '\r';
      ++read;
    } else if (!eof_) {
      // The character after this CR is not read yet: keep it just past the window.
      *write = '\r';
      held_cr_ = true;
      ++read;
    } else {
      *write++ = '\r';
      ++read;
    }
  }
  end_ = write - buf;
}

size_t Reader::Ensure(size_t want) {
  while (end_ - pos_ < want && Fill()) {
  }
  return end_ - pos_;
}

void Reader::SkipSpaceSlow() {
  while (pos_ == end_ && Fill()) {
    while (pos_ < end_ && IsSpace(buf_[pos_])) ++pos_;
  }
}

ScanStatus Reader::ScanIntSlow(int32_t* value) {
  // Long numbers, and numbers near the end of the window, taken across refills.
  SkipSpace();
  if (Ensure(1) == 0) return ScanStatus::kEnd;
  bool negative = false;
  if (buf_[pos_] == '+' || buf_[pos_] == '-') negative = buf_[pos_++] == '-';
  if (Ensure(1) == 0 || !IsDigit(buf_[pos_])) return ScanStatus::kNoNumber;
  int64_t magnitude = 0;
  do {
    for (; pos_ < end_ && IsDigit(buf_[pos_]); ++pos_) {
      // Saturate past the range: the remaining digits only need consuming.
      magnitude = std::min(magnitude * 10 + (buf_[pos_] - '0'), kIntLimit + 1);
    }
  } while (pos_ == end_ && Fill());
  int64_t result = negative ? -magnitude : magnitude;
  if (result > INT32_MAX || result < INT32_MIN) {
    *value = negative ? INT32_MIN : INT32_MAX;
    return ScanStatus::kOverflow;
  }
  *value = static_cast<int32_t>(result);
  return ScanStatus::kOk;
}

ScanStatus Reader::ScanDoubleSlow(double* value) {
  SkipSpace();
  number_.clear();
  // Peek(k) is the k-th unread character, or -1 past the end of the input.
  auto peek = [this](size_t ahead) -> int {
    return Ensure(ahead + 1) > ahead ? static_cast<unsigned char>(buf_[pos_ + ahead]) : -1;
  };
  auto take = [this] { number_.push_back(buf_[pos_++]); };
  int c = peek(0);
  if (c < 0) return ScanStatus::kEnd;
  if (c == '+' || c == '-') {
    take();
    c = peek(0);
  }
  size_t digits = 0;
  for (; IsDigit(c); c = peek(0), ++digits) take();
  if (c == '.') {
    take();
    for (c = peek(0); IsDigit(c); c = peek(0), ++digits) take();
  }
  if (digits == 0) return ScanStatus::kNoNumber;
  if (c == 'e' || c == 'E') {
    // An exponent counts only when a digit follows the letter (and its sign).
    size_t sign = (peek(1) == '+' || peek(1) == '-') ? 1 : 0;
    if (IsDigit(peek(1 + sign))) {
      for (size_t i = 0; i < 1 + sign; ++i) take();
      while (IsDigit(peek(0))) take();
    }
  }
  double result = DecimalToDouble(number_);
  if (std::isinf(result)) return ScanStatus::kOverflow;
  *value = result;
  return ScanStatus::kOk;
}

bool Reader::SkipToPieceWith(std::string_view text, std::string_view* piece) {
  for (;;) {
    // pos_ is where a piece starts, so pieces begin at pos_ and after every line feed,
    // and every kMaxPiece characters along a line from there.
    const char* base = buf_.get() + pos_;
    const char* end = buf_.get() + end_;
    const char* hit = static_cast<const char*>(memmem(base, end - base, text.data(), text.size()));
    while (hit != nullptr) {
      const char* newline = static_cast<const char*>(memrchr(base, '\n', hit - base));
      const char* line = newline ? newline + 1 : base;
      size_t offset = static_cast<size_t>(hit - line) % kMaxPiece;
      if (offset + text.size() <= kMaxPiece) {
        pos_ = hit - offset - buf_.get();
        return ReadPiece(kMaxPiece, piece);
      }
      // The text runs across two pieces of a long line: a piece search would miss it.
      hit = static_cast<const char*>(memmem(hit + 1, end - hit - 1, text.data(), text.size()));
    }
    // Keep only the last piece start in the window and what follows it, then read more.
    const char* newline = static_cast<const char*>(memrchr(base, '\n', end - base));
    const char* start = newline ? newline + 1 : base;
    start += (end - start) / kMaxPiece * kMaxPiece;
    pos_ = start - buf_.get();
    if (!Fill()) {
      pos_ = end_;
      return false;
    }
  }
}

}  // namespace sitecheck
