// Where the readers' bytes come from: a byte source fills a caller's buffer from a file,
// and reports a read error apart from the end of the input.
#ifndef TEXTIO_BYTE_SOURCE_H_
#define TEXTIO_BYTE_SOURCE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace textio {

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  /// Reads up to `size` bytes (at least 1) into `into` and returns how many came: at least
  /// 1 while there are more, 0 at the end of the input and on every call after a read
  /// error, which failed() then tells apart.
  virtual size_t Read(char* into, size_t size) = 0;

  /// True once reading failed; error_number() is the system's reason (errno).
  bool failed() const { return error_number_ != 0; }
  int error_number() const { return error_number_; }

 protected:
  void Fail(int error_number) { error_number_ = error_number != 0 ? error_number : -1; }

 private:
  int error_number_ = 0;
};

/// Opens the file at `path` for reading. Null, with `*error_number` set to the system's
/// reason, when it cannot be opened; a folder is no file to read and gives EISDIR.
std::unique_ptr<ByteSource> OpenFile(const std::string& path, int* error_number);

/// The bytes of a text held in memory, handed out in reads of at most `chunk` bytes, so
/// tests can put a read's end anywhere.
class StringSource : public ByteSource {
 public:
  explicit StringSource(std::string text, size_t chunk = static_cast<size_t>(-1))
      : text_(std::move(text)), chunk_(chunk > 0 ? chunk : 1) {}
  size_t Read(char* into, size_t size) override;

 private:
  std::string text_;
  size_t chunk_;
  size_t at_ = 0;
};

}  // namespace textio

#endif  // TEXTIO_BYTE_SOURCE_H_
