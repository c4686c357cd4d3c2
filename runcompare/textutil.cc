// Console text utilities of zenthar: error exit, file opener with one prompt, field finders.
#include "runcompare/textutil.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define RUNCOMPARE_SCAN_AVX2 1
#else
#define RUNCOMPARE_SCAN_AVX2 0
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

// Number of set bits, without relying on a popcount instruction.
inline unsigned CountBits(std::uint64_t bits) {
  bits -= (bits >> 1) & 0x5555555555555555u;
  bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
  bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<unsigned>((bits * 0x0101010101010101u) >> 56);
}

#if defined(__SSE2__)
// Masks of the white-space characters and of the line feeds among the 64 bytes at `block`
// (bit i for byte i).
inline std::uint64_t WhiteSpace(const char* block, std::uint64_t* feeds) {
  // A byte is white space when it is a blank or, shifted by 0x80 - '\t' so that the range
  // '\t'..'\r' lands at the bottom of the signed bytes, below -128 + 5.
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i feed = _mm_set1_epi8('\n');
  const __m128i shift = _mm_set1_epi8(static_cast<char>(0x80 - '\t'));
  const __m128i limit = _mm_set1_epi8(static_cast<char>(0x80 + '\r' - '\t' + 1));
  std::uint64_t white = 0;
  std::uint64_t feed_bits = 0;
  for (int part = 0; part < 4; ++part) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
    const __m128i is_white = _mm_or_si128(_mm_cmpeq_epi8(chunk, blank),
                                          _mm_cmplt_epi8(_mm_add_epi8(chunk, shift), limit));
    white |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(is_white)))
             << (16 * part);
    feed_bits |= static_cast<std::uint64_t>(
                     static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, feed))))
                 << (16 * part);
  }
  *feeds = feed_bits;
  return white;
}

// The first line feed at or after `from`, 32 bytes at a time; one must come within the
// readable bytes, which go at least 31 bytes past it.
inline const char* NextFeed(const char* from) {
  const __m128i feed = _mm_set1_epi8('\n');
  for (;; from += 32) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16));
    const unsigned feeds =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, feed))) |
        (static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, feed))) << 16);
    if (feeds != 0) return from + __builtin_ctz(feeds);
  }
}
#endif

// Fills in what the 64 bytes at `block` tell about the line, from the masks of their
// white-space characters and line feeds: `*after_space` carries whether the previous block
// ended in white space. True when the scan is over; the caller then finds the line feed
// with NextFeed when `*fields` has none yet.
template <unsigned (*kCount)(std::uint64_t)>
inline bool TakeBlock(const char* block, std::uint64_t white, std::uint64_t feeds,
                      std::size_t column, std::uint64_t* after_space, LineFields* fields) {
  std::uint64_t begins = ~white & ((white << 1) | *after_space);
  begins &= (feeds & (0 - feeds)) - 1;  // only those before the line feed (all when none)
  if (begins != 0) {
    if (fields->count == 0) fields->first = block + __builtin_ctzll(begins);
    const std::size_t here = kCount(begins);
    if (fields->count + here >= column) {
      for (std::size_t skip = column - fields->count - 1; skip > 0; --skip) begins &= begins - 1;
      fields->wanted = block + __builtin_ctzll(begins);
      fields->count = column;
      if (feeds != 0) fields->feed = block + __builtin_ctzll(feeds);
      return true;
    }
    fields->count += here;
  }
  if (feeds != 0) {
    fields->feed = block + __builtin_ctzll(feeds);
    return true;
  }
  *after_space = white >> 63;
  return false;
}

}  // namespace

LineFields scan_line_sse2(const char* line, std::size_t column) {
  LineFields fields{nullptr, nullptr, nullptr, 0};
  std::uint64_t after_space = 1;  // so that a field can begin at the line's first character
#if defined(__SSE2__)
  // The line ends at a line feed, and 63 readable bytes follow it, so a block that begins
  // before the line feed can be loaded whole; its bits past the line feed are dropped.
  for (const char* block = line;; block += 64) {
    std::uint64_t feeds;
    const std::uint64_t white = WhiteSpace(block, &feeds);
    if (TakeBlock<CountBits>(block, white, feeds, column, &after_space, &fields)) {
      if (fields.feed == nullptr) fields.feed = NextFeed(block + 64);
      return fields;
    }
  }
#else
  const char* p = line;
  for (; *p != '\n'; ++p) {
    std::uint64_t space = is_field_space(*p) ? 1 : 0;
    if (space == 0 && after_space != 0 && fields.count < column) {
      if (++fields.count == 1) fields.first = p;
      if (fields.count == column) fields.wanted = p;
    }
    after_space = space;
  }
  fields.feed = p;
  return fields;
#endif
}

#if RUNCOMPARE_SCAN_AVX2
namespace {

__attribute__((target("popcnt"))) unsigned CountBitsPopcnt(std::uint64_t bits) {
  return static_cast<unsigned>(__builtin_popcountll(bits));
}

}  // namespace

// The same scan with 32-byte vectors and the bit instructions that come with them.
__attribute__((target("avx2,bmi,popcnt"))) LineFields scan_line_avx2(const char* line,
                                                                     std::size_t column) {
  LineFields fields{nullptr, nullptr, nullptr, 0};
  std::uint64_t after_space = 1;
  const __m256i blank = _mm256_set1_epi8(' ');
  const __m256i feed = _mm256_set1_epi8('\n');
  const __m256i shift = _mm256_set1_epi8(static_cast<char>(0x80 - '\t'));
  const __m256i limit = _mm256_set1_epi8(static_cast<char>(0x80 + '\r' - '\t' + 1));
  for (const char* block = line;; block += 64) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 32));
    const __m256i low_white = _mm256_or_si256(
        _mm256_cmpeq_epi8(low, blank), _mm256_cmpgt_epi8(limit, _mm256_add_epi8(low, shift)));
    const __m256i high_white = _mm256_or_si256(
        _mm256_cmpeq_epi8(high, blank), _mm256_cmpgt_epi8(limit, _mm256_add_epi8(high, shift)));
    const std::uint64_t white =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(low_white)) |
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(high_white)))
         << 32);
    const std::uint64_t feeds =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, feed))) |
        (static_cast<std::uint64_t>(
             static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, feed))))
         << 32);
    if (TakeBlock<CountBitsPopcnt>(block, white, feeds, column, &after_space, &fields)) {
      if (fields.feed == nullptr) {
        for (const char* from = block + 64;; from += 32) {
          const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
          const std::uint32_t found =
              static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, feed)));
          if (found != 0) {
            fields.feed = from + __builtin_ctz(found);
            break;
          }
        }
      }
      return fields;
    }
  }
}

bool scan_line_avx2_available() {
  static const bool available = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("popcnt");
  }();
  return available;
}
#else
LineFields scan_line_avx2(const char* line, std::size_t column) {
  return scan_line_sse2(line, column);
}

bool scan_line_avx2_available() { return false; }
#endif

LineFields scan_line(const char* line, std::size_t column) {
  return scan_line_avx2_available() ? scan_line_avx2(line, column) : scan_line_sse2(line, column);
}

bool same_field(const char* a, const char* b) {
#if defined(__SSE2__)
  // Both fields are followed by a line feed and 31 readable bytes, so 16 bytes can be loaded.
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
  const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
  const __m128i white =
      _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(' ')),
                   _mm_cmplt_epi8(_mm_add_epi8(x, _mm_set1_epi8(static_cast<char>(0x80 - '\t'))),
                                  _mm_set1_epi8(static_cast<char>(0x80 + '\r' - '\t' + 1))));
  const unsigned space = static_cast<unsigned>(_mm_movemask_epi8(white));
  if (space == 0) return false;
  // Every byte up to and including the white space after the field at `a` must agree.
  const unsigned through = ((space & (0u - space)) << 1) - 1;
  const unsigned equal = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, y)));
  return (equal & through) == through;
#else
  std::size_t i = 0;
  while (i < 16 && !is_field_space(a[i])) {
    if (a[i] != b[i]) return false;
    ++i;
  }
  return i < 16 && a[i] == b[i];
#endif
}
