// The checkers' reader: CR LF folding, refills, and the piece search.
#include "sitecheck/reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sitecheck {

namespace {

constexpr size_t kMinCapacity = 1024;  // a whole piece and more

// Drops each CR that precedes an LF in the `length` bytes at `text`. Returns the bytes left.
size_t FoldCrLf(char* text, size_t length) {
  char* read = static_cast<char*>(std::memchr(text, '\r', length));
  if (read == nullptr) return length;
  char* const end = text + length;
  char* write = read;
  while (read < end) {
    char* cr = static_cast<char*>(std::memchr(read, '\r', end - read));
    char* stop = cr != nullptr ? cr : end;
    std::memmove(write, read, stop - read);
    write += stop - read;
    read = stop;
    if (cr == nullptr) break;
    ++read;
    if (cr + 1 == end || cr[1] != '\n') *write++ = '\r';
  }
  return static_cast<size_t>(write - text);
}

}  // namespace

size_t Reader::CrLfFolding::Read(char* into, size_t size) {
  size_t got = 0;
  if (pending_ >= 0) into[got++] = static_cast<char>(pending_);
  pending_ = -1;
  if (got < size) got += source_.Read(into + got, size - got);
  if (got == 0) {
    if (source_.Failed()) FailAs(source_);
    return 0;
  }
  // A CR that comes last is folded by the byte after it, read now and kept for the next read.
  bool feed_after = false;
  char next = '\0';
  if (into[got - 1] == '\r' && source_.Read(&next, 1) == 1) {
    feed_after = next == '\n';
    got -= feed_after ? 1 : 0;
    if (!feed_after) pending_ = static_cast<unsigned char>(next);
  }
  got = FoldCrLf(into, got);
  if (feed_after) into[got++] = '\n';
  return got;
}

Reader::Reader(textio::ByteSource& source, size_t capacity)
    : source_(source), window_(std::max(capacity, kMinCapacity)) {
  if (!window_.HasMemory()) eof_ = failed_ = true;  // no window: nothing can be read
}

bool Reader::Fill() {
  // At the end of the input the window stays as it is, so views handed out stay intact.
  if (eof_) return false;
  const textio::Window::Fill fill = window_.FillFrom(source_);
  if (fill == textio::Window::kRead) return true;
  eof_ = true;
  // A number longer than a window that cannot grow stops reading with an error too.
  failed_ = fill != textio::Window::kEnd;
  return false;
}

size_t Reader::Ensure(size_t want) {
  while (window_.Unread() < want && Fill()) {
  }
  return window_.Unread();
}

void Reader::SkipRestOfLine() {
  for (;;) {
    const char* feed = textio::Fast::FindLineFeed(Pos(), End());
    if (feed != nullptr) {
      Consume(feed + 1);
      return;
    }
    Consume(End());
    if (!Fill()) return;
  }
}

bool Reader::SkipToPieceWith(std::string_view text, std::string_view* piece) {
  for (;;) {
    // pos_ is where a piece starts, so pieces begin at pos_ and after every line feed,
    // and every kMaxPiece characters along a line from there.
    const char* base = Pos();
    const char* stop = End();
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
      Consume(End());
      return false;
    }
  }
}

}  // namespace sitecheck
