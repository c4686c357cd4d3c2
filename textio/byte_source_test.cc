// Byte sources: what a file gives, and how a failure to open or read shows.
#include "textio/byte_source.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "testsupport/run_program.h"

namespace textio {
namespace {

std::string ReadAll(ByteSource& source, size_t block) {
  std::string text(block, '\0'), all;
  for (size_t got; (got = source.Read(&text[0], block)) > 0;) all.append(text, 0, got);
  return all;
}

TEST(ByteSourceTest, FilesAndTextsReadWhole) {
  testsupport::TempDir dir;
  const std::string text = "a\nbc\r\n" + std::string(70000, 'x');
  dir.Write("plain", text);
  int error = 0;
  std::unique_ptr<ByteSource> file = OpenFile(dir.File("plain"), &error);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ReadAll(*file, 4096), text);
  EXPECT_FALSE(file->failed());
  StringSource memory(text, 7);
  EXPECT_EQ(ReadAll(memory, 100), text);
}

TEST(ByteSourceTest, WhatCannotBeOpenedOrRead) {
  testsupport::TempDir dir;
  int error = 0;
  EXPECT_EQ(OpenFile(dir.File("missing"), &error), nullptr);
  EXPECT_EQ(error, ENOENT);
  EXPECT_EQ(OpenFile(dir.path(), &error), nullptr);
  EXPECT_EQ(error, EISDIR);
  // Reading this process's memory from offset 0 fails even for root.
  std::unique_ptr<ByteSource> unreadable = OpenFile("/proc/self/mem", &error);
  ASSERT_NE(unreadable, nullptr);
  char byte;
  EXPECT_EQ(unreadable->Read(&byte, 1), 0u);
  EXPECT_TRUE(unreadable->failed());
  EXPECT_EQ(unreadable->error_number(), EIO);
}

}  // namespace
}  // namespace textio
