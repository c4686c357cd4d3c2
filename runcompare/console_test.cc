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
void expect_fatal(Body body, const std::string& input, const std::string& expected) {
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
  expect_fatal([](FILE*, FILE* console) { fail_and_exit("oom", console); }, "", "\nError: oom.\n");
}

TEST(OpenOrAskDeathTest, EmptyNameOpensNothing) {
  expect_fatal(
      [](FILE* in, FILE* console) {
        std::string name;
        open_or_ask(&name, nullptr, in, console);
      },
      "typed\n", "\nError: file name empty..\n");
  expect_fatal([](FILE* in, FILE* console) { open_or_ask(nullptr, nullptr, in, console); }, "",
               "\nError: file name empty..\n");
  expect_fatal(
      [](FILE*, FILE* console) {
        textio::FileIdentity identity;
        open_to_write("", &identity, console);
      },
      "", "\nError: file name empty..\n");
}

TEST(OpenOrAskDeathTest, FileToWriteGetsNoPrompt) {
  TempDir dir;
  const std::string path = dir.File("no/such/folder");
  expect_fatal(
      [&](FILE*, FILE* console) {
        textio::FileIdentity identity;
        open_to_write(path, &identity, console);
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
  const std::string kAsked =
      "\nerror when opening file " + missing + "\ntell me the full path-name of the file? ";
  expect_fatal(open_missing, "also-missing\n", kAsked + "Can't find the file.  I give up.\n");
  expect_fatal(open_missing, "", kAsked + "Can't find the file.  I give up.\n");
  expect_fatal(open_missing, " \n\t ", kAsked + "Can't find the file.  I give up.\n");
}

std::string contents(FILE* stream) {
  std::fflush(stream);
  std::rewind(stream);
  std::string text;
  for (int c; (c = std::getc(stream)) != EOF;) text.push_back(static_cast<char>(c));
  return text;
}

FILE* input_from(const std::string& text) {
  FILE* in = std::tmpfile();
  std::fputs(text.c_str(), in);
  std::rewind(in);
  return in;
}

// The first bytes of a source, up to 100.
std::string beginning(textio::ByteSource* source) {
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
  // console text is in console().
  std::string open_and_read(std::string* name, const std::string& typed) {
    std::fclose(in_);
    in_ = input_from(typed);
    return beginning(open_or_ask(name, nullptr, in_, console_).get());
  }
  std::string console() { return contents(console_); }

  TempDir dir_;
  FILE* in_ = std::tmpfile();
  FILE* console_ = std::tmpfile();
};

TEST_F(OpenOrAskTest, ExistingFileOpensSilently) {
  dir_.Write("a.txt", "first\n");
  std::string name = dir_.File("a.txt");
  EXPECT_EQ(open_and_read(&name, "unused\n"), "first\n");
  EXPECT_EQ(name, dir_.File("a.txt"));
  EXPECT_EQ(console(), "");
  textio::FileIdentity identity;
  const int descriptor = open_to_write(dir_.File("new.txt"), &identity, console_);  // created
  ASSERT_GE(descriptor, 0);
  EXPECT_TRUE(identity.known);
  close(descriptor);
  EXPECT_EQ(ReadFile(dir_.File("new.txt")), "");
  EXPECT_EQ(console(), "");
}

TEST_F(OpenOrAskTest, TypedPathIsOpenedAndKept) {
  dir_.Write("right.txt", "right\n");
  std::string name = dir_.File("wrong.txt");
  EXPECT_EQ(open_and_read(&name, "  " + dir_.File("right.txt") + "\n"), "right\n");
  EXPECT_EQ(name, dir_.File("right.txt"));
  EXPECT_EQ(console(), "\nerror when opening file " + dir_.File("wrong.txt") +
                           "\ntell me the full path-name of the file? ");
}

TEST_F(OpenOrAskTest, OnlyTheWordBeforeABlankIsUsed) {
  dir_.Write("my", "mine\n");
  std::string name = dir_.File("missing");
  EXPECT_EQ(open_and_read(&name, dir_.File("my") + " file.txt\n"), "mine\n");
  EXPECT_EQ(name, dir_.File("my"));
}

TEST_F(OpenOrAskTest, RestOfTheTypedLineAnswersTheNextPrompt) {
  dir_.Write("one", "1\n");
  dir_.Write("two", "2\n");
  std::fclose(in_);
  in_ = input_from(dir_.File("one") + " " + dir_.File("two") + "\n");
  std::string first = "missing1";
  std::string second = "missing2";
  EXPECT_EQ(beginning(open_or_ask(&first, nullptr, in_, console_).get()), "1\n");
  EXPECT_EQ(beginning(open_or_ask(&second, nullptr, in_, console_).get()), "2\n");
  EXPECT_EQ(first, dir_.File("one"));
  EXPECT_EQ(second, dir_.File("two"));
  EXPECT_EQ(std::getc(in_), '\n');  // the line break after the second word is still unread
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
  EXPECT_EQ(open_and_read(&name, path + "\n"), "deep\n");
  EXPECT_EQ(name, path);
}

}  // namespace
}  // namespace runcompare
