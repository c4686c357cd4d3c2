// The console side of zenthar: error exit and file openers.
#include "runcompare/console.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdlib>

#include "textio/bytes.h"

namespace runcompare {

void fail_and_exit(const std::string& message, FILE* console) {
  std::fprintf(console, "\nError: %s.\n", message.c_str());
  // exit() rather than _exit(): open streams must be flushed.
  std::exit(-1);
}

namespace {

// A folder, which opens for reading as any file does and fails at the first read.
class FolderSource : public textio::ByteSource {
 public:
  FolderSource() { Fail(EISDIR); }
  size_t Read(char*, size_t) override { return 0; }
};

std::unique_ptr<textio::ByteSource> open_file(const std::string& path, FILE* console) {
  textio::OpenError error;
  std::unique_ptr<textio::ByteSource> source = textio::OpenFile(path, &error);
  if (error.kind == textio::OpenError::kFolder) source = std::make_unique<FolderSource>();
  if (error.kind == textio::OpenError::kOtherFormat) {
    fail_and_exit("file " + path + " is " + error.format +
                      "-compressed data: only gzip-compressed files can be read",
                  console);
  }
  return source;
}

// Reads one word as "%s" does, of any length: skips white space, then takes characters up to
// the next white space, which is pushed back so that a later prompt starts from it. Returns
// false when the input ends before a word starts.
bool read_word(FILE* in, std::string* word) {
  int c;
  do {
    c = std::getc(in);
  } while (c != EOF && textio::IsSpace(static_cast<char>(c)));
  if (c == EOF) return false;
  word->clear();
  do {
    word->push_back(static_cast<char>(c));
    c = std::getc(in);
  } while (c != EOF && !textio::IsSpace(static_cast<char>(c)));
  if (c != EOF) std::ungetc(c, in);
  return true;
}

void check_name(const std::string* path, FILE* console) {
  if (path == nullptr || path->c_str()[0] == '\0') fail_and_exit("file name empty.", console);
}

}  // namespace

std::unique_ptr<textio::ByteSource> open_or_ask(std::string* path, FILE* in, FILE* console) {
  check_name(path, console);
  std::unique_ptr<textio::ByteSource> source = open_file(*path, console);
  if (source != nullptr) return source;
  std::fprintf(console, "\nerror when opening file %s\n", path->c_str());
  std::fputs("tell me the full path-name of the file? ", console);
  std::fflush(console);  // the prompt has no line break and must show before the program waits
  std::string typed;
  if (read_word(in, &typed)) *path = typed;
  source = open_file(*path, console);
  if (source != nullptr) return source;
  std::fputs("Can't find the file.  I give up.\n", console);
  std::exit(-1);
}

int open_to_write(const std::string& path, FILE* console) {
  check_name(&path, console);
  const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (descriptor >= 0) return descriptor;
  std::fprintf(console, "\nerror when opening file %s\n", path.c_str());
  std::exit(-1);
}

}  // namespace runcompare
