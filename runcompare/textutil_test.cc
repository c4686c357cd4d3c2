// Tests of the console text utilities: the error exit and the file opener with its one
// prompt.
#include "runcompare/textutil.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "testsupport/run_program.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

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

}  // namespace
