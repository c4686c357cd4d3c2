// The console side of zenthar: error exit and file openers.
#include "runcompare/console.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "runcompare/diagnostics.h"
#include "textio/bytes.h"
#include "textio/input_failure.h"

namespace runcompare {

void fail_and_exit(const std::string& message, FILE* console) {
  std::fprintf(console, "\nError: %s.\n", message.c_str());
  // exit() rather than _exit(): open streams must be flushed.
  std::exit(-1);
}

namespace {

// The longest path taken at the prompt, the system's own limit on a path.
constexpr std::size_t kMaxTypedPath = 4096;

// True when an open failed because the file is missing or this user cannot read it, which
// a path typed at the prompt may mend. Other reasons, such as too many open files or too
// little memory, lie with the system, and a path typed would not help.
bool MissingOrUnreadable(int error_number) {
  switch (error_number) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
    case EACCES:
    case EPERM:
    case ENXIO:
    case ENODEV:
      return true;
    default:
      return false;
  }
}

// Opens `path` for reading; null when it is missing, cannot be read or is a folder, which
// are asked for again. Another compressor's format or a failure of the system's own ends
// the process.
std::unique_ptr<textio::ByteSource> OpenFile(const std::string& path,
                                             textio::FileIdentity* identity, FILE* console) {
  textio::OpenError error;
  std::unique_ptr<textio::ByteSource> source = textio::OpenFile(path, &error, identity);
  if (error.kind == textio::OpenError::kOtherFormat) {
    fail_and_exit("file " + path + " is " + textio::DescribeOpenError(error), console);
  }
  if (error.kind == textio::OpenError::kSystem && !MissingOrUnreadable(error.error_number)) {
    fail_and_exit("cannot open file " + path + ": " + textio::DescribeOpenError(error), console);
  }
  return source;
}

// Reads one word as "%s" does: skips white space, then takes characters up to the next
// white space, which is pushed back so that a later prompt starts from it. Returns false
// when the input ends before a word starts. A word longer than kMaxTypedPath, typed for the
// file `asked`, ends the process.
bool ReadWord(FILE* in, const std::string& asked, std::string* word, FILE* console) {
  int c;
  do {
    c = std::getc(in);
  } while (c != EOF && textio::IsSpace(static_cast<char>(c)));
  if (c == EOF) return false;
  word->clear();
  do {
    if (word->size() == kMaxTypedPath) {
      fail_and_exit("the path typed for file " + asked + " is longer than " +
                        std::to_string(kMaxTypedPath) + " bytes",
                    console);
    }
    word->push_back(static_cast<char>(c));
    c = std::getc(in);
  } while (c != EOF && !textio::IsSpace(static_cast<char>(c)));
  if (c != EOF) std::ungetc(c, in);
  return true;
}

void CheckName(const std::string* path, FILE* console) {
  if (path == nullptr || path->c_str()[0] == '\0') fail_and_exit("file name empty.", console);
}

}  // namespace

void FailToOpenToWrite(const std::string& path, int error_number, FILE* console) {
  std::fprintf(console, "\nerror when opening file %s\n", path.c_str());
  // A FIFO that no process reads refuses a writer that will not wait (ENXIO).
  Tell(path,
       error_number == ENXIO ? "a named pipe that no process reads" : std::strerror(error_number));
  std::exit(-1);
}

std::unique_ptr<textio::ByteSource> open_or_ask(std::string* path, textio::FileIdentity* identity,
                                                FILE* in, FILE* console) {
  CheckName(path, console);
  std::unique_ptr<textio::ByteSource> source = OpenFile(*path, identity, console);
  if (source != nullptr) return source;
  std::fprintf(console, "\nerror when opening file %s\n", path->c_str());
  std::fputs("tell me the full path-name of the file? ", console);
  std::fflush(console);  // the prompt has no line break and must show before the program waits
  std::string typed;
  if (ReadWord(in, *path, &typed, console)) *path = typed;
  source = OpenFile(*path, identity, console);
  if (source != nullptr) return source;
  std::fputs("Can't find the file.  I give up.\n", console);
  std::exit(-1);
}

int OpenToWrite(const std::string& path, textio::FileIdentity* identity, FILE* console) {
  CheckName(&path, console);
  // A FIFO would make the open wait for a reader, for ever when there is none; once open,
  // the writes wait as they do on any file.
  const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  struct stat info;
  if (descriptor < 0 || fstat(descriptor, &info) != 0 ||
      fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0) {
    FailToOpenToWrite(path, errno, console);
  }
  *identity = {true, info.st_dev, info.st_ino};
  return descriptor;
}

void LockAndEmpty(int descriptor, const std::string& path, FILE* console) {
  if (flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    fail_and_exit(path + " is being written by another run", console);
  }
  // The lock belongs to the open file description and goes with its last descriptor. The
  // writer closes `descriptor` once out.txt is written, while the run still reads to the
  // end of its tables; a duplicate, never closed, keeps the lock until the process ends.
  if (fcntl(descriptor, F_DUPFD_CLOEXEC, 0) < 0) FailToOpenToWrite(path, errno, console);
  // A device or a pipe (EINVAL) has no contents to empty.
  if (ftruncate(descriptor, 0) != 0 && errno != EINVAL) {
    FailToOpenToWrite(path, errno, console);
  }
}

}  // namespace runcompare
