// Byte sources: files read with read(2), the choice of how to read a file by its first
// bytes, and texts held in memory.
#include "textio/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "textio/gzip_source.h"
#include "textio/read_ahead.h"

namespace textio {

namespace {

// The longest signature looked for, xz's.
constexpr size_t kHeadSize = 6;

// A file read as it is, through its descriptor, in the caller's blocks. The bytes that
// were taken from a pipe to tell its format come first.
class FileSource : public ByteSource {
 public:
  FileSource(int descriptor, std::string taken)
      : descriptor_(descriptor), taken_(std::move(taken)) {}
  ~FileSource() override { close(descriptor_); }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  size_t Read(char* into, size_t size) override {
    if (Failed()) return 0;
    if (taken_at_ < taken_.size()) {
      const size_t count = std::min(size, taken_.size() - taken_at_);
      std::memcpy(into, taken_.data() + taken_at_, count);
      taken_at_ += count;
      return count;
    }
    for (;;) {
      const ssize_t got = read(descriptor_, into, size);
      if (got >= 0) return static_cast<size_t>(got);
      if (errno != EINTR) {
        Fail(errno);
        return 0;
      }
    }
  }

 private:
  int descriptor_;
  std::string taken_;
  size_t taken_at_ = 0;
};

// The first kHeadSize bytes from the file's offset on (fewer when it is shorter), looked
// at without losing them: with pread on a file that can seek, so that its offset stays
// where it was, and with read on a pipe, setting `*taken`. An error while looking is left
// for the first Read to meet again.
std::string ReadHead(int descriptor, bool* taken) {
  char head[kHeadSize];
  size_t have = 0;
  const off_t start = lseek(descriptor, 0, SEEK_CUR);
  bool seekable = start >= 0;
  while (have < kHeadSize) {
    const ssize_t got = seekable ? pread(descriptor, head + have, kHeadSize - have,
                                         start + static_cast<off_t>(have))
                                 : read(descriptor, head + have, kHeadSize - have);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno == ESPIPE && seekable) {
      seekable = false;
      continue;
    }
    if (got <= 0) break;
    have += static_cast<size_t>(got);
  }
  *taken = !seekable;
  return std::string(head, have);
}

}  // namespace

const char* SignatureFormat(std::string_view head) {
  struct Signature {
    std::string_view bytes;
    const char* format;
  };
  static const Signature kSignatures[] = {
      {std::string_view("\x1f\x8b", 2), "gzip"},
      {std::string_view("\x28\xb5\x2f\xfd", 4), "zstd"},
      {std::string_view("\xfd"
                        "7zXZ\0",
                        6),
       "xz"},
      {std::string_view("PK\x03\x04", 4), "zip"},
      {std::string_view("PK\x05\x06", 4), "zip"},  // an empty archive
      {std::string_view("PK\x07\x08", 4), "zip"},  // an archive written in parts
  };
  for (const Signature& signature : kSignatures) {
    if (head.substr(0, signature.bytes.size()) == signature.bytes) return signature.format;
  }
  // bzip2: "BZh" and the block size, '1' to '9'.
  if (head.size() >= 4 && head.substr(0, 3) == "BZh" && head[3] >= '1' && head[3] <= '9') {
    return "bzip2";
  }
  // zstd also writes skippable frames, whose magic numbers are 0x184D2A50 to 0x184D2A5F.
  if (head.size() >= 4 && (head[0] & 0xF0) == 0x50 && head.substr(1, 3) == "\x2a\x4d\x18") {
    return "zstd";
  }
  return "";
}

std::unique_ptr<ByteSource> OpenFile(const std::string& path, OpenError* error,
                                     FileIdentity* identity) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    *error = OpenError();
    if (identity != nullptr) *identity = FileIdentity();
    error->kind = OpenError::kSystem;
    error->error_number = errno;
    return nullptr;
  }
  return OpenDescriptor(descriptor, error, identity);
}

std::unique_ptr<ByteSource> OpenDescriptor(int descriptor, OpenError* error,
                                           FileIdentity* identity) {
  *error = OpenError();
  if (identity != nullptr) *identity = FileIdentity();
  struct stat info;
  const bool known = fstat(descriptor, &info) == 0;
  if (known && identity != nullptr) *identity = {true, info.st_dev, info.st_ino};
  if (known && S_ISDIR(info.st_mode)) {
    close(descriptor);
    error->kind = OpenError::kFolder;
    error->error_number = EISDIR;
    return nullptr;
  }
  bool taken = false;
  const std::string head = ReadHead(descriptor, &taken);
  const char* format = SignatureFormat(head);
  std::unique_ptr<ByteSource> file =
      std::make_unique<FileSource>(descriptor, taken ? head : std::string());
  if (*format == '\0') return file;
  if (std::strcmp(format, "gzip") != 0) {
    error->kind = OpenError::kOtherFormat;
    error->format = format;
    return nullptr;
  }
  std::unique_ptr<ByteSource> gzip = std::make_unique<GzipSource>(std::move(file));
  // Inflating ahead on a thread of its own overlaps it with the caller's parsing. Only for
  // regular files: their reads never wait for a writer, so the thread always stops soon
  // once the source goes.
  if (known && S_ISREG(info.st_mode)) return ReadAhead(std::move(gzip));
  return gzip;
}

bool ReadToEnd(ByteSource& source) {
  std::unique_ptr<char[]> scratch(new char[64 << 10]);
  while (source.Read(scratch.get(), 64 << 10) > 0) {
  }
  return !source.Failed();
}

}  // namespace textio
