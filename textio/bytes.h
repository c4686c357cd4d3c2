// Byte primitives that every reader of the tools builds on: the white-space test, masks of
// white space and line feeds over 64 bytes, skipping white space, finding the next line
// feed, and comparing two words. The vector instructions of the project live here, but for
// the checkers' class search (sitecheck/tally.cc), which is no byte primitive. Each
// primitive comes in a portable form (struct Portable) and, where the processor has them,
// in SSE2 and AVX2 forms (structs Sse2 and Avx2) with the same results; tests hold every
// form against a character-by-character walk. Readers use Fast, chosen when compiling (Sse2
// on x86-64, Portable with SITETOOLS_PORTABLE or elsewhere); a scanner that gains from AVX2
// is instantiated for Avx2 as well and picks that instance once, when HaveAvx2() says the
// processor has it.
//
// Readers keep their bytes in windows followed by kPadding readable bytes (see
// padded_buffer.h), so a primitive may load a whole vector from any position before the
// end of the data without checking its own margin.
#ifndef TEXTIO_BYTES_H_
#define TEXTIO_BYTES_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && !defined(SITETOOLS_PORTABLE)
#define TEXTIO_HAVE_SSE2 1
#include <immintrin.h>
#else
#define TEXTIO_HAVE_SSE2 0
#endif

namespace textio {

/// Bytes that may be read past the end of the data of a reader's window. The first of them
/// is a line feed and the others are NUL, so a line search ends at the data's end at the
/// latest, and a scan of digits or of white space stops there.
constexpr size_t kPadding = 64;

/// True for the six white-space characters of the C locale: blank, tab, line feed,
/// vertical tab, form feed, carriage return. NUL and the bytes 0x80 to 0xFF are not.
inline bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// Which of 64 bytes are white space and which are line feeds: bit i for byte i.
struct BlockMasks {
  uint64_t space;
  uint64_t feed;
};

struct Portable {
  /// The masks of the 64 bytes at `block`, all of which must be readable.
  static BlockMasks Masks64(const char* block) {
    BlockMasks masks{0, 0};
    for (int i = 0; i < 64; ++i) {
      masks.space |= static_cast<uint64_t>(IsSpace(block[i])) << i;
      masks.feed |= static_cast<uint64_t>(block[i] == '\n') << i;
    }
    return masks;
  }

  /// The first byte in [p, end) that is not white space, or `end`.
  static const char* SkipSpace(const char* p, const char* end) {
    while (p < end && IsSpace(*p)) ++p;
    return p;
  }

  /// SkipSpace for gaps that are mostly long, such as the blanks that align columns.
  static const char* SkipSpaceRun(const char* p, const char* end) { return SkipSpace(p, end); }

  /// The first line feed in [p, end), or null.
  static const char* FindLineFeed(const char* p, const char* end) {
    return p < end ? static_cast<const char*>(std::memchr(p, '\n', end - p)) : nullptr;
  }

  /// True when the 16 bytes at `a` and at `b` agree up to and including the first white
  /// space among a's 16 bytes; false when there is none.
  static bool SameWord16(const char* a, const char* b) {
    for (int i = 0; i < 16; ++i) {
      if (a[i] != b[i]) return false;
      if (IsSpace(a[i])) return true;
    }
    return false;
  }

  /// The number of set bits.
  static unsigned CountBits(uint64_t bits) {
    bits -= (bits >> 1) & 0x5555555555555555u;
    bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<unsigned>((bits * 0x0101010101010101u) >> 56);
  }
};

#if TEXTIO_HAVE_SSE2
/// The SSE2 forms; every x86-64 processor has SSE2. They need the padding after `end`.
struct Sse2 {
  // All ones in the bytes of `chunk` that are white space: a blank, or, after a shift by
  // 0x80 - '\t' that moves '\t'..'\r' to the bottom of the signed bytes, below -128 + 5.
  static __m128i SpaceBytes(__m128i chunk) {
    const __m128i shift = _mm_set1_epi8(static_cast<char>(0x80 - '\t'));
    const __m128i limit = _mm_set1_epi8(static_cast<char>(0x80 + '\r' - '\t' + 1));
    return _mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(' ')),
                        _mm_cmplt_epi8(_mm_add_epi8(chunk, shift), limit));
  }
  static unsigned Mask(__m128i bytes) { return static_cast<unsigned>(_mm_movemask_epi8(bytes)); }
  static __m128i Load(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  }

  static BlockMasks Masks64(const char* block) {
    const __m128i feed = _mm_set1_epi8('\n');
    BlockMasks masks{0, 0};
    for (int part = 0; part < 4; ++part) {
      const __m128i chunk = Load(block + 16 * part);
      masks.space |= static_cast<uint64_t>(Mask(SpaceBytes(chunk))) << (16 * part);
      masks.feed |= static_cast<uint64_t>(Mask(_mm_cmpeq_epi8(chunk, feed))) << (16 * part);
    }
    return masks;
  }

  /// A byte or two of white space, the usual gap between numbers, is passed over one at a
  /// time; longer runs, as in aligned columns, sixteen at a time. The padding stops a run
  /// of white space one byte past `end` at the latest.
  static const char* SkipSpace(const char* p, const char* end) {
    if (!IsSpace(p[0])) return p;
    if (!IsSpace(p[1])) return p + 1 < end ? p + 1 : end;
    return SkipSpaceRun(p + 2, end);
  }

  /// Blanks, by far the most common white space, are passed over eight at a time first,
  /// with one 8-byte word (the few blanks that align columns seldom fill a 16-byte
  /// vector); then any white space sixteen bytes at a time.
  static const char* SkipSpaceRun(const char* p, const char* end) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    const uint64_t not_blank = word ^ 0x2020202020202020u;
    const char* q = p + (not_blank != 0 ? __builtin_ctzll(not_blank) >> 3 : 8);
    if (!IsSpace(*q)) return q < end ? q : end;
    for (p = q; p < end; p += 16) {
      const unsigned other = ~Mask(SpaceBytes(Load(p))) & 0xFFFFu;
      if (other != 0) {
        p += __builtin_ctz(other);
        return p < end ? p : end;
      }
    }
    return end;
  }

  /// Most lines looked for are short, so the first 32 bytes are tried in two 16-byte steps
  /// before the library search.
  static const char* FindLineFeed(const char* p, const char* end) {
    const __m128i feed = _mm_set1_epi8('\n');
    for (int step = 0; step < 2; ++step, p += 16) {
      if (p >= end) return nullptr;
      const unsigned found = Mask(_mm_cmpeq_epi8(Load(p), feed));
      if (found != 0) {
        const char* at = p + __builtin_ctz(found);
        return at < end ? at : nullptr;
      }
    }
    return Portable::FindLineFeed(p, end);
  }

  static bool SameWord16(const char* a, const char* b) {
    const __m128i x = Load(a);
    const unsigned space = Mask(SpaceBytes(x));
    if (space == 0) return false;
    const unsigned through = ((space & (0u - space)) << 1) - 1;  // bytes up to the first space
    return (Mask(_mm_cmpeq_epi8(x, Load(b))) & through) == through;
  }

  static unsigned CountBits(uint64_t bits) { return Portable::CountBits(bits); }
};

/// The AVX2 forms of the primitives that gain from them. Only for a processor on which
/// HaveAvx2() is true; a scanner built on them is compiled with the same target.
struct Avx2 {
  __attribute__((target("avx2"))) static uint64_t Mask(__m256i bytes) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(bytes));
  }

  __attribute__((target("avx2"))) static BlockMasks Masks64(const char* block) {
    const __m256i shift = _mm256_set1_epi8(static_cast<char>(0x80 - '\t'));
    const __m256i limit = _mm256_set1_epi8(static_cast<char>(0x80 + '\r' - '\t' + 1));
    const __m256i blank = _mm256_set1_epi8(' ');
    const __m256i feed = _mm256_set1_epi8('\n');
    BlockMasks masks{0, 0};
    for (int part = 0; part < 2; ++part) {
      const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 32 * part));
      const __m256i space = _mm256_or_si256(
          _mm256_cmpeq_epi8(chunk, blank), _mm256_cmpgt_epi8(limit, _mm256_add_epi8(chunk, shift)));
      masks.space |= Mask(space) << (32 * part);
      masks.feed |= Mask(_mm256_cmpeq_epi8(chunk, feed)) << (32 * part);
    }
    return masks;
  }

  __attribute__((target("popcnt"))) static unsigned CountBits(uint64_t bits) {
    return static_cast<unsigned>(__builtin_popcountll(bits));
  }

  static const char* SkipSpace(const char* p, const char* end) { return Sse2::SkipSpace(p, end); }
  static const char* SkipSpaceRun(const char* p, const char* end) {
    return Sse2::SkipSpaceRun(p, end);
  }
  static const char* FindLineFeed(const char* p, const char* end) {
    return Sse2::FindLineFeed(p, end);
  }
  static bool SameWord16(const char* a, const char* b) { return Sse2::SameWord16(a, b); }
};

using Fast = Sse2;
#else
using Fast = Portable;
#endif

/// True when the AVX2 forms may be used: the processor has AVX2, BMI and POPCNT, and the build
/// is not portable. Asked of the processor once.
bool HaveAvx2();

}  // namespace textio

#endif  // TEXTIO_BYTES_H_
