// Each byte primitive, in every form the build has, against a character-by-character walk
// at every offset around the end of a padded window.
#include "textio/bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "textio/padded_buffer.h"

namespace textio {
namespace {

const char* WalkSkipSpace(const char* p, const char* end) {
  while (p < end && std::string_view(" \t\n\v\f\r").find(*p) != std::string_view::npos) ++p;
  return p;
}

const char* WalkFindLineFeed(const char* p, const char* end) {
  for (; p < end; ++p) {
    if (*p == '\n') return p;
  }
  return nullptr;
}

BlockMasks WalkMasks(const char* block) {
  BlockMasks masks{0, 0};
  for (int i = 0; i < 64; ++i) {
    if (WalkSkipSpace(block + i, block + i + 1) != block + i) masks.space |= uint64_t{1} << i;
    if (block[i] == '\n') masks.feed |= uint64_t{1} << i;
  }
  return masks;
}

bool WalkSameWord16(const char* a, const char* b) {
  for (int i = 0; i < 16; ++i) {
    if (a[i] != b[i]) return false;
    if (WalkSkipSpace(a + i, a + i + 1) != a + i) return true;
  }
  return false;
}

// Runs `check(p, end)` for every start `p` in padded windows of every size up to 100
// bytes, drawn from alphabets of blanks, other white space, line feeds, NUL and high bytes.
template <typename Check>
void EveryOffset(Check check) {
  const std::string alphabets[] = {"   \t\n1x",
                                   std::string(" \v\f\r\n\0\x80\xff"
                                               "ab",
                                               10),
                                   "    a", "12 12\n", "\x08\t\r\x0e "};
  for (const std::string& alphabet : alphabets) {
    for (size_t size = 1; size <= 100; ++size) {
      std::mt19937 random(static_cast<unsigned>(size));
      PaddedBuffer window(size);
      for (size_t i = 0; i < size; ++i) window.Data()[i] = alphabet[random() % alphabet.size()];
      window.PadAt(size);
      const char* end = window.Data() + size;
      for (const char* p = window.Data(); p <= end; ++p) check(p, end);
    }
  }
}

// Each form the build has, run through `check` as check(Form{}).
template <typename Check>
void EveryForm(Check check) {
  check(Portable{});
#if TEXTIO_HAVE_SSE2
  check(Sse2{});
  if (HaveAvx2()) check(Avx2{});
#endif
}

TEST(BytesTest, EveryPrimitiveAgreesWithAWalk) {
  EveryForm([](auto form) {
    using Form = decltype(form);
    EveryOffset([](const char* p, const char* end) {
      ASSERT_EQ(Form::SkipSpace(p, end), WalkSkipSpace(p, end));
      ASSERT_EQ(Form::SkipSpaceRun(p, end), WalkSkipSpace(p, end));
      ASSERT_EQ(Form::FindLineFeed(p, end), WalkFindLineFeed(p, end));
      const BlockMasks masks = Form::Masks64(p), want = WalkMasks(p);
      ASSERT_EQ(masks.space, want.space);
      ASSERT_EQ(masks.feed, want.feed);
      ASSERT_EQ(Form::CountBits(masks.space),
                static_cast<unsigned>(__builtin_popcountll(want.space)));
      // Pairs of words: the same start, and starts a few bytes apart.
      for (const char* q : {p, p + 1, p + 3})
        ASSERT_EQ(Form::SameWord16(p, q), WalkSameWord16(p, q));
    });
  });
}

TEST(BytesTest, PaddingIsALineFeedThenNulsAndGrowingKeepsTheData) {
  PaddedBuffer buffer(4);
  std::memcpy(buffer.Data(), "  12", 4);
  buffer.PadAt(4);
  EXPECT_EQ(buffer.Data()[4], '\n');
  EXPECT_EQ(buffer.Data()[4 + kPadding - 1], '\0');
  ASSERT_TRUE(buffer.Grow(1000));
  EXPECT_EQ(std::string(buffer.Data(), 4), "  12");
}

}  // namespace
}  // namespace textio
