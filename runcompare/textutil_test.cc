// Tests of the console text utilities: field offsets, the error exit and the file opener
// with its one prompt.
#include "runcompare/textutil.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "testsupport/run_program.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using Offsets = std::vector<std::size_t>;

Offsets Starts(std::string_view line, std::size_t max_fields = static_cast<std::size_t>(-1)) {
  Offsets starts;
  std::size_t count = field_starts(line, &starts, max_fields);
  EXPECT_LE(count, starts.size());
  starts.resize(count);
  return starts;
}

TEST(FieldStartsTest, WorkedExample) { EXPECT_EQ(Starts("  12 -345.6\t7\n"), (Offsets{2, 5, 12})); }

TEST(FieldStartsTest, WhiteSpaceAndLineEnds) {
  EXPECT_EQ(Starts("a b"), (Offsets{0, 2}));
  EXPECT_EQ(Starts("\t\tx"), (Offsets{2}));
  EXPECT_EQ(Starts("x\v\fy\rz"), (Offsets{0, 3, 5}));
  EXPECT_EQ(Starts("a\nb c"), (Offsets{0}));  // the scan stops at the line feed
  EXPECT_EQ(Starts(" 1  2\r\n"), Starts(" 1  2\n"));
  EXPECT_EQ(Starts(" 1  2\r\n"), (Offsets{1, 4}));
  EXPECT_TRUE(Starts("").empty());
  EXPECT_TRUE(Starts(" \t\r\v\f\n").empty());
  // Bytes from 0x80 on and NUL are field characters.
  EXPECT_EQ(Starts(std::string("\x80 \0z \xff", 6)), (Offsets{0, 2, 5}));
}

TEST(FieldStartsTest, LineWithoutTerminatorEndsWithTheView) {
  std::string text = "ab cd ef";
  EXPECT_EQ(Starts(std::string_view(text).substr(0, 4)), (Offsets{0, 3}));
}

TEST(FieldStartsTest, StopsAfterMaxFields) {
  EXPECT_EQ(Starts("a b c d", 2), (Offsets{0, 2}));
  EXPECT_EQ(Starts("a b", 5), (Offsets{0, 2}));
  EXPECT_TRUE(Starts("a b", 0).empty());
}

TEST(FieldStartsTest, AnyNumberOfFieldsOnLinesOfAnyLength) {
  std::string many;
  for (int i = 0; i < 5000; ++i) many += "7 ";
  Offsets starts = Starts(many);
  ASSERT_EQ(starts.size(), 5000u);
  EXPECT_EQ(starts[4999], 9998u);
  // Fields past offset 64000 are found too.
  std::string wide = "1 " + std::string(70000, 'y') + " -2\n";
  EXPECT_EQ(Starts(wide), (Offsets{0, 2, 70003}));
}

TEST(FieldStartsTest, ReusesTheVectorFromLineToLine) {
  Offsets starts;
  EXPECT_EQ(field_starts("a bb ccc dddd eeeee", &starts), 5u);
  EXPECT_EQ(field_starts(" q r", &starts), 2u);
  EXPECT_EQ(starts[0], 1u);
  EXPECT_EQ(starts[1], 3u);
}

// The field scan takes sixteen characters at a time where it can; on random lines of every
// length and mix of characters it must find what a plain walk over the line finds.
TEST(FieldStartsTest, AgreesWithACharacterByCharacterWalk) {
  const char kAlphabet[] = {' ', '\t', '\r',   '\v',   '\f',   'a',   '1',
                            '-', '\0', '\x80', '\xff', '\x08', '\x0e'};
  std::mt19937 random(2024);
  Offsets starts;
  for (int i = 0; i < 3000; ++i) {
    std::string line(random() % 80, ' ');
    for (char& c : line) c = kAlphabet[random() % sizeof kAlphabet];
    if (random() % 4 == 0) line.insert(random() % (line.size() + 1), "\n");
    Offsets expected;
    bool after_space = true;
    for (std::size_t k = 0; k < line.size() && line[k] != '\n'; ++k) {
      bool space = std::strchr(" \t\v\f\r", line[k]) != nullptr && line[k] != '\0';
      if (!space && after_space) expected.push_back(k);
      after_space = space;
    }
    std::size_t max_fields = random() % 3 == 0 ? random() % 8 : static_cast<std::size_t>(-1);
    if (expected.size() > max_fields) expected.resize(max_fields);
    EXPECT_EQ(Starts(line, max_fields), expected) << line;
    EXPECT_EQ(field_starts(line, &starts, max_fields), expected.size());  // reused vector
  }
}

// Runs `body(in, out)` in a child process, with `in` reading `input` and `out` writing to a
// file, and expects it to end with status 255 (-1) after writing exactly `expected`.
template <typename Body>
void ExpectFatal(Body body, const std::string& input, const std::string& expected) {
  TempDir io;
  io.Write("in", input);
  std::string in_path = io.File("in");
  std::string out_path = io.File("out");
  EXPECT_EXIT(
      {
        FILE* in = fopen(in_path.c_str(), "r");
        FILE* out = fopen(out_path.c_str(), "w");
        body(in, out);
      },
      ::testing::ExitedWithCode(255), "");
  EXPECT_EQ(ReadFile(out_path), expected);
}

TEST(FailAndExitDeathTest, PrintsMessageWithFullStop) {
  ExpectFatal([](FILE*, FILE* out) { fail_and_exit("oom", out); }, "", "\nError: oom.\n");
}

TEST(OpenOrAskDeathTest, EmptyNameOpensNothing) {
  ExpectFatal(
      [](FILE* in, FILE* out) {
        std::string name;
        open_or_ask(&name, "r", in, out);
      },
      "typed\n", "\nError: file name empty..\n");
  ExpectFatal([](FILE* in, FILE* out) { open_or_ask(nullptr, "r", in, out); }, "",
              "\nError: file name empty..\n");
}

TEST(OpenOrAskDeathTest, FileToWriteGetsNoPrompt) {
  TempDir dir;
  std::string path = dir.File("no/such/folder");
  ExpectFatal(
      [&](FILE* in, FILE* out) {
        std::string name = path;
        open_or_ask(&name, "w", in, out);
      },
      dir.File("ok") + "\n", "\nerror when opening file " + path + "\n");
}

TEST(OpenOrAskDeathTest, GivesUpAfterSecondFailureOrEndOfInput) {
  TempDir dir;
  std::string missing = dir.File("missing");
  auto open_missing = [&](FILE* in, FILE* out) {
    std::string name = missing;
    open_or_ask(&name, "r", in, out);
  };
  const std::string kAsked =
      "\nerror when opening file " + missing + "\ntell me the full path-name of the file? ";
  ExpectFatal(open_missing, "also-missing\n", kAsked + "Can't find the file.  I give up.\n");
  ExpectFatal(open_missing, "", kAsked + "Can't find the file.  I give up.\n");
  ExpectFatal(open_missing, " \n\t ", kAsked + "Can't find the file.  I give up.\n");
}

std::string Contents(FILE* stream) {
  fflush(stream);
  rewind(stream);
  std::string text;
  int c;
  while ((c = getc(stream)) != EOF) text.push_back(static_cast<char>(c));
  return text;
}

FILE* InputFrom(const std::string& text) {
  FILE* in = tmpfile();
  fputs(text.c_str(), in);
  rewind(in);
  return in;
}

class OpenOrAskTest : public ::testing::Test {
 protected:
  void TearDown() override {
    fclose(in_);
    fclose(out_);
  }
  // Opens `name` for reading with `typed` on the input and returns the first line of the
  // opened file; the console text is in out().
  std::string OpenAndRead(std::string* name, const std::string& typed) {
    fclose(in_);
    in_ = InputFrom(typed);
    FILE* stream = open_or_ask(name, "r", in_, out_);
    char line[100] = "";
    if (fgets(line, sizeof line, stream) == nullptr) line[0] = '\0';
    fclose(stream);
    return line;
  }
  std::string out() { return Contents(out_); }

  TempDir dir_;
  FILE* in_ = tmpfile();
  FILE* out_ = tmpfile();
};

TEST_F(OpenOrAskTest, ExistingFileOpensSilently) {
  dir_.Write("a.txt", "first\n");
  std::string name = dir_.File("a.txt");
  EXPECT_EQ(OpenAndRead(&name, "unused\n"), "first\n");
  EXPECT_EQ(name, dir_.File("a.txt"));
  EXPECT_EQ(out(), "");
  std::string created = dir_.File("new.txt");
  FILE* stream = open_or_ask(&created, "w", in_, out_);  // a file to write is created
  fclose(stream);
  EXPECT_EQ(ReadFile(created), "");
  EXPECT_EQ(out(), "");
}

TEST_F(OpenOrAskTest, TypedPathIsOpenedAndKept) {
  dir_.Write("right.txt", "right\n");
  std::string name = dir_.File("wrong.txt");
  EXPECT_EQ(OpenAndRead(&name, "  " + dir_.File("right.txt") + "\n"), "right\n");
  EXPECT_EQ(name, dir_.File("right.txt"));
  EXPECT_EQ(out(), "\nerror when opening file " + dir_.File("wrong.txt") +
                       "\ntell me the full path-name of the file? ");
}

TEST_F(OpenOrAskTest, OnlyTheWordBeforeABlankIsUsed) {
  dir_.Write("my", "mine\n");
  std::string name = dir_.File("missing");
  EXPECT_EQ(OpenAndRead(&name, dir_.File("my") + " file.txt\n"), "mine\n");
  EXPECT_EQ(name, dir_.File("my"));
}

TEST_F(OpenOrAskTest, RestOfTheTypedLineAnswersTheNextPrompt) {
  dir_.Write("one", "1\n");
  dir_.Write("two", "2\n");
  fclose(in_);
  in_ = InputFrom(dir_.File("one") + " " + dir_.File("two") + "\n");
  std::string first = "missing1";
  std::string second = "missing2";
  FILE* a = open_or_ask(&first, "r", in_, out_);
  FILE* b = open_or_ask(&second, "r", in_, out_);
  fclose(a);
  fclose(b);
  EXPECT_EQ(first, dir_.File("one"));
  EXPECT_EQ(second, dir_.File("two"));
  EXPECT_EQ(getc(in_), '\n');  // the line break after the second word is still unread
}

TEST_F(OpenOrAskTest, TypedPathOfAnyLength) {
  // A path of several hundred characters through folders with long names.
  std::string path = dir_.path();
  for (int i = 0; i < 3; ++i) {
    path += "/" + std::string(150, static_cast<char>('a' + i));
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  }
  path += "/" + std::string(200, 'z');
  testsupport::WriteFile(path, "deep\n");
  ASSERT_GT(path.size(), 600u);
  std::string name = "missing";
  EXPECT_EQ(OpenAndRead(&name, path + "\n"), "deep\n");
  EXPECT_EQ(name, path);
}

// A line as a reader hands it out: its line feed, then the bytes that block-wise scanners
// may read past it (line feeds and digits here, which must change nothing), and not one
// byte more, so that a read beyond them is an address fault under the sanitizers.
class PaddedLine {
 public:
  explicit PaddedLine(const std::string& line) : size_(line.size() + 1 + kAfter) {
    bytes_.reset(new char[size_]);
    memcpy(bytes_.get(), line.data(), line.size());
    bytes_[line.size()] = '\n';
    for (std::size_t i = line.size() + 1; i < size_; ++i) bytes_[i] = "1\n 2"[i % 4];
  }
  const char* data() const { return bytes_.get(); }

 private:
  static constexpr std::size_t kAfter = 63;
  std::size_t size_;
  std::unique_ptr<char[]> bytes_;
};

// What scan_line must find, walking the line a character at a time.
LineFields WalkLine(const char* line, std::size_t column) {
  LineFields fields{nullptr, nullptr, nullptr, 0};
  bool after_space = true;
  const char* p = line;
  for (; *p != '\n'; ++p) {
    bool space = std::strchr(" \t\v\f\r", *p) != nullptr && *p != '\0';
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

// Every way scan_line works on this processor.
std::vector<LineFields (*)(const char*, std::size_t)> LineScans() {
  std::vector<LineFields (*)(const char*, std::size_t)> scans = {scan_line, scan_line_sse2};
  if (scan_line_avx2_available()) scans.push_back(scan_line_avx2);
  return scans;
}

TEST(ScanLineTest, WorkedExample) {
  PaddedLine line("  12 -345.6\t7");
  for (auto scan : LineScans()) {
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

TEST(ScanLineTest, AgreesWithACharacterByCharacterWalk) {
  const char kAlphabet[] = {' ',  '\t',   '\r',   '\v',   '\f',   'a',    '1',    '-',
                            '\0', '\x80', '\xff', '\x08', '\x0e', '\x89', '\x8d', '\xa0'};
  std::mt19937 random(2025);
  for (int i = 0; i < 20000; ++i) {
    // Lengths around the 64-byte blocks and past several of them, fields of any length.
    std::string line(random() % (i % 10 == 0 ? 400 : 140), ' ');
    const int kinds = 1 + random() % sizeof kAlphabet;
    for (char& c : line) c = kAlphabet[random() % kinds];
    PaddedLine padded(line);
    const std::size_t column = 1 + random() % (random() % 4 == 0 ? 120 : 20);
    const LineFields want = WalkLine(padded.data(), column);
    for (auto scan : LineScans()) {
      ExpectSameFields(scan(padded.data(), column), want,
                       line + " column " + std::to_string(column));
    }
  }
}

TEST(ScanLineTest, TableLines) {
  // Lines like the tables': the index, numbers, the log-likelihood and more numbers.
  std::mt19937 random(77);
  for (int i = 0; i < 2000; ++i) {
    std::string line;
    for (int field = 0; field < 20; ++field) {
      line += std::string(1 + random() % 3, " \t"[random() % 2]);
      line += std::to_string(static_cast<int>(random() % 100000) - 50000) + "." +
              std::to_string(random() % 1000);
    }
    if (random() % 2) line += '\r';
    PaddedLine padded(line);
    for (std::size_t column : {1, 2, 13, 14, 20, 21}) {
      for (auto scan : LineScans()) {
        ExpectSameFields(scan(padded.data(), column), WalkLine(padded.data(), column), line);
      }
    }
  }
}

TEST(SameFieldTest, SameTextAndSameWhiteSpaceAfterIt) {
  PaddedLine a("12 x"), b("12 y"), c("12\tx"), d("123 x"), e("1 x"), f("12");
  EXPECT_TRUE(same_field(a.data(), b.data()));
  EXPECT_FALSE(same_field(a.data(), c.data()));  // equal numbers, but not known to be
  EXPECT_FALSE(same_field(a.data(), d.data()));
  EXPECT_FALSE(same_field(d.data(), a.data()));
  EXPECT_FALSE(same_field(a.data(), e.data()));
  EXPECT_FALSE(same_field(e.data(), a.data()));
  EXPECT_FALSE(same_field(a.data(), f.data()));  // a blank against the line feed
  EXPECT_TRUE(same_field(f.data(), f.data()));
  PaddedLine g("123456789012345 x"), h("123456789012345 y");
  EXPECT_TRUE(same_field(g.data(), h.data()));  // 15 characters and the blank
  PaddedLine long_a("1234567890123456 x"), long_b("1234567890123456 x");
  EXPECT_FALSE(same_field(long_a.data(), long_b.data()));  // 16: too long to tell
}

}  // namespace
