// Helpers shared by the fuzz targets: cutting one fuzzed input into parts, the CR LF form of
// a text (from the test support), and a scratch folder for targets that run a whole
// program on files.
#ifndef FUZZ_FUZZ_INPUT_H_
#define FUZZ_FUZZ_INPUT_H_

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "testsupport/files.h"
#include "textio/byte_source.h"

namespace fuzz {

/// Separates the parts of one input (settings, then one or more files). A byte that text
/// files rarely hold, so that a mutation finds it and a seed can be written by hand.
constexpr char kPartSeparator = '\xff';

/// Splits `data` at the 0xFF bytes into at most `max_parts` parts; the last part takes the
/// rest, 0xFF bytes included. An input without 0xFF is one part.
inline std::vector<std::string_view> SplitParts(const uint8_t* data, size_t size,
                                                size_t max_parts) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < max_parts) {
    size_t cut = rest.find(kPartSeparator);
    if (cut == std::string_view::npos) break;
    parts.push_back(rest.substr(0, cut));
    rest.remove_prefix(cut + 1);
  }
  parts.push_back(rest);
  return parts;
}

/// Splits a settings part into words at blanks, tabs and line breaks, as a shell would split
/// a command line. A word ends at a NUL as well, since no argument can hold one.
inline std::vector<std::string> Words(std::string_view text, size_t max_words) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size() && words.size() < max_words) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
    if (i == text.size()) break;
    size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\n') ++i;
    std::string word(text.substr(start, i - start));
    word.resize(word.find('\0') == std::string::npos ? word.size() : word.find('\0'));
    words.push_back(word);
  }
  return words;
}

using testsupport::WithCrLf;

/// True when a file of these bytes is read through a decompressor, or refused as another
/// compressor's data, rather than read as text: the properties of text (CR LF reads like
/// LF, a file reads like the same bytes in memory) do not hold for it.
inline bool LooksCompressed(std::string_view bytes) {
  return *textio::SignatureFormat(bytes.substr(0, 8)) != '\0';
}

/// Ends the run as a crash, with a message, when a property that must hold does not.
inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

/// A folder made once per process under $TMPDIR (or /dev/shm, or /tmp) for the files of
/// whole-program targets; the files written there are removed when the process ends
/// normally.
class ScratchDir {
 public:
  static ScratchDir& Get() {
    static ScratchDir dir;
    return dir;
  }
  /// Writes `text` to the file `name` in the folder and returns its path.
  std::string Write(const std::string& name, std::string_view text) {
    std::string path = path_ + "/" + name;
    // A new file each time: some file systems write a truncated and rewritten file
    // through to the disk when it is closed, which would slow every run down.
    unlink(path.c_str());
    FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr, "scratch file can be created");
    if (!text.empty()) std::fwrite(text.data(), 1, text.size(), file);
    Require(std::fclose(file) == 0, "scratch file can be written");
    bool known = false;
    for (const std::string& written : written_) known = known || written == path;
    if (!known) written_.push_back(path);
    return path;
  }
  ~ScratchDir() {
    for (const std::string& path : written_) unlink(path.c_str());
    rmdir(path_.c_str());
  }

 private:
  ScratchDir() {
    // A folder in memory when there is one: files are written twice for every input.
    const char* base = std::getenv("TMPDIR");
    if (base == nullptr || *base == '\0')
      base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string templ = std::string(base) + "/sitetools-fuzz-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    Require(mkdtemp(buf.data()) != nullptr, "scratch folder can be made");
    path_ = buf.data();
  }
  std::string path_;
  std::vector<std::string> written_;
};

}  // namespace fuzz

#endif  // FUZZ_FUZZ_INPUT_H_
