// Gzip data read decompressed with ISA-L's inflater, every member checked.
#ifndef TEXTIO_GZIP_SOURCE_H_
#define TEXTIO_GZIP_SOURCE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "textio/byte_source.h"

struct inflate_state;

namespace textio {

/// The decompressed bytes of the gzip data that `compressed` gives: one member or several
/// one after another (as `cat a.gz b.gz` and pigz write them), BGZF blocks included, empty
/// members too. The header of every member is checked (FEXTRA, FNAME, FCOMMENT and the
/// FHCRC header checksum are understood; reserved flags and methods other than deflate are
/// damage), and so are the CRC-32 and the length in its trailer. Zero bytes after the last
/// member, up to the end, are passed over, as some tools pad their output with them; any
/// other bytes after a member that do not start another member are damage.
///
/// Bytes of a member are handed out as they are inflated, before its trailer is checked:
/// a damaged member ends the read with Damaged() after them. A read error of `compressed`
/// becomes this source's, with its ErrorNumber(). Inflates straight into the caller's
/// buffer; holds ISA-L's state (about 85 KiB) and 64 KiB of compressed input.
class GzipSource : public ByteSource {
 public:
  explicit GzipSource(std::unique_ptr<ByteSource> compressed);
  ~GzipSource() override;
  GzipSource(const GzipSource&) = delete;
  GzipSource& operator=(const GzipSource&) = delete;

  size_t Read(char* into, size_t size) override;
  bool Checked() const override { return true; }

 private:
  // How far a step through the data got.
  enum class Step { kGoOn, kEnd, kFailed };

  Step StartMember();
  Step ReadHeader();
  Step PassHeader(size_t count, bool through_nul);
  Step PassZeros();
  Step Inflate();
  Step FoundDamage(const char* what);
  bool Fill(size_t wanted);

  std::unique_ptr<ByteSource> compressed_;
  std::unique_ptr<inflate_state> state_;
  std::unique_ptr<uint8_t[]> input_;
  bool input_ended_ = false;     // compressed_ has given its last byte
  bool in_member_ = false;       // between a member's first byte and its trailer's last
  uint64_t member_ = 0;          // the number of the member begun last, from 1
  uint32_t header_crc_ = 0;      // the CRC-32 of the header read so far
  bool finished_ = false;        // the end, or a failure, was reached
  bool pending_system_ = false;  // that failure was compressed_'s read error
  std::string pending_damage_;   // ... or the damage found
};

}  // namespace textio

#endif  // TEXTIO_GZIP_SOURCE_H_
