// Where written bytes go: a byte sink takes what a writer hands it, and tells the system's
// reason when writing failed. A file sink writes a file that takes the place of an older
// one only once it is whole.
#ifndef TEXTIO_BYTE_SINK_H_
#define TEXTIO_BYTE_SINK_H_

#include <cstddef>
#include <memory>
#include <string>

namespace textio {

class ByteSink {
 public:
  virtual ~ByteSink() = default;

  /// Takes `size` bytes. False once writing has failed; ErrorNumber() says why.
  virtual bool Write(const char* data, size_t size) = 0;
  /// Ends the data: writes out all that is held back. False when writing failed.
  virtual bool Finish() = 0;

  /// The system's reason (errno) once writing failed, else 0.
  int ErrorNumber() const { return error_number_; }

 protected:
  /// The first failure is the one kept.
  void Fail(int error_number);

 private:
  int error_number_ = 0;
};

/// A file written under a temporary name in the folder of `path` (of the file it leads to,
/// for a symbolic link) and renamed to `path` by Commit(), so that the file at `path`, if
/// any, stays as it was until the new one is whole. A sink that goes without Commit()
/// removes its temporary file. A `path` that exists and is no regular file (a pipe, a
/// device) cannot be replaced and is written in place.
class ReplacingFile : public ByteSink {
 public:
  /// Null, with `*error_number` set, when the file cannot be created.
  static std::unique_ptr<ReplacingFile> Create(const std::string& path, int* error_number);
  ~ReplacingFile() override;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool Write(const char* data, size_t size) override;
  bool Finish() override;
  /// Finishes, closes the file and puts it in place. False when any of it failed; the
  /// temporary file is removed then.
  bool Commit();

 private:
  ReplacingFile(int descriptor, std::string temporary, std::string target);
  bool WriteOut(const char* data, size_t size);

  int descriptor_;
  std::string temporary_;  // empty when written in place
  std::string target_;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
};

}  // namespace textio

#endif  // TEXTIO_BYTE_SINK_H_
