// Gzip sources: every layout reads as its text, whatever the sizes of the reads; damage
// ends the read after the good bytes with words that say where; reading ahead on a thread
// changes nothing but the speed.
#include "textio/gzip_source.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "testsupport/files.h"
#include "textio/byte_source.h"
#include "textio/read_ahead.h"
#include "textio/test_gzip.h"

namespace textio {
namespace {

using test_gzip::Bgzf;
using test_gzip::Header;
using test_gzip::Member;

std::string ReadAll(ByteSource& source, size_t block) {
  std::string buffer(block, '\0'), all;
  for (size_t got; (got = source.Read(&buffer[0], block)) > 0;) all.append(buffer, 0, got);
  return all;
}

// Gives the first `good` bytes of a text, then fails with EIO.
class FailingSource : public ByteSource {
 public:
  explicit FailingSource(std::string good) : good_(std::move(good)) {}
  size_t Read(char* into, size_t size) override {
    const size_t count = good_.Read(into, size);
    if (count == 0) Fail(EIO);
    return count;
  }

 private:
  StringSource good_;
};

class GzipSourceTest : public testing::Test {
 protected:
  GzipSourceTest() {
    // Lines of numbers that compress well, and a stretch of bytes that do not.
    uint32_t x = 12345;
    for (int line = 0; line < 20000; ++line) text_ += std::to_string(line * 37 % 1009) + " site\n";
    for (int i = 0; i < 40000; ++i) text_ += static_cast<char>((x = x * 1103515245 + 12345) >> 24);
  }
  std::string Part(size_t from, size_t count) const { return text_.substr(from, count); }

  std::string text_;
  testsupport::TempDir dir_;
};

TEST_F(GzipSourceTest, EveryLayoutReadsAsItsText) {
  const std::string t = text_;
  const Header all_fields{"ab" + test_gzip::Little(3, 2) + "xyz", "mlc", "a comment", true};
  const struct {
    const char* name;
    std::string data;
    std::string text;
  } cases[] = {
      {"one member", Member(t), t},
      {"every header field", Member(t, all_fields, 2), t},
      {"three members",
       Member(Part(0, 1000), {}, 0) + Member(Part(1000, 99000), {}, 3) + Member(t.substr(100000)),
       t},
      {"empty members around", Member("") + Member(t) + Member("") + Member(""), t},
      {"only an empty member", Member(""), ""},
      {"BGZF", Bgzf(t), t},
      {"zeros after the last member", Member(t) + std::string(3000, '\0'), t},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dir_.Write("file.gz", c.data);
    OpenError error;
    std::unique_ptr<ByteSource> file = OpenFile(dir_.File("file.gz"), &error);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadAll(*file, 256 << 10), c.text);
    EXPECT_FALSE(file->failed());
  }
}

// Both the compressed bytes coming in and the buffer filled, from 1 byte up, end anywhere:
// inside a header, a deflate block, a trailer, between members.
TEST_F(GzipSourceTest, ReadsOfEverySizeGiveTheSameBytes) {
  const std::string t = text_.substr(0, 150000);
  const std::string data = Member(Part(0, 10)) + Member("", {"", "n", "c", true}) +
                           Bgzf(t.substr(10), 30000) + std::string(2, '\0');
  for (size_t in : {1, 5, 4096, 1 << 20}) {
    for (size_t out : {1, 3, 100, 65536 + 7, 256 << 10}) {
      if (in * out == 1) continue;  // a million calls show nothing the others do not
      GzipSource source(std::make_unique<StringSource>(data, in));
      EXPECT_EQ(ReadAll(source, out), t) << in << " in, " << out << " out";
      EXPECT_FALSE(source.failed()) << source.damage();
    }
  }
}

TEST_F(GzipSourceTest, DamageEndsTheReadAfterTheGoodBytes) {
  const std::string one = Member(Part(0, 70000));
  const std::string two = Member(Part(70000, 50000));
  const std::string both = one + two;
  std::string crc = both, length = both, method = both, flags = both,
              hcrc = Member("x", {"", "", "", true});
  crc[both.size() - 8] ^= 1;
  length[both.size() - 1] ^= 1;
  method[2] = 7;
  flags[3] = 0x20;
  hcrc[10] ^= 1;
  const struct {
    std::string data;
    const char* damage;
  } cases[] = {
      {both.substr(0, one.size() + 5), "the data ends inside member 2"},
      {both.substr(0, one.size() + 100), "the data ends inside member 2"},
      {both.substr(0, both.size() - 3), "the data ends inside member 2"},
      {one + "\x1f", "the data ends inside member 2"},
      {crc, "CRC mismatch in member 2"},
      {length, "length mismatch in member 2"},
      {method, "unknown compression method in member 1"},
      {flags, "reserved header flags set in member 1"},
      {hcrc, "header checksum mismatch in member 1"},
      {one.substr(0, 10) + "\xff\xff" + one.substr(12), "invalid deflate data in member 1"},
      {one + "hello", "garbage after member 1"},
      {one + "\x1f\x8c", "garbage after member 1"},
      {both + std::string(70000, '\0') + "x", "garbage after member 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.damage);
    dir_.Write("file.gz", c.data);
    OpenError error;
    std::unique_ptr<ByteSource> file = OpenFile(dir_.File("file.gz"), &error);
    ASSERT_NE(file, nullptr);
    GzipSource bytewise(std::make_unique<StringSource>(c.data, 1));
    for (ByteSource* source : {file.get(), static_cast<ByteSource*>(&bytewise)}) {
      const std::string got = ReadAll(*source, 4096);
      EXPECT_EQ(got, text_.substr(0, got.size()));
      EXPECT_TRUE(source->damaged());
      EXPECT_EQ(source->error_number(), 0);
      EXPECT_EQ(source->damage(), c.damage);
    }
  }
}

// A read error of the file comes after the bytes before it, through the thread too.
TEST_F(GzipSourceTest, ReadErrorsComeAfterTheBytesBeforeThem) {
  const std::string data = Member(Part(0, 200000));
  std::unique_ptr<ByteSource> sources[] = {
      ReadAhead(std::make_unique<FailingSource>(Part(0, 500000))),
      ReadAhead(
          std::make_unique<GzipSource>(std::make_unique<FailingSource>(data.substr(0, 50000)))),
      std::make_unique<GzipSource>(std::make_unique<FailingSource>(data.substr(0, 50000))),
  };
  for (auto& source : sources) {
    const std::string got = ReadAll(*source, 10000);
    EXPECT_EQ(got, text_.substr(0, got.size()));
    EXPECT_GT(got.size(), 0u);
    EXPECT_EQ(source->error_number(), EIO);
    EXPECT_FALSE(source->damaged());
  }
}

// More files than read ahead on threads, read in lock-step, and files left half-read.
TEST_F(GzipSourceTest, ManyFilesAtOnceAndFilesLeftHalfRead) {
  const int kFiles = kMaxReadAheadSources + 8;
  std::vector<std::unique_ptr<ByteSource>> files;
  for (int i = 0; i < kFiles; ++i) {
    const std::string name = "file" + std::to_string(i) + ".gz";
    dir_.Write(name, Member(text_.substr(i * 100)));
    OpenError error;
    files.push_back(OpenFile(dir_.File(name), &error));
    ASSERT_NE(files.back(), nullptr);
  }
  std::vector<std::string> got(kFiles);
  char buffer[10000];
  for (bool more = true; more;) {
    more = false;
    for (int i = 0; i < kFiles; ++i) {
      const size_t count = files[i]->Read(buffer, sizeof buffer);
      got[i].append(buffer, count);
      more = more || count > 0;
    }
  }
  for (int i = 0; i < kFiles; ++i) EXPECT_EQ(got[i], text_.substr(i * 100)) << i;
  // Sources dropped after their first read: their threads stop and are joined.
  for (auto& file : files) {
    OpenError error;
    file = OpenFile(dir_.File("file0.gz"), &error);
    ASSERT_NE(file, nullptr);
    EXPECT_GT(file->Read(buffer, sizeof buffer), 0u);
  }
  files.clear();
}

}  // namespace
}  // namespace textio
