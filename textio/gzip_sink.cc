// Gzip output through ISA-L's stream deflater.
#include "textio/gzip_sink.h"

#include <isa-l/igzip_lib.h>

#include <cerrno>

namespace textio {

namespace {

constexpr uint32_t kOutputSize = 64 << 10;

}  // namespace

GzipSink::GzipSink(ByteSink& out)
    : out_(out),
      stream_(new isal_zstream),
      level_buffer_(new uint8_t[ISAL_DEF_LVL1_DEFAULT]),
      output_(new uint8_t[kOutputSize]) {
  isal_deflate_init(stream_.get());
  stream_->level = 1;
  stream_->level_buf = level_buffer_.get();
  stream_->level_buf_size = ISAL_DEF_LVL1_DEFAULT;
  stream_->gzip_flag = IGZIP_GZIP;
  stream_->next_out = output_.get();
  stream_->avail_out = kOutputSize;
}

GzipSink::~GzipSink() = default;

bool GzipSink::Write(const char* data, size_t size) {
  if (ErrorNumber() != 0) return false;
  while (size > 0) {
    // avail_in is 32 bits wide: a larger block goes in parts.
    const uint32_t part = size < (1u << 30) ? static_cast<uint32_t>(size) : 1u << 30;
    stream_->next_in = reinterpret_cast<uint8_t*>(const_cast<char*>(data));
    stream_->avail_in = part;
    if (!Deflate(false)) return false;
    data += part;
    size -= part;
  }
  return true;
}

bool GzipSink::Finish() {
  if (ErrorNumber() != 0) return false;
  stream_->next_in = nullptr;
  stream_->avail_in = 0;
  if (!Deflate(true)) return false;
  const size_t pending = kOutputSize - stream_->avail_out;
  if (!out_.Write(reinterpret_cast<const char*>(output_.get()), pending) || !out_.Finish()) {
    Fail(out_.ErrorNumber());
    return false;
  }
  stream_->next_out = output_.get();
  stream_->avail_out = kOutputSize;
  return true;
}

bool GzipSink::Deflate(bool last) {
  stream_->end_of_stream = last ? 1 : 0;
  for (;;) {
    if (isal_deflate(stream_.get()) != COMP_OK) {
      Fail(EINVAL);
      return false;
    }
    const bool done = last ? stream_->internal_state.state == ZSTATE_END : stream_->avail_in == 0;
    if (stream_->avail_out > 0 && done) return true;
    if (stream_->avail_out == 0) {
      if (!out_.Write(reinterpret_cast<const char*>(output_.get()), kOutputSize)) {
        Fail(out_.ErrorNumber());
        return false;
      }
      stream_->next_out = output_.get();
      stream_->avail_out = kOutputSize;
    }
  }
}

}  // namespace textio
