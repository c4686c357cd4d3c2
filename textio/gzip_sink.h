// Bytes written gzip-compressed with ISA-L's deflater.
#ifndef TEXTIO_GZIP_SINK_H_
#define TEXTIO_GZIP_SINK_H_

#include <cstddef>
#include <cstdint>
#include <memory>

#include "textio/byte_sink.h"

struct isal_zstream;

namespace textio {

/// Compresses what it is given into one gzip member (a plain header without name or time,
/// deflate at ISA-L's level 1, the CRC-32 and length trailer) and hands it to `out`, which
/// stays the caller's and must outlive the sink. Finish() ends the member and finishes
/// `out`. A failure of `out` becomes this sink's.
class GzipSink : public ByteSink {
 public:
  explicit GzipSink(ByteSink& out);
  ~GzipSink() override;
  GzipSink(const GzipSink&) = delete;
  GzipSink& operator=(const GzipSink&) = delete;

  bool Write(const char* data, size_t size) override;
  bool Finish() override;

 private:
  // Deflates the pending input, the member's end too when `last`, handing out full blocks.
  bool Deflate(bool last);

  ByteSink& out_;
  std::unique_ptr<isal_zstream> stream_;
  std::unique_ptr<uint8_t[]> level_buffer_;
  std::unique_ptr<uint8_t[]> output_;
};

}  // namespace textio

#endif  // TEXTIO_GZIP_SINK_H_
