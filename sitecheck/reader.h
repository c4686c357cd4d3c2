// The one reader of the site checkers: a window over a byte source, refilled only when it
// runs dry, handing out line pieces, numbers and single characters, all from one position.
// It knows no file format: the site-file and report readers are built on it.
#ifndef SITECHECK_READER_H_
#define SITECHECK_READER_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sitecheck/numbers.h"
#include "textio/byte_source.h"
#include "textio/bytes.h"
#include "textio/window.h"

namespace sitecheck {

/// The longest line piece a line read hands out: a longer physical line comes in pieces.
constexpr size_t kMaxPiece = 999;

/// The window a reader starts with, unless it is given another size.
constexpr size_t kDefaultWindow = 256 << 10;

/// Reads one input forward. Carriage returns that stand right before a line feed are
/// dropped, so files with CR LF line ends read exactly like files with LF. Every read
/// takes from the same position, so line reads and number reads interleave.
class Reader {
 public:
  /// `source` stays the caller's and must outlive the reader. `capacity` is the window's
  /// size (at least 1024: a whole piece and a held-back CR fit).
  explicit Reader(textio::ByteSource& source, size_t capacity = kDefaultWindow);
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  /// Reads the next line piece: up to and including the next line feed, but at most
  /// `max_len` (1..kMaxPiece) characters. False, with `*piece` untouched, when the input is
  /// at its end. The view stays valid until the next call on this reader.
  bool ReadPiece(size_t max_len, std::string_view* piece) {
    size_t avail = window_.Unread();
    if (avail < max_len && (avail = Ensure(max_len)) == 0) return false;
    size_t length = avail < max_len ? avail : max_len;
    const char* start = Pos();
    const char* feed = textio::Fast::FindLineFeed(start, start + length);
    if (feed != nullptr) length = static_cast<size_t>(feed - start) + 1;
    *piece = std::string_view(start, length);
    Consume(start + length);
    return true;
  }

  /// Reads an integer as ScanInt does, white space before it skipped across refills. On
  /// kNoNumber the sign, if any, is consumed and the offending character left unread.
  ScanStatus ReadInt(int32_t* value) {
    return ReadNumber([](const char** text, int32_t* v) { return ScanInt(text, v); }, value);
  }

  /// Reads a plain decimal as ScanDecimal does, white space before it skipped across
  /// refills.
  ScanStatus ReadDecimal(double* value) {
    return ReadNumber([](const char** text, double* v) { return ScanDecimal(text, v); }, value);
  }

  /// Reads `count` integers as ReadInt does, handing each to `take(i, value)`, i from 0.
  /// Returns how many were read; when fewer than `count`, `*status` tells why.
  template <typename Take>
  int32_t ReadInts(int32_t count, Take take, ScanStatus* status);

  /// Skips white space, line breaks included.
  void SkipSpace() {
    for (;;) {
      Consume(textio::Fast::SkipSpace(Pos(), End()));
      if (Pos() < End() || !Fill()) return;
    }
  }

  /// Reads one character, whatever it is. False at end of input.
  bool ReadChar(char* c) {
    if (Pos() == End() && Ensure(1) == 0) return false;
    *c = *Pos();
    Consume(Pos() + 1);
    return true;
  }

  /// Moves past every line piece up to and including the first one that contains `text`,
  /// exactly as repeated ReadPiece(kMaxPiece) calls followed by a search of each piece
  /// would. Returns that piece, or false, with `*piece` untouched, when the input ends first.
  bool SkipToPieceWith(std::string_view text, std::string_view* piece);

  /// Moves past the rest of the current line, its line feed included, however long it is.
  void SkipRestOfLine();

  /// The unread bytes of the window, from Pos() to End(), followed by the padding: a format
  /// reader may scan them in place and then move past what it took with Consume.
  const char* Pos() const { return window_.Begin(); }
  const char* End() const { return window_.End(); }
  void Consume(const char* upto) { window_.Consume(upto); }

  /// True once reading the input failed (a read error, not the end of the input).
  bool Failed() const { return failed_; }

  /// How many bytes were read so far, after CR LF folding: where Pos() stands in the input.
  uint64_t Offset() const { return window_.Offset(); }

 private:
  // The bytes of a source with each CR that stands right before an LF dropped.
  class CrLfFolding : public textio::ByteSource {
   public:
    explicit CrLfFolding(textio::ByteSource& source) : source_(source) {}
    size_t Read(char* into, size_t size) override;

   private:
    textio::ByteSource& source_;
    int pending_ = -1;  // the byte read after a CR that came last, or -1
  };

  // Reads a number with `scan`, inside the window when the number and the bytes a scan may
  // look at after it are there, else across refills. `*value` changes only as the scan
  // of the whole number changes it.
  template <typename Scan, typename T>
  ScanStatus ReadNumber(Scan scan, T* value) {
    const char* p = textio::Fast::SkipSpace(Pos(), End());
    T scanned = *value;
    const ScanStatus status = scan(&p, &scanned);
    if (End() - p < kLookahead) return ReadSlowly(scan, value);
    Consume(p);
    *value = scanned;
    return status;
  }
  template <typename Scan, typename T>
  ScanStatus ReadSlowly(Scan scan, T* value);
  // Makes at least `want` unread bytes available unless the input ends first. Returns the
  // number available.
  size_t Ensure(size_t want);
  // Reads more into the window, which may move. False when nothing more came.
  bool Fill();

  CrLfFolding source_;
  textio::Window window_;
  bool eof_ = false;
  bool failed_ = false;
};

template <typename Take>
int32_t Reader::ReadInts(int32_t count, Take take, ScanStatus* status) {
  int32_t i = 0;
  while (i < count) {
    // Inside the window the position stays in a register from number to number.
    const char* p = Pos();
    const char* const stop = End();
    int32_t value = 0;
    while (i < count) {
      const char* q = textio::Fast::SkipSpace(p, stop);
      if (ScanInt(&q, &value) != ScanStatus::kOk || stop - q < kLookahead) break;
      take(i++, value);
      p = q;
    }
    Consume(p);
    if (i == count) break;
    const ScanStatus one = ReadInt(&value);
    if (one != ScanStatus::kOk) {
      *status = one;
      return i;
    }
    take(i++, value);
  }
  *status = ScanStatus::kOk;
  return i;
}

template <typename Scan, typename T>
ScanStatus Reader::ReadSlowly(Scan scan, T* value) {
  SkipSpace();
  if (Pos() == End()) return ScanStatus::kEnd;
  for (;;) {
    const char* p = Pos();
    T scanned = *value;
    const ScanStatus status = scan(&p, &scanned);
    if (End() - p >= kLookahead || eof_) {
      Consume(p);
      *value = scanned;
      return status;
    }
    // Twice the bytes each time, so a number of any length is scanned in linear time.
    Ensure(2 * window_.Unread() + static_cast<size_t>(kLookahead));
  }
}

}  // namespace sitecheck

#endif  // SITECHECK_READER_H_
