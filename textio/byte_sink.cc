// The file sink: a temporary file beside the target, written through a buffer, renamed
// when whole.
#include "textio/byte_sink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace textio {

namespace {

constexpr size_t kBufferSize = 64 << 10;

// The file that `path` names, through a symbolic link: the rename must replace it, not
// the link.
std::string LinkTarget(const std::string& path) {
  struct stat link;
  if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) != nullptr ? resolved : path;
}

}  // namespace

void ByteSink::Fail(int error_number) {
  if (error_number_ == 0) error_number_ = error_number != 0 ? error_number : EIO;
}

std::unique_ptr<ReplacingFile> ReplacingFile::Create(const std::string& path, int* error_number) {
  struct stat existing;
  if (stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
    const int descriptor = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (descriptor < 0) {
      *error_number = errno;
      return nullptr;
    }
    return std::unique_ptr<ReplacingFile>(new ReplacingFile(descriptor, "", path));
  }
  // A name of its own in the target's folder, so the rename stays within one file system.
  const std::string target = LinkTarget(path);
  for (unsigned attempt = 0;; ++attempt) {
    const std::string temporary =
        target + "." + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0) {
      return std::unique_ptr<ReplacingFile>(new ReplacingFile(descriptor, temporary, target));
    }
    if (errno != EEXIST || attempt == 100) {
      *error_number = errno;
      return nullptr;
    }
  }
}

ReplacingFile::ReplacingFile(int descriptor, std::string temporary, std::string target)
    : descriptor_(descriptor),
      temporary_(std::move(temporary)),
      target_(std::move(target)),
      buffer_(new char[kBufferSize]) {}

ReplacingFile::~ReplacingFile() {
  if (descriptor_ >= 0) close(descriptor_);
  if (!temporary_.empty()) unlink(temporary_.c_str());
}

bool ReplacingFile::Write(const char* data, size_t size) {
  if (ErrorNumber() != 0) return false;
  if (size > kBufferSize - used_) {
    if (!Finish()) return false;
    if (size >= kBufferSize) return WriteOut(data, size);
  }
  std::memcpy(buffer_.get() + used_, data, size);
  used_ += size;
  return true;
}

bool ReplacingFile::Finish() {
  const size_t used = used_;
  used_ = 0;
  return ErrorNumber() == 0 && WriteOut(buffer_.get(), used);
}

bool ReplacingFile::WriteOut(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(descriptor_, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      Fail(written < 0 ? errno : ENOSPC);
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool ReplacingFile::Commit() {
  bool whole = Finish();
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (close(descriptor) != 0 && whole) {
    Fail(errno);
    whole = false;
  }
  if (!whole || temporary_.empty()) return whole;
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Fail(errno);
    return false;
  }
  temporary_.clear();
  return true;
}

}  // namespace textio
