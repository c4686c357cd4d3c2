// Byte sources: what a file gives, how its first bytes choose the way it is read, and how
// a failure to open or read shows.
#include "textio/byte_source.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "testsupport/run_program.h"
#include "testsupport/string_source.h"
#include "testsupport/test_gzip.h"

namespace textio {
namespace {

using test_gzip::ReadAll;

TEST(ByteSourceTest, FilesAndTextsReadWhole) {
  testsupport::TempDir dir;
  const std::string text = "a\nbc\r\n" + std::string(70000, 'x');
  dir.Write("plain", text);
  OpenError error;
  std::unique_ptr<ByteSource> file = OpenFile(dir.File("plain"), &error);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(error.kind, OpenError::kNone);
  EXPECT_EQ(ReadAll(*file, 4096), text);
  EXPECT_FALSE(file->Failed());
  StringSource memory(text, 7);
  EXPECT_EQ(ReadAll(memory, 100), text);
}

TEST(ByteSourceTest, WhatCannotBeOpenedOrRead) {
  testsupport::TempDir dir;
  OpenError error;
  EXPECT_EQ(OpenFile(dir.File("missing"), &error), nullptr);
  EXPECT_EQ(error.kind, OpenError::kSystem);
  EXPECT_EQ(error.error_number, ENOENT);
  EXPECT_EQ(OpenFile(dir.Path(), &error), nullptr);
  EXPECT_EQ(error.kind, OpenError::kFolder);
  // Reading this process's memory from offset 0 fails even for root.
  std::unique_ptr<ByteSource> unreadable = OpenFile("/proc/self/mem", &error);
  ASSERT_NE(unreadable, nullptr);
  char byte;
  EXPECT_EQ(unreadable->Read(&byte, 1), 0u);
  EXPECT_TRUE(unreadable->Failed());
  EXPECT_FALSE(unreadable->Damaged());
  EXPECT_EQ(unreadable->ErrorNumber(), EIO);
}

// The identity of an opened file is the same whatever name or link leads to it.
TEST(ByteSourceTest, IdentityTellsTheSameFile) {
  testsupport::TempDir dir;
  dir.Write("a", "a\n");
  dir.Write("b", "a\n");
  ASSERT_EQ(link(dir.File("a").c_str(), dir.File("hard").c_str()), 0);
  ASSERT_EQ(symlink("a", dir.File("soft").c_str()), 0);
  OpenError error;
  FileIdentity a, other;
  ASSERT_NE(OpenFile(dir.File("a"), &error, &a), nullptr);
  for (const char* name : {"hard", "soft"}) {
    ASSERT_NE(OpenFile(dir.File(name), &error, &other), nullptr);
    EXPECT_TRUE(a.SameFile(other)) << name;
  }
  ASSERT_NE(OpenFile(dir.File("b"), &error, &other), nullptr);
  EXPECT_FALSE(a.SameFile(other));
  EXPECT_EQ(OpenFile(dir.File("missing"), &error, &other), nullptr);
  EXPECT_FALSE(other.known);
  EXPECT_FALSE(other.SameFile(other));
}

// A descriptor is read from its offset on, its first bytes there choosing the format, and
// is closed by the source or, when there is none, by the call.
TEST(ByteSourceTest, DescriptorReadFromItsOffset) {
  testsupport::TempDir dir;
  static const struct {
    const char* name;
    std::string after;  // the bytes after the offset
    std::string text;   // what they read as; empty: another compressor's format
  } kCases[] = {
      {"plain", "plain text\n", "plain text\n"},
      {"gzip", test_gzip::Member("gzip text\n"), "gzip text\n"},
      {"zstd", std::string("\x28\xb5\x2f\xfd", 4) + "text", ""},
  };
  for (const auto& c : kCases) {
    dir.Write(c.name, "skipped" + c.after);
    const int descriptor = open(dir.File(c.name).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(descriptor, 0) << c.name;
    ASSERT_EQ(lseek(descriptor, 7, SEEK_SET), 7) << c.name;
    OpenError error;
    FileIdentity identity;
    std::unique_ptr<ByteSource> source = OpenDescriptor(descriptor, &error, &identity);
    EXPECT_TRUE(identity.known) << c.name;
    if (c.text.empty()) {
      EXPECT_EQ(source, nullptr) << c.name;
      EXPECT_EQ(error.kind, OpenError::kOtherFormat) << c.name;
    } else {
      ASSERT_NE(source, nullptr) << c.name;
      EXPECT_EQ(ReadAll(*source, 3), c.text) << c.name;
      EXPECT_FALSE(source->Failed()) << c.name;
      source.reset();
    }
    EXPECT_EQ(fcntl(descriptor, F_GETFD), -1) << c.name << ": closed";
  }
}

// Each file is opened from a regular file and from a pipe, and read in blocks of 5 bytes,
// so that the bytes looked at to choose the format span several reads.
TEST(ByteSourceTest, FirstBytesChooseHowAFileIsRead) {
  const std::string gzip = test_gzip::Member("gzip text\n");
  const std::string xz("\3757zXZ\0", 6);  // FD 37 7A 58 5A 00
  const struct {
    std::string bytes;
    const char* format;  // another compressor's, or "" when the file is read
    std::string text;    // what it reads as
    bool damaged;
  } cases[] = {
      {"", "", "", false},
      {"\x1f", "", "\x1f", false},
      {"BZh", "", "BZh", false},
      {"BZhx and more", "", "BZhx and more", false},
      {"PK", "", "PK", false},
      {"\x1f\x8b", "", "", true},
      {gzip, "", "gzip text\n", false},
      {gzip + std::string(5000, 'x'), "", "gzip text\n", true},
      {"\x28\xb5\x2f\xfd\x04", "zstd", "", false},
      {"\x5a\x2a\x4d\x18", "zstd", "", false},  // a skippable frame
      {xz, "xz", "", false},
      {xz.substr(0, 5), "", xz.substr(0, 5), false},
      {"BZh91AY&SY", "bzip2", "", false},
      {"PK\x03\x04\x14", "zip", "", false},
      {"PK\x05\x06", "zip", "", false},
  };
  testsupport::TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    dir.Write("file", c.bytes);
    // A pipe holds these few bytes without a reader.
    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    EXPECT_EQ(write(pipe_ends[1], c.bytes.data(), c.bytes.size()), ssize_t(c.bytes.size()));
    close(pipe_ends[1]);
    for (const std::string& path : {dir.File("file"), "/dev/fd/" + std::to_string(pipe_ends[0])}) {
      OpenError error;
      std::unique_ptr<ByteSource> source = OpenFile(path, &error);
      EXPECT_STREQ(error.format, c.format);
      if (*c.format != '\0') {
        EXPECT_EQ(source, nullptr);
        EXPECT_EQ(error.kind, OpenError::kOtherFormat);
        continue;
      }
      ASSERT_NE(source, nullptr);
      EXPECT_EQ(ReadAll(*source, 5), c.text);
      EXPECT_EQ(source->Failed(), c.damaged);
      EXPECT_EQ(source->Damaged(), c.damaged);
    }
    close(pipe_ends[0]);
  }
}

}  // namespace
}  // namespace textio
