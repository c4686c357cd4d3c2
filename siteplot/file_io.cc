// Line-by-line reads through textio, and all-or-nothing writes with POSIX calls, so that
// every failure has its errno for the message.
#include "siteplot/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "siteplot/per_replicate.h"
#include "textio/byte_source.h"
#include "textio/input_failure.h"

namespace siteplot {

namespace {

std::string Reason(const std::string& path) {
  return DisplayName(path) + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string DisplayName(const std::string& path) { return path == "-" ? "standard input" : path; }

namespace {

// The lines of a per-replicate file after its header; false with `err` set. A read that
// failed is left to the caller.
bool ReadPerReplicate(const textio::ByteSource& source, LineReader* reader, CheckerRun* run,
                      std::string* err) {
  PerReplicateParser parser;
  std::string_view line;
  while (reader->Next(&line)) {
    if (!parser.Line(line, reader->LineNumber(), err)) return false;
  }
  if (source.Failed() || reader->TooLong()) return true;
  if (reader->CutShort()) {
    *err = "line " + std::to_string(reader->LineNumber() + 1) + ": no line break at its end";
    return false;
  }
  return parser.Finish(run, err);
}

}  // namespace

bool ReadRun(const std::string& path, CheckerRun* run, std::string* err) {
  textio::OpenError error;
  std::unique_ptr<textio::ByteSource> source;
  if (path != "-") {
    source = textio::OpenFile(path, &error);
  } else {
    // A duplicate, which the source closes, leaves descriptor 0 itself open.
    const int descriptor = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
    if (descriptor < 0) {
      *err = Reason(path);
      return false;
    }
    source = textio::OpenDescriptor(descriptor, &error);
  }
  if (source == nullptr) {
    *err = DisplayName(path) + ": " + textio::DescribeOpenError(error);
    return false;
  }
  LineReader reader(source.get());
  std::string_view line;
  bool parsed = true;
  std::string what;
  if (reader.Next(&line) &&
      (line == kPerReplicateHeader || line == std::string(kPerReplicateHeader) + '\r')) {
    parsed = ReadPerReplicate(*source, &reader, run, &what);
  } else if (!source->Failed() && !reader.TooLong()) {
    CheckerOutputParser parser;
    for (bool more = reader.LineNumber() == 1; more; more = reader.Next(&line)) {
      parser.Line(line);
    }
    parsed = source->Failed() || reader.TooLong() || parser.Finish(run, &what);
  }
  if (!parsed) {
    *err = DisplayName(path) + ": " + what;
  } else if (source->Damaged()) {
    *err = DisplayName(path) +
           ": damaged gzip-compressed data: " + textio::DescribeReadFailure(*source);
  } else if (source->Failed()) {
    *err = DisplayName(path) + ": " + textio::DescribeReadFailure(*source);
  } else if (reader.TooLong()) {
    *err = DisplayName(path) + ": line " + std::to_string(reader.LineNumber()) +
           " is longer than " + std::to_string(kMaxLineLength) + " bytes: not a checker's output";
  }
  return parsed && !source->Failed() && !reader.TooLong();
}

OutputSet::~OutputSet() {
  for (const Pending& pending : pending_) {
    if (!pending.temporary.empty()) unlink(pending.temporary.c_str());
  }
}

bool OutputSet::Add(const std::string& path, const std::string& text, std::string* err) {
  // Only a new or a plain file is replaced by renaming: a device (/dev/null), a pipe or a
  // symbolic link (/dev/stdout) is written in place, so that it stays what it is.
  bool in_place = path == "-";
  struct stat status;
  if (!in_place && lstat(path.c_str(), &status) == 0) {
    in_place = !S_ISREG(status.st_mode);
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
      errno = EISDIR;
      *err = Reason(path);
      return false;
    }
  }
  if (in_place) {
    pending_.push_back({path, "", text});
    return true;
  }
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temporary = folder + "." + name + ".XXXXXX";
  int fd = mkstemp(temporary.data());
  if (fd < 0) {
    *err = Reason(path);
    return false;
  }
  pending_.push_back({path, temporary, ""});
  mode_t mask = umask(0);
  umask(mask);
  bool ok = fchmod(fd, 0666 & ~mask) == 0 && WriteAll(fd, text);
  if (close(fd) != 0) ok = false;
  if (!ok) *err = Reason(path);
  return ok;
}

bool OutputSet::Commit(std::string* err) {
  for (const Pending& pending : pending_) {
    if (!pending.temporary.empty()) continue;
    bool is_stdout = pending.path == "-";
    int fd =
        is_stdout ? STDOUT_FILENO : open(pending.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    bool ok = fd >= 0 && WriteAll(fd, pending.text);
    if (!is_stdout && fd >= 0 && close(fd) != 0) ok = false;
    if (!ok) {
      *err =
          (is_stdout ? std::string("standard output") : pending.path) + ": " + std::strerror(errno);
      return false;
    }
  }
  for (Pending& pending : pending_) {
    if (pending.temporary.empty()) continue;
    if (rename(pending.temporary.c_str(), pending.path.c_str()) != 0) {
      *err = Reason(pending.path);
      return false;
    }
    pending.temporary.clear();
  }
  return true;
}

}  // namespace siteplot
