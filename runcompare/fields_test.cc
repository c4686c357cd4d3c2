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
std::vector<FieldScan> every_form() {
  std::vector<FieldScan> forms = {field_starts_with<textio::Portable>, field_starts_fast,
                                  field_starts};
#if TEXTIO_HAVE_SSE2
  if (textio::HaveAvx2()) forms.push_back(field_starts_avx2);
#endif
  return forms;
}

bool is_white(char c) { return c != '\0' && std::strchr(" \t\n\v\f\r", c) != nullptr; }

// What the scan must find, walking the line a character at a time.
LineFields walk(const char* line, std::size_t column) {
  LineFields fields{nullptr, nullptr, nullptr, 0};
  bool after_space = true;
  const char* p = line;
  for (; *p != '\n'; ++p) {
    const bool space = is_white(*p);
    if (!space && after_space && fields.count < column) {
      if (++fields.count == 1) fields.first = p;
      if (fields.count == column) fields.wanted = p;
    }
    after_space = space;
  }
  fields.feed = p;
  return fields;
}

void expect_same_fields(const LineFields& got, const LineFields& want, const std::string& what) {
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
Offsets offsets(std::string_view text, std::size_t max_fields = 100) {
  TestWindow window(text);
  std::vector<Offsets> found;
  for (FieldScan scan : every_form()) {
    Offsets starts;
    for (std::size_t column = 1; column <= max_fields; ++column) {
      const LineFields fields = scan(window.data(), column);
      if (fields.count < column) {
        EXPECT_EQ(fields.count, starts.size()) << text;
        break;
      }
      starts.push_back(static_cast<std::size_t>(fields.wanted - window.data()));
      EXPECT_EQ(fields.first, window.data() + starts.front()) << text;
    }
    found.push_back(starts);
    EXPECT_EQ(starts, found.front()) << text;
  }
  return found.front();
}

TEST(FieldStartsTest, OffsetsOfEveryField) {
  EXPECT_EQ(offsets("  12 -345.6\t7\n"), (Offsets{2, 5, 12}));
  EXPECT_EQ(offsets("a b"), (Offsets{0, 2}));
  EXPECT_EQ(offsets("\t\tx"), (Offsets{2}));
  EXPECT_EQ(offsets("x\v\fy\rz"), (Offsets{0, 3, 5}));
  EXPECT_EQ(offsets("a\nb c"), (Offsets{0}));  // the scan stops at the line feed
  EXPECT_EQ(offsets(" 1  2\r\n"), offsets(" 1  2\n"));
  EXPECT_EQ(offsets(" 1  2\r\n"), (Offsets{1, 4}));
  EXPECT_EQ(offsets(" q r"), (Offsets{1, 3}));
  EXPECT_TRUE(offsets("").empty());
  EXPECT_TRUE(offsets(" \t\r\v\f\n").empty());
  // Bytes from 0x80 on and NUL are field characters.
  EXPECT_EQ(offsets(std::string("\x80 \0z \xff", 6)), (Offsets{0, 2, 5}));
  // A window that ends without a line feed ends the line there.
  EXPECT_EQ(offsets(std::string_view("ab cd ef").substr(0, 4)), (Offsets{0, 3}));
  // No further than the column asked for.
  EXPECT_EQ(offsets("a b c d", 2), (Offsets{0, 2}));
  EXPECT_EQ(offsets("a b", 5), (Offsets{0, 2}));
  EXPECT_EQ(offsets("a b", 1), (Offsets{0}));
}

#ifndef NDEBUG
TEST(FieldStartsDeathTest, ColumnZeroIsRefused) {
  TestWindow line("a b\n");
  for (FieldScan scan : every_form()) EXPECT_DEATH(scan(line.data(), 0), "column >= 1");
}
#endif

TEST(FieldStartsTest, WorkedExample) {
  TestWindow line("  12 -345.6\t7\n9 9\n");
  for (FieldScan scan : every_form()) {
    LineFields fields = scan(line.data(), 2);
    EXPECT_EQ(fields.count, 2u);
    EXPECT_EQ(fields.first, line.data() + 2);
    EXPECT_EQ(fields.wanted, line.data() + 5);
    EXPECT_EQ(fields.feed, line.data() + 13);
    fields = scan(line.data(), 5);  // more fields asked for than the line has
    EXPECT_EQ(fields.count, 3u);
    EXPECT_EQ(fields.first, line.data() + 2);
    EXPECT_EQ(fields.feed, line.data() + 13);
  }
}

TEST(FieldStartsTest, AnyNumberOfFieldsOnLinesOfAnyLength) {
  std::string many;
  for (int i = 0; i < 5000; ++i) many += "7 ";
  const std::string wide = "1 " + std::string(70000, 'y') + " -2\n";
  TestWindow many_window(many), wide_window(wide);
  for (FieldScan scan : every_form()) {
    EXPECT_EQ(scan(many_window.data(), 5000).wanted, many_window.data() + 9998);
    EXPECT_EQ(scan(many_window.data(), 5001).count, 5000u);
    EXPECT_EQ(scan(many_window.data(), 5001).feed, many_window.data() + 10000);
    // Fields past offset 64000 are found too.
    EXPECT_EQ(scan(wide_window.data(), 3).wanted, wide_window.data() + 70003);
    EXPECT_EQ(scan(wide_window.data(), 4).count, 3u);
  }
}

// On random lines of every length around the 64-byte blocks, of every mix of characters,
// table lines among them, and followed by more lines or by the window's end, every form
// finds what the walk finds.
TEST(FieldStartsTest, AgreesWithACharacterByCharacterWalk) {
  const char kAlphabet[] = {' ',  '\t',   '\r',   '\v',   '\f',   'a',    '1',    '-',
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
    const LineFields want = walk(window.data(), column);
    for (FieldScan scan : every_form()) {
      expect_same_fields(scan(window.data(), column), want,
                         line + " column " + std::to_string(column));
    }
  }
}

TEST(SameFieldTest, SameTextAndSameWhiteSpaceAfterIt) {
  TestWindow a("12 x"), b("12 y"), c("12\tx"), d("123 x"), e("1 x"), f("12");
  EXPECT_TRUE(same_field(a.data(), b.data()));
  EXPECT_FALSE(same_field(a.data(), c.data()));  // equal numbers, but not known to be
  EXPECT_FALSE(same_field(a.data(), d.data()));
  EXPECT_FALSE(same_field(d.data(), a.data()));
  EXPECT_FALSE(same_field(a.data(), e.data()));
  EXPECT_FALSE(same_field(e.data(), a.data()));
  EXPECT_FALSE(same_field(a.data(), f.data()));  // a blank against the line feed
  EXPECT_TRUE(same_field(f.data(), f.data()));
  TestWindow g("123456789012345 x"), h("123456789012345 y");
  EXPECT_TRUE(same_field(g.data(), h.data()));  // 15 characters and the blank
  TestWindow long_a("1234567890123456 x"), long_b("1234567890123456 x");
  EXPECT_FALSE(same_field(long_a.data(), long_b.data()));  // 16: too long to tell
}

}  // namespace
}  // namespace runcompare
