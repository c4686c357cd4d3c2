// The error exit and the file openers: their console texts, the one prompt of the opener
// for reading, and the exit status of every failure.
#include "runcompare/console.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "testsupport/files.h"

namespace runcompare {
namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

// Runs `body(in, console)` in a child process, with `in` reading `input` and `console`
// writing to a file, and expects it to end with status 255 (-1) after writing exactly
// `expected`.
template <typename Body>
void ExpectFatal(Body body, const std::string& input, const std::string& expected) {
  TempDir io;
  io.Write("in", input);
  const std::string in_path = io.File("in");
  const std::string console_path = io.File("console");
  EXPECT_EXIT(
      {
        FILE* in = std::fopen(in_path.c_str(), "r");
        FILE* console = std::fopen(console_path.c_str(), "w");
        body(in, console);
      },
      ::testing::ExitedWithCode(255), "");
  EXPECT_EQ(ReadFile(console_path), expected);
}

TEST(FailAndExitDeathTest, PrintsMessageWithFullStop) {
  ExpectFatal([](FILE*, FILE* console) { fail_and_exit("oom", console); }, "", "\nError: oom.\n");
}

TEST(OpenOrAskDeathTest, EmptyNameOpensNothing) {
  ExpectFatal(
      [](FILE* in, FILE* console) {
        std::string name;
        open_or_ask(&name, nullptr, in, console);
      },
      "typed\n", "\nError: file name empty..\n");
  ExpectFatal([](FILE* in, FILE* console) { open_or_ask(nullptr, nullptr, in, console); }, "",
              "\nError: file name empty..\n");
  ExpectFatal(
      [](FILE*, FILE* console) {
        textio::FileIdentity identity;
        OpenToWrite("", &identity, console);
      },
      "", "\nError: file name empty..\n");
}

TEST(OpenOrAskDeathTest, FileToWriteGetsNoPrompt) {
  TempDir dir;
  const std::string path = dir.File("no/such/folder");
  ExpectFatal(
      [&](FILE*, FILE* console) {
        textio::FileIdentity identity;
        OpenToWrite(path, &identity, console);
      },
      dir.File("ok") + "\n", "\nerror when opening file " + path + "\n");
}

TEST(OpenOrAskDeathTest, GivesUpAfterSecondFailureOrEndOfInput) {
  TempDir dir;
  const std::string missing = dir.File("missing");
  auto open_missing = [&](FILE* in, FILE* console) {
    std::string name = missing;
    open_or_ask(&name, nullptr, in, console);
  };
  static const std::string kAsked =
      "\nerror when opening file " + missing + "\ntell me the full path-name of the file? ";
  ExpectFatal(open_missing, "also-missing\n", kAsked + "Can't find the file.  I give up.\n");
  ExpectFatal(open_missing, "", kAsked + "Can't find the file.  I give up.\n");
  ExpectFatal(open_missing, " \n\t ", kAsked + "Can't find the file.  I give up.\n");
}

std::string Contents(FILE* stream) {
  std::fflush(stream);
  std::rewind(stream);
  std::string text;
  for (int c; (c = std::getc(stream)) != EOF;) text.push_back(static_cast<char>(c));
  return text;
}

FILE* InputFrom(const std::string& text) {
  FILE* in = std::tmpfile();
  std::fputs(text.c_str(), in);
  std::rewind(in);
  return in;
}

// The first bytes of a source, up to 100.
std::string Beginning(textio::ByteSource* source) {
  char bytes[100];
  return std::string(bytes, source->Read(bytes, sizeof bytes));
}

class OpenOrAskTest : public ::testing::Test {
 protected:
  void TearDown() override {
    std::fclose(in_);
    std::fclose(console_);
  }
  // Opens `name` with `typed` on the input and returns the beginning of the opened file; the
  // console text is in Console().
  std::string OpenAndRead(std::string* name, const std::string& typed) {
    std::fclose(in_);
    in_ = InputFrom(typed);
    return Beginning(open_or_ask(name, nullptr, in_, console_).get());
  }
  std::string Console() { return Contents(console_); }

  TempDir dir_;
  FILE* in_ = std::tmpfile();
  FILE* console_ = std::tmpfile();
};

TEST_F(OpenOrAskTest, ExistingFileOpensSilently) {
  dir_.Write("a.txt", "first\n");
  std::string name = dir_.File("a.txt");
  EXPECT_EQ(OpenAndRead(&name, "unused\n"), "first\n");
  EXPECT_EQ(name, dir_.File("a.txt"));
  EXPECT_EQ(Console(), "");
  textio::FileIdentity identity;
  const int descriptor = OpenToWrite(dir_.File("new.txt"), &identity, console_);  // created
  ASSERT_GE(descriptor, 0);
  EXPECT_TRUE(identity.known);
  close(descriptor);
  EXPECT_EQ(ReadFile(dir_.File("new.txt")), "");
  EXPECT_EQ(Console(), "");
}

TEST_F(OpenOrAskTest, TypedPathIsOpenedAndKept) {
  dir_.Write("right.txt", "right\n");
  std::string name = dir_.File("wrong.txt");
  EXPECT_EQ(OpenAndRead(&name, "  " + dir_.File("right.txt") + "\n"), "right\n");
  EXPECT_EQ(name, dir_.File("right.txt"));
  EXPECT_EQ(Console(), "\nerror when opening file " + dir_.File("wrong.txt") +
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
  std::fclose(in_);
  in_ = InputFrom(dir_.File("one") + " " + dir_.File("two") + "\n");
  std::string first = "missing1";
  std::string second = "missing2";
  EXPECT_EQ(Beginning(open_or_ask(&first, nullptr, in_, console_).get()), "1\n");
  EXPECT_EQ(Beginning(open_or_ask(&second, nullptr, in_, console_).get()), "2\n");
  EXPECT_EQ(first, dir_.File("one"));
  EXPECT_EQ(second, dir_.File("two"));
  EXPECT_EQ(std::getc(in_), '\n');  // the line break after the second word is still unread
}

TEST_F(OpenOrAskTest, TypedPathOfAnyLength) {
  // A path of several hundred characters through folders with long names.
  std::string path = dir_.Path();
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
}  // namespace runcompare
