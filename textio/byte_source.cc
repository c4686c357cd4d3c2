// Byte sources: files read with read(2), and texts held in memory.
#include "textio/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace textio {

namespace {

// A file read as it is, through its descriptor, in the caller's blocks.
class FileSource : public ByteSource {
 public:
  explicit FileSource(int descriptor) : descriptor_(descriptor) {}
  ~FileSource() override { close(descriptor_); }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  size_t Read(char* into, size_t size) override {
    if (failed()) return 0;
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
};

}  // namespace

std::unique_ptr<ByteSource> OpenFile(const std::string& path, int* error_number) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    *error_number = errno;
    return nullptr;
  }
  struct stat info;
  if (fstat(descriptor, &info) == 0 && S_ISDIR(info.st_mode)) {
    close(descriptor);
    *error_number = EISDIR;
    return nullptr;
  }
  return std::make_unique<FileSource>(descriptor);
}

size_t StringSource::Read(char* into, size_t size) {
  const size_t count = std::min({size, chunk_, text_.size() - at_});
  std::memcpy(into, text_.data() + at_, count);
  at_ += count;
  return count;
}

}  // namespace textio
