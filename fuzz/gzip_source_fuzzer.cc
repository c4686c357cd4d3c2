// Fuzz target for the gzip source. The first byte chooses what the rest is.
//   Even: compressed data, read whole through GzipSource in two ways: in small pieces in
//   and out, and in large pieces, read ahead on a thread when the first byte is a multiple
//   of 4 (a thread for every input would slow the fuzzing down). Both must end the same
//   way, at the end with the same bytes or with the same damage, never with a read error.
//   Odd: a settings byte, two bytes placing a change, the new byte, then a text whose parts
//   between 0xFF bytes become gzip members (each followed by an empty one, if the settings
//   say so), deflated by ISA-L at the level and with the header fields they say. The data
//   must read back as exactly the text. Then it is cut short, and must read as the texts of
//   the members before the cut or end as damaged; or one byte of it is changed, and it must
//   end as damaged or read as something, and as damaged when the byte is in a trailer.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "testsupport/string_source.h"
#include "testsupport/test_gzip.h"
#include "textio/gzip_source.h"
#include "textio/read_ahead.h"

namespace {

constexpr size_t kMaxMembers = 16;

struct Outcome {
  std::string bytes;
  bool failed = false;
  bool damaged = false;
  int error_number = 0;
  std::string damage;
};

Outcome ReadAll(std::unique_ptr<textio::ByteSource> source, size_t block) {
  Outcome outcome;
  std::string buffer(block, '\0');
  for (size_t got; (got = source->Read(&buffer[0], block)) > 0;) {
    outcome.bytes.append(buffer, 0, got);
  }
  outcome.failed = source->Failed();
  outcome.damaged = source->Damaged();
  outcome.error_number = source->ErrorNumber();
  outcome.damage = source->Damage();
  fuzz::Require(source->Read(&buffer[0], block) == 0, "no bytes after the end");
  return outcome;
}

Outcome Inflate(const std::string& data, size_t chunk, size_t block, bool ahead) {
  std::unique_ptr<textio::ByteSource> source =
      std::make_unique<textio::GzipSource>(std::make_unique<textio::StringSource>(data, chunk));
  if (ahead) source = textio::ReadAhead(std::move(source));
  return ReadAll(std::move(source), block);
}

void ReadCompressed(const std::string& data, bool ahead) {
  const Outcome small = Inflate(data, 3, 7, false);
  const Outcome large = Inflate(data, 1 << 16, 1 << 18, ahead);
  fuzz::Require(small.failed == large.failed && small.damage == large.damage,
                "the same ending in any pieces");
  // Before damage in deflate data, how much ISA-L writes depends on the pieces.
  fuzz::Require(small.failed || small.bytes == large.bytes, "the same bytes in any pieces");
  fuzz::Require(small.error_number == 0 && small.failed == small.damaged,
                "compressed data in memory fails only as damaged");
  fuzz::Require(small.damaged == !small.damage.empty(), "damage is described");
}

void RoundTrip(uint8_t settings, size_t place, char new_byte, std::string_view text) {
  textio::test_gzip::Header header;
  if (settings & 1) header.name = "name";
  if (settings & 2) header.comment = "a comment";
  if (settings & 4) header.extra = "xy" + textio::test_gzip::Little(1, 2) + "z";
  header.header_crc = (settings & 8) != 0;
  const bool empty_members = (settings & 16) != 0;
  const int level = (settings >> 5) & 3;
  std::string data, whole;
  std::vector<size_t> ends;       // where each member ends in data
  std::vector<size_t> text_ends;  // ... and its text in the whole text
  for (std::string_view part :
       fuzz::SplitParts(reinterpret_cast<const uint8_t*>(text.data()), text.size(), kMaxMembers)) {
    data += textio::test_gzip::Member(part, header, level);
    whole += part;
    ends.push_back(data.size());
    text_ends.push_back(whole.size());
    if (empty_members) {
      data += textio::test_gzip::Member("", header, level);
      ends.push_back(data.size());
      text_ends.push_back(whole.size());
    }
  }
  const Outcome intact = Inflate(data, 1 + settings % 61, 1 + place % 4099, false);
  fuzz::Require(!intact.failed && intact.bytes == whole, "gzip data reads as its text");

  place %= data.size();
  if (settings & 128) {
    const Outcome cut = Inflate(data.substr(0, place), 1 << 16, 1 << 16, false);
    if (!cut.failed) {
      size_t member = 0;
      while (member < ends.size() && ends[member] != place) ++member;
      fuzz::Require(member < ends.size(), "data cut inside a member is damaged");
      fuzz::Require(cut.bytes == whole.substr(0, text_ends[member]), "whole members read");
    }
    fuzz::Require(cut.failed == cut.damaged && cut.error_number == 0, "a cut is damage");
  } else if (data[place] != new_byte) {
    data[place] = new_byte;
    const Outcome changed = Inflate(data, 1 << 16, 1 << 16, false);
    fuzz::Require(changed.failed == changed.damaged && changed.error_number == 0,
                  "a change is damage or reads as something");
    // A changed trailer is always caught. Elsewhere a change may also go unnoticed: in the
    // time, or in a header field that then ends where another valid member begins.
    size_t member = 0;
    while (ends[member] <= place) ++member;
    if (place + 8 >= ends[member]) {
      const char* what = place + 4 < ends[member] ? "CRC mismatch" : "length mismatch";
      fuzz::Require(changed.damage == what + (" in member " + std::to_string(member + 1)),
                    "a changed trailer is caught");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 0) {
    ReadCompressed(rest, data[0] % 4 == 0);
  } else if (rest.size() >= 4) {
    const size_t place = static_cast<uint8_t>(rest[1]) | static_cast<uint8_t>(rest[2]) << 8;
    RoundTrip(static_cast<uint8_t>(rest[0]), place, rest[3], std::string_view(rest).substr(4));
  }
  return 0;
}
