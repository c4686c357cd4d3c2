// Gzip data inflated with ISA-L: the member loop, the checks ISA-L leaves to its caller,
// and the words for damage.
#include "textio/gzip_source.h"

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <cstring>

namespace textio {

namespace {

// Compressed bytes read at a time.
constexpr size_t kInputSize = 64 << 10;
// The bytes kept before the unread input when it moves to the front of the buffer. When a
// member ends, the last eight bytes consumed are its trailer, which tells a CRC mismatch
// from a length mismatch.
constexpr size_t kHistory = 8;
// ID1 ID2 CM FLG MTIME(4) XFL OS: what every member header starts with.
constexpr size_t kFixedHeader = 10;
// FLG bits 5 to 7 are reserved; data that sets them may mean something this reader
// does not know.
constexpr uint8_t kReservedFlags = 0xE0;
constexpr uint8_t kHeaderCrc = 0x02, kExtra = 0x04, kName = 0x08, kComment = 0x10;
constexpr uint8_t kDeflate = 8;

uint32_t LoadLittle32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

GzipSource::GzipSource(std::unique_ptr<ByteSource> compressed)
    : compressed_(std::move(compressed)),
      state_(new inflate_state),
      input_(new uint8_t[kHistory + kInputSize]) {
  isal_inflate_init(state_.get());
  std::memset(input_.get(), 0, kHistory);
  state_->next_in = input_.get() + kHistory;
  state_->avail_in = 0;
}

GzipSource::~GzipSource() = default;

size_t GzipSource::Read(char* into, size_t size) {
  if (!finished_) {
    state_->next_out = reinterpret_cast<uint8_t*>(into);
    state_->avail_out = static_cast<uint32_t>(std::min<size_t>(size, UINT32_MAX));
    const uint32_t room = state_->avail_out;
    Step step = Step::kGoOn;
    while (step == Step::kGoOn && state_->avail_out > 0) {
      step = in_member_ ? Inflate() : StartMember();
    }
    finished_ = step != Step::kGoOn;
    const size_t produced = room - state_->avail_out;
    if (produced > 0) return produced;
  }
  // A failure shows once every byte before it has been handed out.
  if (pending_system_) {
    FailAs(*compressed_);
  } else if (!pending_damage_.empty()) {
    FailDamaged(pending_damage_);
  }
  return 0;
}

// At the first byte of the data or after a member: begins the next member, or ends.
GzipSource::Step GzipSource::StartMember() {
  if (!Fill(kFixedHeader)) return Step::kFailed;
  const uint8_t* head = state_->next_in;
  const size_t have = state_->avail_in;
  if (member_ > 0) {
    if (have == 0) return Step::kEnd;
    if (head[0] == 0) return PassZeros();
    if (head[0] != 0x1f || (have >= 2 && head[1] != 0x8b)) return FoundDamage("garbage after ");
  }
  ++member_;
  const Step header = ReadHeader();
  if (header != Step::kGoOn) return header;
  // ISA-L inflates the deflate data and checks the trailer's CRC-32 and length.
  uint8_t* next_in = state_->next_in;
  uint8_t* next_out = state_->next_out;
  const uint32_t avail_in = state_->avail_in;
  const uint32_t avail_out = state_->avail_out;
  isal_inflate_reset(state_.get());
  state_->crc_flag = ISAL_GZIP_NO_HDR_VER;
  state_->next_in = next_in;
  state_->avail_in = avail_in;
  state_->next_out = next_out;
  state_->avail_out = avail_out;
  in_member_ = true;
  return Step::kGoOn;
}

// Reads and checks a member header. Read here rather than by ISA-L, whose version 2.30
// computes the FHCRC checksum wrongly when a header arrives in more than one piece.
GzipSource::Step GzipSource::ReadHeader() {
  if (state_->avail_in < kFixedHeader) return FoundDamage("the data ends inside ");
  const uint8_t* head = state_->next_in;
  if (head[0] != 0x1f || head[1] != 0x8b) return FoundDamage("bad header in ");
  if (head[2] != kDeflate) return FoundDamage("unknown compression method in ");
  const uint8_t flags = head[3];
  if ((flags & kReservedFlags) != 0) return FoundDamage("reserved header flags set in ");
  header_crc_ = 0;
  Step step = PassHeader(kFixedHeader, false);
  if (step == Step::kGoOn && (flags & kExtra) != 0) {
    if (!Fill(2)) return Step::kFailed;
    if (state_->avail_in < 2) return FoundDamage("the data ends inside ");
    step = PassHeader(2 + (state_->next_in[0] | state_->next_in[1] << 8), false);
  }
  if (step == Step::kGoOn && (flags & kName) != 0) step = PassHeader(0, true);
  if (step == Step::kGoOn && (flags & kComment) != 0) step = PassHeader(0, true);
  if (step != Step::kGoOn || (flags & kHeaderCrc) == 0) return step;
  if (!Fill(2)) return Step::kFailed;
  if (state_->avail_in < 2) return FoundDamage("the data ends inside ");
  const uint32_t stored = state_->next_in[0] | state_->next_in[1] << 8;
  if (stored != (header_crc_ & 0xFFFF)) return FoundDamage("header checksum mismatch in ");
  state_->next_in += 2;
  state_->avail_in -= 2;
  return Step::kGoOn;
}

// Passes over `count` bytes of the header, or through the next NUL when `through_nul`,
// adding them to the header's checksum.
GzipSource::Step GzipSource::PassHeader(size_t count, bool through_nul) {
  for (;;) {
    if (!Fill(1)) return Step::kFailed;
    if (state_->avail_in == 0) return FoundDamage("the data ends inside ");
    size_t passed = std::min<size_t>(count, state_->avail_in);
    if (through_nul) {
      const void* nul = std::memchr(state_->next_in, 0, state_->avail_in);
      passed = nul != nullptr ? static_cast<const uint8_t*>(nul) - state_->next_in + 1
                              : state_->avail_in;
      if (nul != nullptr) through_nul = false;
    }
    header_crc_ = crc32_gzip_refl(header_crc_, state_->next_in, passed);
    state_->next_in += passed;
    state_->avail_in -= static_cast<uint32_t>(passed);
    count -= std::min(count, passed);
    if (count == 0 && !through_nul) return Step::kGoOn;
  }
}

// Zero bytes after a member: passed over up to the end of the data, which then ends
// there. Anything after them is garbage.
GzipSource::Step GzipSource::PassZeros() {
  for (;;) {
    uint8_t* end = state_->next_in + state_->avail_in;
    uint8_t* other = std::find_if(state_->next_in, end, [](uint8_t byte) { return byte != 0; });
    state_->avail_in = static_cast<uint32_t>(end - other);
    state_->next_in = other;
    if (other < end) return FoundDamage("garbage after ");
    if (input_ended_) return Step::kEnd;
    if (!Fill(1)) return Step::kFailed;
  }
}

// Inflates what the input holds into the caller's buffer.
GzipSource::Step GzipSource::Inflate() {
  if (state_->avail_in == 0 && !Fill(1)) return Step::kFailed;
  const int result = isal_inflate(state_.get());
  if (result == ISAL_INCORRECT_CHECKSUM && state_->block_state == ISAL_BLOCK_FINISH) {
    // The trailer, the last bytes consumed: the CRC-32, then the length modulo 2^32.
    const uint8_t* trailer = state_->next_in - kHistory;
    return FoundDamage(LoadLittle32(trailer) != state_->crc ? "CRC mismatch in "
                                                            : "length mismatch in ");
  }
  if (result != ISAL_DECOMP_OK) return FoundDamage("invalid deflate data in ");
  if (state_->block_state == ISAL_BLOCK_FINISH) {
    in_member_ = false;
    return Step::kGoOn;
  }
  // With room left for output and no input left, ISA-L has done all it can.
  if (state_->avail_in == 0 && input_ended_ && state_->avail_out > 0) {
    return FoundDamage("the data ends inside ");
  }
  return Step::kGoOn;
}

GzipSource::Step GzipSource::FoundDamage(const char* what) {
  pending_damage_ = what + ("member " + std::to_string(member_));
  return Step::kFailed;
}

// Reads until at least `wanted` unread bytes are in the buffer or the data has ended.
// False, with the read error pending, when reading failed.
bool GzipSource::Fill(size_t wanted) {
  if (state_->avail_in >= wanted || input_ended_) return true;
  uint8_t* data = input_.get() + kHistory;
  std::memmove(input_.get(), state_->next_in - kHistory, kHistory + state_->avail_in);
  state_->next_in = data;
  while (state_->avail_in < wanted && !input_ended_) {
    const size_t got = compressed_->Read(reinterpret_cast<char*>(data) + state_->avail_in,
                                         kInputSize - state_->avail_in);
    if (got == 0 && compressed_->Failed()) {
      pending_system_ = true;
      return false;
    }
    input_ended_ = got == 0;
    state_->avail_in += static_cast<uint32_t>(got);
  }
  return true;
}

}  // namespace textio
