// The field scan in every form the build has, on documented lines and against a
// character-by-character walk, and the comparison of index fields.
#include "runcompare/fields.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "testsupport/test_window.h"

namespace runcompare {
namespace {

using Offsets = std::vector<std::size_t>;

// Every form of the scan: portable, the build's fast one, AVX2 where the processor has it,
// and the one the program chooses.
std::vector<FieldScan> EveryForm() {
  std::vector<FieldScan> forms = {FieldStartsWith<textio::Portable>, FieldStartsFast, field_starts};
#if TEXTIO_HAVE_SSE2
  if (textio::HaveAvx2()) forms.push_back(FieldStartsAvx2);
#endif
  return forms;
}

bool IsWhite(char c) { return c != '\0' && std::strchr(" \t\n\v\f\r", c) != nullptr; }

// What the scan must find, walking the line a character at a time.
LineFields Walk(const char* line, std::size_t column) {
  LineFields fields{nullptr, nullptr, nullptr, 0};
  bool after_space = true;
  const char* p = line;
  for (; *p != '\n'; ++p) {
    const bool space = IsWhite(*p);
    if (!space && after_space && fields.count < column) {
      if (++fields.count == 1) fields.first = p;
      if (fields.count == column) fields.wanted = p;
    }
    after_space = space;
  }
  fields.feed = p;
  return fields;
}

void ExpectSameFields(const LineFields& got, const LineFields& want, const std::string& what) {
  EXPECT_EQ(got.count, want.count) << what;
  EXPECT_EQ(got.feed, want.feed) << what;
  if (want.count >= 1) {
    EXPECT_EQ(got.first, want.first) << what;
  }
  if (want.wanted != nullptr) {
    EXPECT_EQ(got.wanted, want.wanted) << what;
  }
}

// The offsets of the fields of the line at the start of `text`, asked for a column at a
// time, up to `max_fields`, by every form of the scan, which must agree.
Offsets FieldOffsets(std::string_view text, std::size_t max_fields = 100) {
  TestWindow window(text);
  std::vector<Offsets> found;
  for (FieldScan scan : EveryForm()) {
    Offsets starts;
    for (std::size_t column = 1; column <= max_fields; ++column) {
      const LineFields fields = scan(window.Data(), column);
      if (fields.count < column) {
        EXPECT_EQ(fields.count, starts.size()) << text;
        break;
      }
      starts.push_back(static_cast<std::size_t>(fields.wanted - window.Data()));
      EXPECT_EQ(fields.first, window.Data() + starts.front()) << text;
    }
    found.push_back(starts);
    EXPECT_EQ(starts, found.front()) << text;
  }
  return found.front();
}

TEST(FieldStartsTest, OffsetsOfEveryField) {
  EXPECT_EQ(FieldOffsets("  12 -345.6\t7\n"), (Offsets{2, 5, 12}));
  EXPECT_EQ(FieldOffsets("a b"), (Offsets{0, 2}));
  EXPECT_EQ(FieldOffsets("\t\tx"), (Offsets{2}));
  EXPECT_EQ(FieldOffsets("x\v\fy\rz"), (Offsets{0, 3, 5}));
  EXPECT_EQ(FieldOffsets("a\nb c"), (Offsets{0}));  // the scan stops at the line feed
  EXPECT_EQ(FieldOffsets(" 1  2\r\n"), FieldOffsets(" 1  2\n"));
  EXPECT_EQ(FieldOffsets(" 1  2\r\n"), (Offsets{1, 4}));
  EXPECT_EQ(FieldOffsets(" q r"), (Offsets{1, 3}));
  EXPECT_TRUE(FieldOffsets("").empty());
  EXPECT_TRUE(FieldOffsets(" \t\r\v\f\n").empty());
  // Bytes from 0x80 on and NUL are field characters.
  EXPECT_EQ(FieldOffsets(std::string("\x80 \0z \xff", 6)), (Offsets{0, 2, 5}));
  // A window that ends without a line feed ends the line there.
  EXPECT_EQ(FieldOffsets(std::string_view("ab cd ef").substr(0, 4)), (Offsets{0, 3}));
  // No further than the column asked for.
  EXPECT_EQ(FieldOffsets("a b c d", 2), (Offsets{0, 2}));
  EXPECT_EQ(FieldOffsets("a b", 5), (Offsets{0, 2}));
  EXPECT_EQ(FieldOffsets("a b", 1), (Offsets{0}));
}

#ifndef NDEBUG
TEST(FieldStartsDeathTest, ColumnZeroIsRefused) {
  TestWindow line("a b\n");
  for (FieldScan scan : EveryForm()) EXPECT_DEATH(scan(line.Data(), 0), "column >= 1");
}
#endif

TEST(FieldStartsTest, WorkedExample) {
  TestWindow line("  12 -345.6\t7\n9 9\n");
  for (FieldScan scan : EveryForm()) {
    LineFields fields = scan(line.Data(), 2);
    EXPECT_EQ(fields.count, 2u);
    EXPECT_EQ(fields.first, line.Data() + 2);
    EXPECT_EQ(fields.wanted, line.Data() + 5);
    EXPECT_EQ(fields.feed, line.Data() + 13);
    fields = scan(line.Data(), 5);  // more fields asked for than the line has
    EXPECT_EQ(fields.count, 3u);
    EXPECT_EQ(fields.first, line.Data() + 2);
    EXPECT_EQ(fields.feed, line.Data() + 13);
  }
}

TEST(FieldStartsTest, AnyNumberOfFieldsOnLinesOfAnyLength) {
  std::string many;
  for (int i = 0; i < 5000; ++i) many += "7 ";
  const std::string wide = "1 " + std::string(70000, 'y') + " -2\n";
  TestWindow many_window(many), wide_window(wide);
  for (FieldScan scan : EveryForm()) {
    EXPECT_EQ(scan(many_window.Data(), 5000).wanted, many_window.Data() + 9998);
    EXPECT_EQ(scan(many_window.Data(), 5001).count, 5000u);
    EXPECT_EQ(scan(many_window.Data(), 5001).feed, many_window.Data() + 10000);
    // Fields past offset 64000 are found too.
    EXPECT_EQ(scan(wide_window.Data(), 3).wanted, wide_window.Data() + 70003);
    EXPECT_EQ(scan(wide_window.Data(), 4).count, 3u);
  }
}

// On random lines of every length around the 64-byte blocks, of every mix of characters,
// table lines among them, and followed by more lines or by the window's end, every form
// finds what the walk finds.
TEST(FieldStartsTest, AgreesWithACharacterByCharacterWalk) {
  static const char kAlphabet[] = {' ',  '\t',   '\r',   '\v',   '\f',   'a',    '1',    '-',
                                   '\0', '\x80', '\xff', '\x08', '\x0e', '\x89', '\x8d', '\xa0'};
  std::mt19937 random(2025);
  for (int i = 0; i < 20000; ++i) {
    std::string line;
    if (i % 8 == 0) {  // a table line: numbers in blanks and tabs, CR LF or LF
      for (int field = 0; field < 20; ++field) {
        line += std::string(1 + random() % 3, " \t"[random() % 2]);
        line += std::to_string(static_cast<int>(random() % 100000) - 50000) + "." +
                std::to_string(random() % 1000);
      }
      if (random() % 2) line += '\r';
    } else {
      line.resize(random() % (i % 10 == 1 ? 400 : 140));
      const int kinds = 1 + random() % sizeof kAlphabet;
      for (char& c : line) c = kAlphabet[random() % kinds];
    }
    if (random() % 2) line += "\n7 8 9\n";
    TestWindow window(line);
    const std::size_t column = 1 + random() % (random() % 4 == 0 ? 120 : 22);
    const LineFields want = Walk(window.Data(), column);
    for (FieldScan scan : EveryForm()) {
      ExpectSameFields(scan(window.Data(), column), want,
                       line + " column " + std::to_string(column));
    }
  }
}

TEST(SameFieldTest, SameTextAndSameWhiteSpaceAfterIt) {
  TestWindow a("12 x"), b("12 y"), c("12\tx"), d("123 x"), e("1 x"), f("12");
  EXPECT_TRUE(SameField(a.Data(), b.Data()));
  EXPECT_FALSE(SameField(a.Data(), c.Data()));  // equal numbers, but not known to be
  EXPECT_FALSE(SameField(a.Data(), d.Data()));
  EXPECT_FALSE(SameField(d.Data(), a.Data()));
  EXPECT_FALSE(SameField(a.Data(), e.Data()));
  EXPECT_FALSE(SameField(e.Data(), a.Data()));
  EXPECT_FALSE(SameField(a.Data(), f.Data()));  // a blank against the line feed
  EXPECT_TRUE(SameField(f.Data(), f.Data()));
  TestWindow g("123456789012345 x"), h("123456789012345 y");
  EXPECT_TRUE(SameField(g.Data(), h.Data()));  // 15 characters and the blank
  TestWindow long_a("1234567890123456 x"), long_b("1234567890123456 x");
  EXPECT_FALSE(SameField(long_a.Data(), long_b.Data()));  // 16: too long to tell
}

}  // namespace
}  // namespace runcompare
