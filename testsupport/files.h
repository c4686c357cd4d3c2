// Files for the tests: reading and writing whole files, temporary folders, and the texts
// that bad-input tests are made of (random bytes, CR LF line ends).
#ifndef TESTSUPPORT_FILES_H_
#define TESTSUPPORT_FILES_H_

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

namespace testsupport {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

/// A fresh empty folder below the system's temporary folder, removed with all it holds
/// (folders a test made unreadable included) when the object goes.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sitetools-XXXXXX").string();
    if (mkdtemp(&pattern[0]) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    if (path_.empty()) return;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
      if (entry.is_directory(ignored)) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
      }
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, std::string_view text) const { WriteFile(File(name), text); }
  std::string Read(const std::string& name) const { return ReadFile(File(name)); }

 private:
  std::string path_;
};

/// Bytes from the full range 0..255, the same on every platform for a given seed.
inline std::string RandomBytes(unsigned seed, size_t size) {
  std::mt19937 generator(seed);
  std::string bytes;
  for (size_t i = 0; i < size; ++i) bytes.push_back(static_cast<char>(generator() & 0xFF));
  return bytes;
}

/// `text` with a CR put before every LF that has none, so that every line ends in CR LF: a
/// reader that takes CR LF for LF reads it exactly as it reads `text`.
inline std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace testsupport

#endif  // TESTSUPPORT_FILES_H_
