// Console text utilities of zenthar: error exit, file opener with one prompt.
#include "runcompare/textutil.h"

#include <cstdlib>
#include <cstring>

#include "textio/bytes.h"

void fail_and_exit(const std::string& message, FILE* out) {
  fprintf(out, "\nError: %s.\n", message.c_str());
  // exit() rather than _exit(): open streams, out.txt among them, must be flushed.
  exit(-1);
}

namespace {

// Reads one word as "%s" does, of any length: skips white space, then takes characters up to
// the next white space, which is pushed back so that a later prompt starts from it. Returns
// false when the input ends before a word starts.
bool ReadWord(FILE* in, std::string* word) {
  int c;
  do {
    c = getc(in);
  } while (c != EOF && textio::IsSpace(static_cast<char>(c)));
  if (c == EOF) return false;
  word->clear();
  do {
    word->push_back(static_cast<char>(c));
    c = getc(in);
  } while (c != EOF && !textio::IsSpace(static_cast<char>(c)));
  if (c != EOF) ungetc(c, in);
  return true;
}

}  // namespace

FILE* open_or_ask(std::string* path, const char* mode, FILE* in, FILE* out) {
  if (path == nullptr || path->c_str()[0] == '\0') fail_and_exit("file name empty.", out);
  FILE* stream = fopen(path->c_str(), mode);
  if (stream != nullptr) return stream;
  fprintf(out, "\nerror when opening file %s\n", path->c_str());
  // Only files to be read get a second chance: a file to be written cannot be found elsewhere.
  if (strchr(mode, 'r') == nullptr) exit(-1);
  fputs("tell me the full path-name of the file? ", out);
  fflush(out);  // the prompt has no line break and must show before the program waits
  std::string typed;
  if (ReadWord(in, &typed)) *path = typed;
  stream = fopen(path->c_str(), mode);
  if (stream != nullptr) return stream;
  fputs("Can't find the file.  I give up.\n", out);
  exit(-1);
}
