// Gzip sources: every layout reads as its text, whatever the sizes of the reads; damage
// ends the read after the good bytes with words that say where; reading ahead on a thread
// changes nothing but the speed.
#include "textio/gzip_source.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <cerrno>
#include <csignal>
#include <vector>

#include "testsupport/files.h"
#include "testsupport/string_source.h"
#include "testsupport/test_gzip.h"
#include "textio/read_ahead.h"

namespace textio {
namespace {

using test_gzip::Member;
using test_gzip::ReadAll;

class GzipSourceTest : public testing::Test {
 protected:
  GzipSourceTest() {
    // Lines of numbers that compress well, then bytes that do not.
    for (int line = 0; line < 20000; ++line) text_ += std::to_string(line * 37 % 1009) + " s\n";
    for (uint32_t i = 0, x = 1; i < 40000; ++i)
      text_ += static_cast<char>((x *= 2654435761u) >> 24);
  }
  // A new file each time: a file still open may be read ahead on a thread.
  std::unique_ptr<ByteSource> Open(const std::string& data) {
    const std::string name = "file" + std::to_string(++files_) + ".gz";
    dir_.Write(name, data);
    OpenError error;
    return OpenFile(dir_.File(name), &error);
  }
  std::string Part(size_t from, size_t count) const { return text_.substr(from, count); }

  std::string text_;
  testsupport::TempDir dir_;
  int files_ = 0;
};

TEST_F(GzipSourceTest, EveryLayoutReadsAsItsText) {
  const std::string t = text_;
  const test_gzip::Header all_fields{std::string("ab\3\0xyz", 7), "mlc", "a comment", true};
  const std::string layouts[] = {
      Member(t),
      Member(t, all_fields, 2),
      Member(Part(0, 1000), {}, 0) + Member(Part(1000, 99000), {}, 3) + Member(t.substr(100000)),
      Member("") + Member(t) + Member("") + Member(""),
      test_gzip::Bgzf(t),
      Member(t) + std::string(3000, '\0'),  // zeros after the last member are passed over
  };
  for (const std::string& data : layouts) {
    std::unique_ptr<ByteSource> file = Open(data);
    EXPECT_EQ(ReadAll(*file, 256 << 10), t);
    EXPECT_FALSE(file->Failed()) << file->Damage();
  }
  EXPECT_EQ(ReadAll(*Open(Member("")), 10), "");
}

// The compressed bytes coming in and the buffer filled, from 1 byte up, end anywhere:
// inside a header, a deflate block, a trailer, between members.
TEST_F(GzipSourceTest, ReadsOfEverySizeGiveTheSameBytes) {
  const std::string t = text_.substr(0, 150000);
  const std::string data = Member(Part(0, 10)) + Member("", {"", "n", "c", true}) +
                           test_gzip::Bgzf(t.substr(10), 30000) + std::string(2, '\0');
  for (size_t in : {1, 5, 4096, 1 << 20}) {
    for (size_t out : {1, 3, 100, 65536 + 7, 256 << 10}) {
      if (in * out == 1) continue;  // a million calls show nothing new
      GzipSource source(std::make_unique<StringSource>(data, in));
      EXPECT_EQ(ReadAll(source, out), t) << in << " in, " << out << " out";
      EXPECT_FALSE(source.Failed()) << source.Damage();
    }
  }
}

TEST_F(GzipSourceTest, DamageEndsTheReadAfterTheGoodBytes) {
  const std::string one = Member(Part(0, 70000)), both = one + Member(Part(70000, 50000));
  std::string crc = both, length = both, method = both, flags = both;
  std::string header_crc = Member("x", {"", "", "", true});
  crc[both.size() - 8] ^= 1;
  length[both.size() - 1] ^= 1;
  method[2] = 7;
  flags[3] = 0x20;
  header_crc[10] ^= 1;
  // At least the bytes of the members before the damaged one come out (all of member 2
  // when only its trailer is damaged).
  const struct {
    std::string data;
    const char* damage;
    size_t good;
  } cases[] = {
      {both.substr(0, one.size() + 5), "the data ends inside member 2", 70000},
      {both.substr(0, one.size() + 100), "the data ends inside member 2", 70000},
      {both.substr(0, both.size() - 3), "the data ends inside member 2", 120000},
      {one + "\x1f", "the data ends inside member 2", 70000},
      {crc, "CRC mismatch in member 2", 120000},
      {length, "length mismatch in member 2", 120000},
      {method, "unknown compression method in member 1", 0},
      {flags, "reserved header flags set in member 1", 0},
      {header_crc, "header checksum mismatch in member 1", 0},
      {one.substr(0, 10) + "\xff\xff" + one.substr(12), "invalid deflate data in member 1", 0},
      {one + "hello", "garbage after member 1", 70000},
      {one + "\x1f\x8c", "garbage after member 1", 70000},
      {both + std::string(70000, '\0') + "x", "garbage after member 2", 120000},
  };
  for (const auto& c : cases) {
    GzipSource bytewise(std::make_unique<StringSource>(c.data, 1));
    std::unique_ptr<ByteSource> file = Open(c.data);
    for (ByteSource* source : {file.get(), static_cast<ByteSource*>(&bytewise)}) {
      const std::string got = ReadAll(*source, 4096);
      EXPECT_EQ(got, text_.substr(0, got.size()));
      EXPECT_GE(got.size(), c.good) << c.damage;
      EXPECT_TRUE(source->Damaged());
      EXPECT_EQ(source->ErrorNumber(), 0);
      EXPECT_EQ(source->Damage(), c.damage);
    }
  }
}

TEST_F(GzipSourceTest, ReadErrorsComeAfterTheBytesBeforeThem) {
  const std::string cut = Member(Part(0, 200000)).substr(0, 50000);
  std::unique_ptr<ByteSource> sources[] = {
      ReadAhead(std::make_unique<FailingSource>(text_)),
      ReadAhead(std::make_unique<GzipSource>(std::make_unique<FailingSource>(cut))),
      std::make_unique<GzipSource>(std::make_unique<FailingSource>(cut)),
  };
  // The plain file gives all its bytes; the cut member at least some.
  const size_t good[] = {text_.size(), 1, 1};
  for (size_t i = 0; i < std::size(sources); ++i) {
    const std::string got = ReadAll(*sources[i], 10000);
    EXPECT_EQ(got, text_.substr(0, got.size()));
    EXPECT_GE(got.size(), good[i]) << i;
    EXPECT_EQ(sources[i]->ErrorNumber(), EIO);
  }
}

// An empty source that keeps the signal mask of the thread that reads it.
class MaskSource : public ByteSource {
 public:
  explicit MaskSource(sigset_t* mask) : mask_(mask) {}
  size_t Read(char*, size_t) override {
    pthread_sigmask(SIG_BLOCK, nullptr, mask_);
    return 0;
  }

 private:
  sigset_t* mask_;
};

// The thread reading ahead takes no signal sent to the process, and the caller's signals
// stay as they were.
TEST_F(GzipSourceTest, ReadingAheadBlocksSignalsOnItsThreadOnly) {
  sigset_t ahead;
  sigemptyset(&ahead);
  std::unique_ptr<ByteSource> source = ReadAhead(std::make_unique<MaskSource>(&ahead));
  char byte;
  EXPECT_EQ(source->Read(&byte, 1), 0u);  // after the thread's read
  sigset_t own;
  pthread_sigmask(SIG_BLOCK, nullptr, &own);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1}) {
    EXPECT_TRUE(sigismember(&ahead, signal)) << signal;
    EXPECT_FALSE(sigismember(&own, signal)) << signal;
  }
}

// More files than read ahead on threads, read in lock-step; then files left half-read.
TEST_F(GzipSourceTest, ManyFilesAtOnceAndFilesLeftHalfRead) {
  std::vector<std::unique_ptr<ByteSource>> files;
  for (int i = 0; i < kMaxReadAheadSources + 8; ++i)
    files.push_back(Open(Member(Part(i, 1000000))));
  std::vector<std::string> got(files.size());
  char buffer[10000];
  for (bool more = true; more;) {
    more = false;
    for (size_t i = 0; i < files.size(); ++i) {
      const size_t count = files[i]->Read(buffer, sizeof buffer);
      got[i].append(buffer, count);
      more = more || count > 0;
    }
  }
  for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(got[i], text_.substr(i)) << i;
  for (auto& file : files) {
    file = Open(Member(text_));
    EXPECT_GT(file->Read(buffer, sizeof buffer), 0u);
  }
  files.clear();  // the threads stop and are joined
}

}  // namespace
}  // namespace textio
