// Where the readers' bytes come from: a byte source fills a caller's buffer from a file,
// plain or gzip-compressed, and reports a read error and damaged compressed data apart
// from the end of the input.
#ifndef TEXTIO_BYTE_SOURCE_H_
#define TEXTIO_BYTE_SOURCE_H_

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace textio {

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  /// Reads up to `size` bytes (at least 1) into `into` and returns how many came: at least
  /// 1 while there are more, 0 at the end of the input and on every call after a failure,
  /// which Failed() then tells apart. A failure shows only once every byte before it has
  /// been handed out, and Failed() turns true with the first 0.
  virtual size_t Read(char* into, size_t size) = 0;

  /// True when the bytes carry checks of their own that reading them to the end verifies,
  /// as gzip's CRC and length do; see ReadToEnd.
  virtual bool Checked() const { return false; }

  /// True once reading failed, for either reason below.
  bool Failed() const { return error_number_ != 0 || Damaged(); }
  /// The system's reason (errno) when reading the file failed, else 0.
  int ErrorNumber() const { return error_number_; }
  /// True when the file holds compressed data that is damaged; Damage() says how, for
  /// example "CRC mismatch in member 3" or "the data ends inside member 1".
  bool Damaged() const { return !damage_.empty(); }
  const std::string& Damage() const { return damage_; }

 protected:
  void Fail(int error_number) { error_number_ = error_number != 0 ? error_number : -1; }
  /// `damage` is never empty: it says what is wrong.
  void FailDamaged(std::string damage) { damage_ = std::move(damage); }
  /// Takes over the failure of `other`, which failed.
  void FailAs(const ByteSource& other) {
    if (other.Damaged()) {
      FailDamaged(other.Damage());
    } else {
      Fail(other.ErrorNumber());
    }
  }

 private:
  int error_number_ = 0;
  std::string damage_;  // empty unless the data is damaged
};

/// Why OpenFile gave no source.
struct OpenError {
  enum Kind {
    kNone,         ///< the file was opened
    kSystem,       ///< it cannot be opened: error_number is the system's reason (errno)
    kFolder,       ///< it is a folder (error_number is EISDIR)
    kOtherFormat,  ///< it starts with the signature of a compressor other than gzip
  };
  Kind kind = kNone;
  int error_number = 0;
  /// For kOtherFormat: "zstd", "xz", "bzip2" or "zip".
  const char* format = "";
};

/// Which file an open descriptor leads to, whatever name or link it was opened by: two
/// identities known and equal are the same file.
struct FileIdentity {
  bool known = false;
  dev_t device = 0;
  ino_t inode = 0;

  bool SameFile(const FileIdentity& other) const {
    return known && other.known && device == other.device && inode == other.inode;
  }
};

/// The format whose signature starts `head`, the first bytes of a file (all of them when
/// the file is shorter): "gzip", "zstd", "xz", "bzip2", "zip", or "" for any other bytes,
/// which are read as text.
const char* SignatureFormat(std::string_view head);

/// Opens the file at `path` for reading, the one way every input is opened. Gzip data,
/// recognised by its first two bytes 1f 8b and never by the name, is read decompressed:
/// one member, several one after another, BGZF blocks; see GzipSource. Every other file is
/// read as it is, through read(2) in the caller's blocks, also when it is shorter than a
/// signature. Files that cannot seek (pipes) work too: the bytes looked at are handed out
/// first. Null, with `*error` saying why, for a file that cannot be opened, a folder, or
/// a file in the format of zstd, xz, bzip2 or zip. `*identity`, when given, tells which
/// file was opened (unknown when the file could not be looked at).
std::unique_ptr<ByteSource> OpenFile(const std::string& path, OpenError* error,
                                     FileIdentity* identity = nullptr);

/// Reads the open file `descriptor` as OpenFile reads a path, from the descriptor's offset
/// on: standard input, for one, through a duplicate of descriptor 0. The source, or the
/// call when it gives none, closes the descriptor.
std::unique_ptr<ByteSource> OpenDescriptor(int descriptor, OpenError* error,
                                           FileIdentity* identity = nullptr);

/// Reads `source` to its end, dropping the bytes, so that the checks of a checked source
/// cover all of it. False when reading failed.
bool ReadToEnd(ByteSource& source);

}  // namespace textio

#endif  // TEXTIO_BYTE_SOURCE_H_
