// The checkers' reader: refilling the window, folding CR LF, and the piece search.
#include "sitecheck/reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sitecheck {

namespace {

constexpr size_t kMinCapacity = 1024;  // a whole piece and a held-back CR

}  // namespace

Reader::Reader(textio::ByteSource& source, size_t capacity)
    : source_(source), buffer_(std::max(capacity, kMinCapacity)) {
  if (buffer_.data() == nullptr) eof_ = failed_ = true;  // no window: nothing can be read
}

bool Reader::Fill() {
  // At the end of the input the window stays as it is, so views handed out stay intact.
  if (eof_) return false;
  const size_t avail = end_ - pos_;
  char* const data = buffer_.data();
  if (pos_ > 0) {
    dropped_ += pos_;
    std::memmove(data, data + pos_, avail);
    pos_ = 0;
    end_ = avail;
  } else if (end_ + 1 >= buffer_.capacity() && !buffer_.Grow(2 * buffer_.capacity())) {
    // A number longer than the window that cannot grow: reading stops with an error.
    eof_ = failed_ = true;
  }
  // Loop because a block may bring nothing but a CR that has to wait for its follower.
  while (!eof_ && end_ == avail) {
    char* const window = buffer_.data();
    size_t fill_at = end_;
    if (held_cr_) window[fill_at++] = '\r';
    const size_t got = source_.Read(window + fill_at, buffer_.capacity() - fill_at);
    if (got == 0) {
      eof_ = true;
      failed_ = source_.failed();
    }
    const size_t from = end_;
    end_ = fill_at + got;
    held_cr_ = false;
    FoldCrLf(from);
  }
  buffer_.PadAt(end_);
  return end_ > avail;
}

void Reader::FoldCrLf(size_t from) {
  char* const data = buffer_.data();
  char* read = static_cast<char*>(std::memchr(data + from, '\r', end_ - from));
  if (read == nullptr) return;
  char* const end = data + end_;
  char* write = read;
  while (read < end) {
    char* cr = static_cast<char*>(std::memchr(read, '\r', end - read));
    char* stop = cr != nullptr ? cr : end;
    std::memmove(write, read, stop - read);
    write += stop - read;
    read = stop;
    if (cr == nullptr) break;
    ++read;
    if (cr + 1 < end) {
      if (cr[1] != '\n') *write++ = '\r';
    } else if (!eof_) {
      held_cr_ = true;  // the character after this CR is not read yet
    } else {
      *write++ = '\r';
    }
  }
  end_ = static_cast<size_t>(write - data);
}

size_t Reader::Ensure(size_t want) {
  while (end_ - pos_ < want && Fill()) {
  }
  return end_ - pos_;
}

void Reader::SkipRestOfLine() {
  for (;;) {
    const char* feed = textio::Fast::FindLineFeed(pos(), end());
    if (feed != nullptr) {
      Consume(feed + 1);
      return;
    }
    Consume(end());
    if (!Fill()) return;
  }
}

bool Reader::SkipToPieceWith(std::string_view text, std::string_view* piece) {
  for (;;) {
    // pos_ is where a piece starts, so pieces begin at pos_ and after every line feed,
    // and every kMaxPiece characters along a line from there.
    const char* base = pos();
    const char* stop = end();
    const char* hit = static_cast<const char*>(memmem(base, stop - base, text.data(), text.size()));
    while (hit != nullptr) {
      const char* feed = static_cast<const char*>(memrchr(base, '\n', hit - base));
      const char* line = feed != nullptr ? feed + 1 : base;
      const size_t offset = static_cast<size_t>(hit - line) % kMaxPiece;
      if (offset + text.size() <= kMaxPiece) {
        Consume(hit - offset);
        return ReadPiece(kMaxPiece, piece);
      }
      // The text runs across two pieces of a long line: a piece search would miss it.
      hit = static_cast<const char*>(memmem(hit + 1, stop - hit - 1, text.data(), text.size()));
    }
    // Keep only the last piece start in the window and what follows it, then read more.
    const char* feed = static_cast<const char*>(memrchr(base, '\n', stop - base));
    const char* start = feed != nullptr ? feed + 1 : base;
    start += (stop - start) / kMaxPiece * kMaxPiece;
    Consume(start);
    if (!Fill()) {
      Consume(end());
      return false;
    }
  }
}

}  // namespace sitecheck
